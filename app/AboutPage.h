#pragma once
// The "About" page: product name, version, build, the maker's links and the manual.
#include <QWidget>

class QLabel;

class AboutPage : public QWidget {
    Q_OBJECT
public:
    explicit AboutPage(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QLabel* VersionInfo = nullptr;
    QLabel* BuildInfo = nullptr;
    QLabel* AboutWebSite = nullptr;
    QLabel* AboutEmail = nullptr;

    static constexpr const char* MakerEmail = "support@tarnwicksystems.example";
    // The build's date and time as "Feb 10 2007, 22:40:13".
    static QString BuildDateText();
    // "VemoManual.pdf" beside the program file (the build tree), else in ../share/vemo/ where
    // an installation puts it, else in ../share/doc/vemo/; empty when none of them holds it.
    static QString ManualPath(const QString& programDir);
    // Opens the manual found from programDir with the desktop's PDF viewer; a box says so when
    // there is no manual or no viewer, and where to get what is missing.
    static void OpenManual(QWidget* parent, const QString& programDir);

signals:
    void Image1MouseDown(Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AboutEmailClick();
    void AboutWebSiteClick();
    void ManualBtnClick();
};
