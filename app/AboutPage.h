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
    // "VemoManual.pdf" beside the program file, else in ../share/doc/vemo/ where an
    // installation puts it; the first of the two when neither exists.
    static QString ManualPath(const QString& programDir);

signals:
    void Image1MouseDown(Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AboutEmailClick();
    void AboutWebSiteClick();
    void ManualBtnClick();
};
