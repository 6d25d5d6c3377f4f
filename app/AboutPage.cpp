#include "app/AboutPage.h"

#include "app/AppIcon.h"
#include "data/PlotDocument.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                  int h) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(name);
    l->setGeometry(x, y, w, h);
    return l;
}

} // namespace

AboutPage::AboutPage(QWidget* parent) : QWidget(parent) {
    setObjectName("AboutPage");

    Image1 = MakeLabel(this, "Image1", QString(), 40, 40, 96, 96);
    Image1->setScaledContents(true);
    Image1->installEventFilter(this);

    auto* name = MakeLabel(this, "AboutAppName", "Vemo", 170, 30, 400, 50);
    QFont big = name->font();
    big.setPointSize(28);
    big.setBold(true);
    name->setFont(big);
    auto* subtitle = MakeLabel(this, "AboutSubtitle",
                               "Altitude Data Recording and Monitoring System", 170, 85, 500, 24);
    QFont sub = subtitle->font();
    sub.setPointSize(13);
    subtitle->setFont(sub);

    MakeLabel(this, "AboutNotice",
              "Vemo is made by Tarnwick Systems for its altitude recording modules.\n"
              "Copyright (C) 2026 Tarnwick Systems. All rights reserved.",
              170, 130, 540, 40);

    MakeLabel(this, nullptr, "WebSite:", 170, 200, 80, 20);
    AboutWebSite =
        MakeLabel(this, "AboutWebSite", vemo::PlotDocument::MakerWebAddress, 260, 200, 400, 20);
    MakeLabel(this, nullptr, "Email:", 170, 225, 80, 20);
    AboutEmail = MakeLabel(this, "AboutEmail", MakerEmail, 260, 225, 400, 20);
    for (QLabel* link : {AboutWebSite, AboutEmail}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setStyleSheet("color: blue; text-decoration: underline;");
        link->installEventFilter(this);
    }

    MakeLabel(this, nullptr, "Version:", 170, 270, 80, 20);
    VersionInfo = MakeLabel(this, "VersionInfo", QString(), 260, 270, 300, 20);
    MakeLabel(this, nullptr, "Build:", 170, 295, 80, 20);
    BuildInfo = MakeLabel(this, "BuildInfo", QString(), 260, 295, 300, 20);

    auto* manual = new QPushButton("Manual", this);
    manual->setObjectName("ManualBtn");
    manual->setGeometry(170, 350, 90, 28);
    connect(manual, &QPushButton::clicked, this, &AboutPage::ManualBtnClick);
}

QString AboutPage::BuildDateText() {
    // __DATE__ pads single-digit days with a space ("Dec  8 2026"); the page shows one blank.
    return QString(__DATE__).simplified() + ", " + __TIME__;
}

bool AboutPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == Image1) {
            emit Image1MouseDown(mouse->modifiers());
            return true;
        }
        if (watched == AboutEmail) AboutEmailClick();
        if (watched == AboutWebSite) AboutWebSiteClick();
    }
    return QWidget::eventFilter(watched, event);
}

void AboutPage::AboutEmailClick() {
    QDesktopServices::openUrl(QUrl(QString("mailto:%1").arg(AboutEmail->text())));
}

void AboutPage::AboutWebSiteClick() {
    QDesktopServices::openUrl(QUrl::fromUserInput(AboutWebSite->text()));
}

QString AboutPage::ManualPath(const QString& programDir) {
    const QDir dir(programDir);
    for (const char* place : {".", "../share/vemo", "../share/doc/vemo"}) {
        const QString path = QDir::cleanPath(dir.filePath(place) + "/VemoManual.pdf");
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

namespace {

// Whether the desktop names a program for PDF files. Without xdg-mime the desktop's opener
// alone decides, and its failure tells.
bool PdfViewerFound() {
    const QString query = QStandardPaths::findExecutable("xdg-mime");
    if (query.isEmpty()) return true;
    QProcess p;
    p.start(query, {"query", "default", "application/pdf"});
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
        return true;
    }
    return p.exitCode() != 0 || !p.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

void AboutPage::OpenManual(QWidget* parent, const QString& programDir) {
    const QString path = ManualPath(programDir);
    if (path.isEmpty()) {
        const QDir dir(programDir);
        QMessageBox::information(
            parent, "Vemo",
            QString("The manual VemoManual.pdf was not found, neither beside the program nor in "
                    "%1.\n\nIt comes with the Vemo package (reinstalling the package brings it "
                    "back), and the maker's web site %2 has it too.")
                .arg(QDir::cleanPath(dir.filePath("../share/vemo")),
                     vemo::PlotDocument::MakerWebAddress));
        return;
    }
    if (!PdfViewerFound() || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        QMessageBox::information(
            parent, "Vemo",
            QString("No program to show PDF files was found, so the manual cannot be opened.\n\n"
                    "Install a PDF viewer (for example evince or okular), or open the manual "
                    "with a program of your choice:\n%1")
                .arg(QDir::toNativeSeparators(path)));
}

void AboutPage::ManualBtnClick() {
    OpenManual(this, QCoreApplication::applicationDirPath());
}
