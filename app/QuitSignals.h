#pragma once
// Ends the program the normal way when the system asks it to (SIGTERM at a desktop log-out or
// shutdown, SIGINT from Ctrl+C in a terminal): the main window closes as if its Close button
// were pressed, so the settings are stored and the data released, and the process exits with
// status 0. A second signal while the first is still being served ends the process at once.
#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

class QuitSignals : public QObject {
public:
    // Installs the handlers; they stay until this object goes.
    explicit QuitSignals(QWidget* mainWindow, QObject* parent = nullptr);
    ~QuitSignals() override;

    // Closes the main window once nothing stands in the way: a transfer that lets window
    // events through runs to its end first, and open dialogs are closed (cancelled) and
    // their event loops left before the window and its data go.
    static void CloseWhenIdle(QPointer<QWidget> mainWindow);

private:
    void Received();

    QPointer<QWidget> mainWindow_;
    QSocketNotifier* notifier_ = nullptr;
};
