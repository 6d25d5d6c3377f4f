#include "app/AppIcon.h"
#include "app/CommandLine.h"
#include "app/MainForm.h"
#include "app/QuitSignals.h"
#include "app/StartFiles.h"
#include "app/StartUp.h"
#include "app/Windows.h"

#include <QApplication>

namespace {

// An error that escapes an event handler is shown with its own text; the program goes on.
class VemoApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowException(e);
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (const auto status = AnswerBeforeStart(argc, argv)) return *status;
    VemoApplication app(argc, argv);
    const QStringList files = DataFileArguments(app);
    QApplication::setApplicationName("Vemo");
    QApplication::setOrganizationName("TarnwickSystems");
    QGuiApplication::setDesktopFileName("example.tarnwicksystems.Vemo");
    QApplication::setWindowIcon(AppIcon());
    if (!StartWindows()) return 1;
    const QuitSignals quitSignals(MainForm);
    LoadFilesAfterStart(*MainForm, files);
    const int status = QApplication::exec();
    DestroyWindows();
    return status;
}
