#include "link/SerialLink.h"

#include "link/ModuleBusy.h"
#include "link/OpenFailure.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QSerialPort>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <deque>
#include <optional>
#include <thread>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <termios.h>
#endif

Q_LOGGING_CATEGORY(linkTrace, "vemo.link", QtWarningMsg)

namespace vemo {

namespace {

// How long one one-byte read waits for its byte.
constexpr int ByteTimeoutMs = 20;
// What the port keeps of input that nothing has read yet. A whole data set fits (65535 samples
// and as many trigger markers), so a download that lets window events run between its words
// never loses a byte; a device that talks while nothing reads cannot fill the memory.
constexpr qint64 ReadBufferBytes = 1 << 20;
// Input for this long without a pause is more than the stale end of a reply.
constexpr std::uint32_t TalkativeMs = 200;
// Slices of a pause that may be cut short.
constexpr std::uint32_t PauseSliceMs = 10;

// Set from a signal handler, read by the primitives.
volatile std::sig_atomic_t interruptRequested = 0;

// Counts a primitive waiting on the port while it runs: input that arrives meanwhile is its.
class InPrimitive {
public:
    explicit InPrimitive(int& depth) : depth_(depth) { ++depth_; }
    ~InPrimitive() { --depth_; }
    InPrimitive(const InPrimitive&) = delete;
    InPrimitive& operator=(const InPrimitive&) = delete;

private:
    int& depth_;
};

// Errors after which the device is of no more use. A pseudo-terminal whose far end closed
// reports read errors without end, an unplugged adapter a resource error.
bool DeviceGone(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
           error == QSerialPort::WriteError;
}

class SteadyClock : public Clock {
public:
    std::uint32_t NowMs() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<std::uint32_t>(ms.count());
    }
    void SleepMs(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    void SleepUnless(std::uint32_t ms, const std::function<bool()>& cutShort) override {
        const std::uint32_t start = NowMs();
        for (std::uint32_t slept = 0; slept < ms && !cutShort(); slept = NowMs() - start)
            SleepMs(std::min(PauseSliceMs, ms - slept));
    }
};

} // namespace

void InterruptLinks() noexcept {
    interruptRequested = 1;
}

void ClearLinkInterrupt() noexcept {
    interruptRequested = 0;
}

bool SerialLink::Interrupted() const {
    return interruptible_ && interruptRequested != 0;
}

Clock& SystemClock() {
    static SteadyClock clock;
    return clock;
}

SerialLink::SerialLink() : clock_(&SystemClock()) {}

SerialLink::~SerialLink() = default;

bool SerialLink::OpenPort(const std::string& path, std::uint32_t baud) {
    if (port_) ClosePort();
    lastFailure_ = OpenFailure::None;
    lastError_.clear();
    if (path.empty()) {
        lastFailure_ = OpenFailure::NoPortSelected;
        return false;
    }
    qCDebug(linkTrace, "Opening %s", path.c_str());
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(path));
    if (!port->open(QIODevice::ReadWrite)) {
        lastError_ = port->errorString().toStdString();
        lastFailure_ = ClassifyOpenFailure(path, port->error() == QSerialPort::PermissionError);
        return false;
    }
    // Failures of the line settings are not fatal: the port stays open with whatever the
    // driver accepted (a pseudo-terminal, for one, has no modem lines).
    port->setBaudRate(static_cast<qint32>(baud));
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    port->setDataTerminalReady(true);
    port->setRequestToSend(false);
    port->setReadBufferSize(ReadBufferBytes);
    port->clearError();
    // Watched from here on: the line settings above may fail harmlessly on a pseudo-terminal.
    QObject::connect(port.get(), &QSerialPort::errorOccurred, port.get(),
                     [this](QSerialPort::SerialPortError error) {
                         if (DeviceGone(error)) MarkLost();
                     });
    QObject::connect(port.get(), &QSerialPort::readyRead, port.get(), [this] { DropIdleInput(); });
    port_ = std::move(port);
    lost_ = false;
    keepsSending_ = false;
    ++openCount_;
    qCDebug(linkTrace, "%s Opened.", path.c_str());
    return true;
}

void SerialLink::ClosePort() {
    if (!port_) return;
    if (!lost_) {
        // Closing drops DTR and gives the line its former settings back: a record still on
        // its way (the boot loader's reset, say) would be cut short.
        DrainOutput();
        port_->setDataTerminalReady(false);
        Trace("dtr 0");
    }
    port_->close();
    Trace("close");
    port_.reset();
    lost_ = false;
    keepsSending_ = false;
    qCDebug(linkTrace, "Comm port closed");
}

