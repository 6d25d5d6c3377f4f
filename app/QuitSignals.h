#pragma once
// Ends the program the normal way when the system asks it to (SIGTERM at a desktop log-out or
// shutdown, SIGINT from Ctrl+C in a terminal): the main window closes as if its Close button
// were pressed, so the settings are stored and the data released, and the process exits with
// status 0. A module command in progress gives up at once (the serial link is interrupted), and
// message boxes and dialogs are closed first; only a firmware update is waited for, as the
// window's own close waits for it. A second signal does what the first does.
#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

class QuitSignals : public QObject {
public:
    // Installs the handlers; they stay until this object goes.
    explicit QuitSignals(QWidget* mainWindow, QObject* parent = nullptr);
    ~QuitSignals() override;

    // Closes the main window once nothing stands in the way: open boxes and dialogs are closed
    // (cancelled) and their event loops left before the window and its data go. A download
    // stops as it does for the Close button; a firmware update is left to the window's close,
    // which waits for it.
    static void CloseWhenIdle(QPointer<QWidget> mainWindow);

private:
    void Received();
    static void CloseNow(QWidget* mainWindow);

    QPointer<QWidget> mainWindow_;
    QSocketNotifier* notifier_ = nullptr;
};
