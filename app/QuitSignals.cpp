#include "app/QuitSignals.h"

#include "link/ModuleBusy.h"

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
// The handler only writes a byte into the pipe; the event loop reads it.
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
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    RestoreDefaults(); // sigaction is safe here; a second signal takes the default way out
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
    // A transfer in progress holds the data and the port; a dialog's handler holds the data
    // it edits until its event loop returns.
    if (vemo::ModuleBusy()) {
        QTimer::singleShot(RetryMs, mainWindow, again);
        return;
    }
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != mainWindow) {
        modal->close();
        QTimer::singleShot(RetryMs, mainWindow, again);
        return;
    }
    if (QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(RetryMs, mainWindow, again);
        return;
    }
    mainWindow->close();
}