void SerialLink::DrainOutput() {
#ifdef Q_OS_WIN
    ::FlushFileBuffers(reinterpret_cast<HANDLE>(port_->handle()));
#else
    // The system's queue empties at the line speed; it is given twice that and a margin, so
    // that an adapter that stopped sending cannot hold the close for good. Then the last
    // character leaves the transmitter.
    const int fd = static_cast<int>(port_->handle());
    int queued = 0;
    if (fd >= 0 && ::ioctl(fd, TIOCOUTQ, &queued) == 0) {
        const qint64 baud = std::max<qint64>(port_->baudRate(), 300);
        const qint64 limitMs = 200 + 2 * 10 * 1000 * static_cast<qint64>(queued) / baud;
        QElapsedTimer timer;
        timer.start();
        while (queued > 0 && timer.elapsed() < limitMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (::ioctl(fd, TIOCOUTQ, &queued) != 0) break;
        }
        if (queued == 0) ::tcdrain(fd);
    }
#endif
    Trace("drain");
}

void SerialLink::DropIdleInput() {
    if (!port_ || inPrimitive_ > 0 || ModuleBusy()) return;
    port_->skip(port_->bytesAvailable());
}

void SerialLink::MarkLost() {
    if (lost_ || !port_) return;
    lost_ = true;
    // Queued, so that the handler (which closes the port) never runs inside the port's own
    // signal or inside a primitive; it is dropped with the port if that goes first.
    QMetaObject::invokeMethod(
        port_.get(),
        [this] {
            if (lost_ && lostHandler_) lostHandler_();
        },
        Qt::QueuedConnection);
}

bool SerialLink::IsOpen() const {
    return port_ != nullptr;
}

std::string SerialLink::PortPath() const {
    return port_ ? port_->portName().toStdString() : std::string();
}

int SerialLink::WriteBytes(std::span<const std::uint8_t> data) {
    if (!port_ || Unusable() || data.empty()) return 0;
    const InPrimitive busy(inPrimitive_);
    if (trace_) Trace("write " + std::string(data.begin(), data.end()));
    qint64 queued =
        port_->write(reinterpret_cast<const char*>(data.data()), static_cast<qint64>(data.size()));
    if (queued < 0) MarkLost();
    if (queued <= 0) return 0;
    // A synchronous write: wait until the bytes have left, about 20 ms per byte at most.
    QElapsedTimer timer;
    timer.start();
    const qint64 limit = ByteTimeoutMs * static_cast<qint64>(data.size());
    while (port_->bytesToWrite() > 0 && timer.elapsed() < limit && !lost_) {
        if (!port_->waitForBytesWritten(static_cast<int>(limit - timer.elapsed()))) break;
    }
    if (DeviceGone(port_->error())) MarkLost();
    qint64 left = port_->bytesToWrite();
    return static_cast<int>(queued - (left < queued ? left : queued));
}

int SerialLink::WriteBytes(std::string_view text) {
    return WriteBytes(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

int SerialLink::WriteByte(std::uint8_t byte) {
    return WriteBytes(std::span(&byte, 1));
}

bool SerialLink::ReadOne(std::uint8_t& byte) {
    if (!port_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ByteTimeoutMs));
        return false;
    }
    if (keepsSending_ || Interrupted()) return false;
    const InPrimitive busy(inPrimitive_);
    if (port_->bytesAvailable() <= 0) {
        if (lost_) return false; // nothing more will come; the callers stop at once
        QElapsedTimer timer;
        timer.start();
        bool arrived = port_->waitForReadyRead(ByteTimeoutMs);
        if (!arrived || port_->bytesAvailable() <= 0) {
            if (lost_) return false;
            // Keep the read time-out all the same so the callers' polling loops do not spin.
            qint64 left = ByteTimeoutMs - timer.elapsed();
            if (left > 0) std::this_thread::sleep_for(std::chrono::milliseconds(left));
            return false;
        }
    }
    char c = 0;
    if (!port_->getChar(&c)) return false;
    byte = static_cast<std::uint8_t>(c);
    return true;
}

int SerialLink::ReadBytes(std::span<std::uint8_t> buf) {
    if (buf.empty()) return 0;
    if (!port_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ByteTimeoutMs));
        return 0;
    }
    if (buf.size() == 1) return ReadOne(buf[0]) ? 1 : 0;
    if (keepsSending_ || Interrupted()) return 0;
    const InPrimitive busy(inPrimitive_);
    QElapsedTimer timer;
    timer.start();
    const qint64 limit = ByteTimeoutMs * static_cast<qint64>(buf.size());
    while (port_->bytesAvailable() < static_cast<qint64>(buf.size()) && timer.elapsed() < limit) {
        if (!port_->waitForReadyRead(static_cast<int>(limit - timer.elapsed()))) break;
    }
    qint64 got = port_->read(reinterpret_cast<char*>(buf.data()), static_cast<qint64>(buf.size()));
    return got > 0 ? static_cast<int>(got) : 0;
}

