#include "app/QuitSignals.h"

#include "link/FirmwareUpdate.h"
#include "link/SerialLink.h"

#include <QApplication>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// How often a close that has to wait looks again.
constexpr int RetryMs = 50;

#ifdef Q_OS_UNIX
// The handler only writes a byte into the pipe, which the event loop reads, and sets the flag
// that makes the serial link's waits give up.
int pipeEnds[2] = {-1, -1};
constexpr int QuitSignalNumbers[] = {SIGTERM, SIGINT};

void RestoreDefaults() {
    for (int sig : QuitSignalNumbers) {
        struct sigaction action = {};
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        sigaction(sig, &action, nullptr);
    }
}

extern "C" void OnQuitSignal(int) {
    const int saved = errno;
    vemo::InterruptLinks(); // stores a flag of type sig_atomic_t, nothing more
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}
#endif

} // namespace

QuitSignals::QuitSignals(QWidget* mainWindow, QObject* parent)
    : QObject(parent), mainWindow_(mainWindow) {
#ifdef Q_OS_UNIX
    if (pipeEnds[0] >= 0) return; // one set of handlers for the process
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeEnds) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return;
    }
    for (int fd : pipeEnds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::Received);
    for (int sig : QuitSignalNumbers) {
        struct sigaction action = {};
        action.sa_handler = OnQuitSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(sig, &action, nullptr);
    }
#endif
}

QuitSignals::~QuitSignals() {
#ifdef Q_OS_UNIX
    if (!notifier_) return;
    vemo::ClearLinkInterrupt();
    RestoreDefaults();
    delete notifier_;
    for (int& fd : pipeEnds) {
        ::close(fd);
        fd = -1;
    }
#endif
}

void QuitSignals::Received() {
#ifdef Q_OS_UNIX
    char bytes[16];
    while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
#endif
    CloseWhenIdle(mainWindow_);
}

void QuitSignals::CloseWhenIdle(QPointer<QWidget> mainWindow) {
    if (!mainWindow) return;
    auto again = [mainWindow] { CloseWhenIdle(mainWindow); };
    // The window's close waits for a firmware update and tells the user so; its boxes, if
    // any, belong to the update.
    if (vemo::FirmwareUpdateRunning()) {
        CloseNow(mainWindow);
        return;
    }
    // A dialog's handler holds the data it edits until its event loop returns; a box opened
    // inside a module command holds the command, which the interrupted link ends at once.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != mainWindow) {
        modal->close();
        QTimer::singleShot(RetryMs, mainWindow, again);
        return;
    }
    if (QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(RetryMs, mainWindow, again);
        return;
    }
    // A download lets window events through: the close stops it as the Close button does.
    CloseNow(mainWindow);
}

void QuitSignals::CloseNow(QWidget* mainWindow) {
    mainWindow->close();
    // The close has begun (or waits for the update): the link may serve again.
    vemo::ClearLinkInterrupt();
}