int SerialLink::FlushInput() {
    int count = 0;
    DiscardUntilQuiet(0, count);
    return count;
}

bool SerialLink::WaitQuiet(std::uint32_t quietMs) {
    int count = 0;
    return DiscardUntilQuiet(quietMs, count);
}

bool SerialLink::DiscardUntilQuiet(std::uint32_t quietMs, int& count) {
    keepsSending_ = false;
    count = 0;
    std::optional<std::uint32_t> firstByte;
    std::uint32_t lastByte = clock_->NowMs();
    std::uint8_t byte = 0;
    for (;;) {
        if (ReadOne(byte)) {
            ++count;
            lastByte = clock_->NowMs();
            if (!firstByte) firstByte = lastByte;
            // A module that was asked something has said it long before now.
            if (lastByte - *firstByte >= KeepsSendingMs) {
                keepsSending_ = true;
                return false;
            }
        } else {
            if (Unusable()) return false;
            // The stale end of a reply is gone after one read time-out of silence. A device that
            // has talked for a while must be silent for longer: a busy machine can hold back the
            // bytes of one that never stops for a few read time-outs.
            std::uint32_t needed = quietMs;
            if (firstByte && lastByte - *firstByte >= TalkativeMs)
                needed = std::max(needed, TalkativeMs);
            if (needed == 0 || clock_->NowMs() - lastByte >= needed) return true;
        }
    }
}

int SerialLink::ReadExact(std::span<std::uint8_t> buf, std::uint32_t deadlineMs, int* arrived) {
    if (arrived) *arrived = 0;
    if (buf.empty()) return 0;
    const std::uint32_t start = clock_->NowMs();
    std::size_t count = 0;
    std::uint32_t elapsed = 0;
    do {
        if (ReadOne(buf[count]))
            ++count;
        else
            std::this_thread::yield();
        elapsed = clock_->NowMs() - start;
    } while (count < buf.size() && elapsed < deadlineMs && !Unusable());
    if (arrived) *arrived = static_cast<int>(count);
    // Only a reply that is complete before its deadline counts, the last byte included.
    if (elapsed >= deadlineMs || count < buf.size()) return 0;
    return static_cast<int>(count);
}

int SerialLink::ReadLine(std::string& line, int max, std::uint32_t deadlineMs) {
    line.clear();
    if (max <= 0) return 0;
    const std::uint32_t start = clock_->NowMs();
    std::uint8_t last = 0;
    std::uint32_t elapsed = 0;
    do {
        std::uint8_t byte = 0;
        if (ReadOne(byte)) {
            last = byte;
            if (byte != '\r' && byte != '\n') line.push_back(static_cast<char>(byte));
        } else {
            std::this_thread::yield();
        }
        elapsed = clock_->NowMs() - start;
    } while (elapsed < deadlineMs && static_cast<int>(line.size()) < max && last != '\n' &&
             !Unusable());
    // A line counts when its end or its last allowed character arrived in time.
    const bool complete = last == '\n' || static_cast<int>(line.size()) >= max;
    if (elapsed >= deadlineMs || !complete) return 0;
    return static_cast<int>(line.size());
}

bool SerialLink::WaitForText(std::string_view text, std::uint32_t deadlineMs) {
    if (text.empty()) return false;
    const std::uint32_t start = clock_->NowMs();
    std::deque<char> window;
    do {
        std::uint8_t byte = 0;
        if (ReadOne(byte)) {
            window.push_back(static_cast<char>(byte));
            if (window.size() == text.size()) {
                if (std::equal(window.begin(), window.end(), text.begin())) return true;
                window.pop_front();
            }
        } else {
            if (Unusable()) return false;
            clock_->SleepMs(10);
        }
    } while (deadlineMs == 0 || clock_->NowMs() - start < deadlineMs);
    return false;
}

void SerialLink::SendBreak(std::uint32_t ms) {
    if (port_) port_->setBreakEnabled(true);
    clock_->SleepMs(ms);
    if (port_) {
        port_->setBreakEnabled(false);
        port_->clearError();
    }
}

void SerialLink::Pause(std::uint32_t ms) {
    if (Unusable()) return; // nothing is listening any more, or the program is closing
    clock_->SleepUnless(ms, [this] { return Unusable(); });
}

void SerialLink::SetClock(Clock* clock) {
    clock_ = clock ? clock : &SystemClock();
}

namespace {
void CloseLinkAtExit() {
    Link().ClosePort();
}
} // namespace

SerialLink& Link() {
    static SerialLink link;
    // The port object must go while Qt is still up, so an open port is closed when the
    // application object ends rather than by the static destructor after it.
    static const bool closeAtExit = [] {
        if (QCoreApplication::instance()) qAddPostRoutine(CloseLinkAtExit);
        return true;
    }();
    (void)closeAtExit;
    return link;
}

} // namespace vemo
