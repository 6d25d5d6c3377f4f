// The simulator's pseudo-terminal, its thread and the byte pipe with pacing and faults.

#include "sim/SimulatorImpl.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vemosim {
namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

} // namespace

Simulator::Simulator(SimOptions options) : d(std::make_unique<Impl>()) {
    d->options = options;
    d->config = DefaultConfigBlock(options.unit);
    d->recordings = BuiltInRecordings(options.unit);
    d->identity = DefaultIdentity();
}

Simulator::~Simulator() {
    Stop();
}

bool Simulator::Start() {
    if (d->thread.joinable()) return true;
    d->stopping = false;
    d->portClosed = false;
    d->pending.clear();
    d->masterFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (d->masterFd < 0) return false;
    char name[128] = {};
    if (::grantpt(d->masterFd) != 0 || ::unlockpt(d->masterFd) != 0 ||
        ::ptsname_r(d->masterFd, name, sizeof name) != 0) {
        CloseFd(d->masterFd);
        return false;
    }
    d->slavePath = name;
    d->slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (d->slaveFd < 0 || ::pipe2(d->wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        CloseFd(d->slaveFd);
        CloseFd(d->masterFd);
        return false;
    }
    // A raw line until the program sets its own: no echo, no line editing, no CR/LF mapping.
    termios tio{};
    if (::tcgetattr(d->slaveFd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B115200);
        ::cfsetospeed(&tio, B115200);
        ::tcsetattr(d->slaveFd, TCSANOW, &tio);
    }
    ::fcntl(d->masterFd, F_SETFL, ::fcntl(d->masterFd, F_GETFL) | O_NONBLOCK);
    d->thread = std::thread([this] { d->Run(); });
    return true;
}

void Simulator::Stop() {
    if (d->thread.joinable()) {
        d->stopping = true;
        const char wake = 1;
        [[maybe_unused]] auto n = ::write(d->wakePipe[1], &wake, 1);
        d->thread.join();
    }
    std::lock_guard lock(d->mutex);
    CloseFd(d->slaveFd);
    CloseFd(d->masterFd);
    CloseFd(d->wakePipe[0]);
    CloseFd(d->wakePipe[1]);
}

void Simulator::ClosePort() {
    d->portClosed = true;
    Stop();
}

void Simulator::Inject(std::vector<uint8_t> bytes) {
    std::lock_guard lock(d->mutex);
    d->injected.insert(d->injected.end(), bytes.begin(), bytes.end());
    if (d->wakePipe[1] < 0) return;
    const char wake = 1;
    [[maybe_unused]] auto n = ::write(d->wakePipe[1], &wake, 1);
}

std::string Simulator::PortPath() const {
    return d->slavePath;
}

std::array<uint8_t, 28> Simulator::ConfigBlock() const {
    std::lock_guard lock(d->mutex);
    return d->config;
}

void Simulator::SetConfigBlock(const std::array<uint8_t, 28>& block) {
    std::lock_guard lock(d->mutex);
    d->config = block;
}

void Simulator::SetRecordings(std::vector<Recording> recordings) {
    std::lock_guard lock(d->mutex);
    d->recordings = std::move(recordings);
}

int Simulator::SetCount() const {
    std::lock_guard lock(d->mutex);
    return static_cast<int>(d->recordings.size());
}

void Simulator::SetIdentity(std::vector<std::string> fourLines) {
    std::lock_guard lock(d->mutex);
    d->identity = std::move(fourLines);
}

std::vector<uint8_t> Simulator::Received() const {
    std::lock_guard lock(d->mutex);
    return d->received;
}

void Simulator::ClearReceived() {
    std::lock_guard lock(d->mutex);
    d->received.clear();
}

int Simulator::LineSpeed() const {
    std::lock_guard lock(d->mutex);
    return TerminalSpeed(d->slaveFd);
}

void Simulator::SetSilenceAfter(long bytes) {
    std::lock_guard lock(d->mutex);
    d->silenceAfter = bytes < 0 ? -1 : bytes;
}

void Simulator::SetGarbage(bool on) {
    std::lock_guard lock(d->mutex);
    d->garbage = on;
}

void Simulator::SetReplyDelayMs(int ms) {
    std::lock_guard lock(d->mutex);
    d->replyDelayMs = std::max(0, ms);
}

void Simulator::SetLateCommands(const std::string& commands, int ms) {
    std::lock_guard lock(d->mutex);
    d->lateCommands = commands;
    d->lateMs = std::max(0, ms);
}

void Simulator::SetStreaming(bool on) {
    d->streaming = on;
    std::lock_guard lock(d->mutex);
    if (d->wakePipe[1] < 0) return;
    const char wake = 1; // a wait for the next command ends
    [[maybe_unused]] auto n = ::write(d->wakePipe[1], &wake, 1);
}

int Simulator::CalibrationValue() const {
    std::lock_guard lock(d->mutex);
    return d->calibrationValue;
}

int Simulator::CalibrationCount() const {
    std::lock_guard lock(d->mutex);
    return d->calibrationCount;
}

int Simulator::ResetCount() const {
    std::lock_guard lock(d->mutex);
    return d->resetCount;
}

bool Simulator::Logging() const {
    std::lock_guard lock(d->mutex);
    return d->logging;
}

bool Simulator::InBootLoader() const {
    std::lock_guard lock(d->mutex);
    return d->bootLoader;
}

void Simulator::SetBlankPart(bool blank) {
    std::lock_guard lock(d->mutex);
    d->bootLoader = blank;
    if (blank) std::fill(d->flash.begin(), d->flash.end(), 0xFF);
}

std::vector<uint8_t> Simulator::Flash() const {
    std::lock_guard lock(d->mutex);
    return d->flash;
}

int Simulator::StatusByte() const {
    std::lock_guard lock(d->mutex);
    return d->statusByte;
}

int Simulator::ConfigByte() const {
    std::lock_guard lock(d->mutex);
    return d->configByte;
}

int Simulator::LastSyncSpeed() const {
    std::lock_guard lock(d->mutex);
    return d->lastSyncSpeed;
}

void Simulator::SetRejectRecords(int count) {
    SetRecordFault('X', count, 0);
}

void Simulator::SetRecordFault(char verdict, int count, int after) {
    std::lock_guard lock(d->mutex);
    d->recordFaultVerdict = verdict;
    d->recordFaultCount = std::max(0, count);
    d->recordFaultAfter = std::max(0, after);
}

void Simulator::SetDropEchoes(int count, int verdictDelayMs) {
    std::lock_guard lock(d->mutex);
    d->dropEchoes = std::max(0, count);
    d->dropEchoDelayMs = std::max(0, verdictDelayMs);
}

void Simulator::SetCloseAfterRecords(int records) {
    std::lock_guard lock(d->mutex);
    d->closeAfterRecords = std::max(0, records);
}

void Simulator::Impl::VanishPort() {
    portClosed = true;
    std::lock_guard lock(mutex);
    CloseFd(masterFd);
    CloseFd(slaveFd);
}

// ---------------------------------------------------------------- byte pipe (thread side)

bool Simulator::Impl::WaitReadable(int timeoutMs) {
    SendInjected(); // bytes that were asked for while a reply was being written
    pollfd fds[2] = {{masterFd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
    const int r = ::poll(fds, 2, timeoutMs);
    if (r <= 0 || !Alive()) return false;
    if (fds[1].revents & POLLIN) {
        DrainWakePipe();
        SendInjected();
    }
    return (fds[0].revents & POLLIN) != 0;
}

void Simulator::Impl::DrainWakePipe() {
    char sink[64];
    while (::read(wakePipe[0], sink, sizeof sink) > 0) {
    }
}

void Simulator::Impl::SendInjected() {
    std::vector<uint8_t> out;
    {
        std::lock_guard lock(mutex);
        out.swap(injected);
    }
    if (!out.empty()) WriteAll(out.data(), out.size());
}

void Simulator::Impl::DrainInput() {
    uint8_t buf[512];
    for (;;) {
        const ssize_t n = ::read(masterFd, buf, sizeof buf);
        if (n <= 0) return;
        std::lock_guard lock(mutex);
        received.insert(received.end(), buf, buf + n);
        pending.insert(pending.end(), buf, buf + n);
    }
}

std::optional<uint8_t> Simulator::Impl::ReadByte(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    while (Alive() && !streaming) { // a receiver that talks takes no commands
        if (!pending.empty()) {
            const uint8_t b = pending.front();
            pending.pop_front();
            return b;
        }
        const int wait = timeoutMs < 0 ? -1 : MsLeft(deadline);
        if (WaitReadable(wait)) {
            DrainInput();
        } else if (timeoutMs >= 0 && MsLeft(deadline) == 0) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool Simulator::Impl::Pause(int ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Alive()) {
        const int left = MsLeft(deadline);
        if (left == 0) return true;
        if (WaitReadable(left)) DrainInput();
    }
    return false;
}

void Simulator::Impl::WriteAll(const uint8_t* data, size_t n) {
    while (n > 0 && Alive()) {
        const ssize_t w = ::write(masterFd, data, n);
        if (w > 0) {
            data += w;
            n -= static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) return;
        // The program is not reading: wait for room, and keep collecting what it sends.
        pollfd fds[2] = {{masterFd, POLLOUT | POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        if (::poll(fds, 2, 100) <= 0) continue;
        if (fds[0].revents & POLLIN) DrainInput();
        if (fds[1].revents & POLLIN) DrainWakePipe(); // injected bytes wait for the reply
    }
}

void Simulator::Impl::WritePaced(const std::vector<uint8_t>& bytes) {
    // The line is one: what an earlier call sent (an echo one character at a time, say) must
    // have left before these bytes can start.
    const auto start = std::max(Clock::now(), lineFreeAt);
    while (Alive() && Clock::now() < start)
        Pause(std::max(1, MsLeft(start)));
    size_t sent = 0;
    while (sent < bytes.size() && Alive()) {
        const int baud = TerminalSpeed(slaveFd);
        if (baud <= 0) {
            WriteAll(bytes.data() + sent, bytes.size() - sent);
            return;
        }
        lineFreeAt =
            start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                        static_cast<double>(bytes.size()) * 10.0 / baud));
        // Ten bits a byte: start bit, eight data bits, stop bit.
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const auto due = std::min(bytes.size(), static_cast<size_t>(elapsed * baud / 10.0) + 1);
        if (due > sent) {
            WriteAll(bytes.data() + sent, due - sent);
            sent = due;
        } else {
            const double nextAt = static_cast<double>(sent) * 10.0 / baud;
            const int waitMs = static_cast<int>((nextAt - elapsed) * 1000.0);
            Pause(std::max(1, waitMs));
        }
    }
}

void Simulator::Impl::SendRaw(const std::vector<uint8_t>& bytes) {
    if (options.pace)
        WritePaced(bytes);
    else
        WriteAll(bytes.data(), bytes.size());
}

void Simulator::Impl::Reply(const std::vector<uint8_t>& bytes) {
    int delay = 0;
    std::vector<uint8_t> out = bytes;
    {
        std::lock_guard lock(mutex);
        delay = replyDelayMs;
        if (command != 0 && lateCommands.find(static_cast<char>(command)) != std::string::npos)
            delay += lateMs;
        if (silenceAfter >= 0) {
            // The fault counts from the reply after it was armed and stays until cleared.
            const auto keep = std::min<size_t>(out.size(), static_cast<size_t>(silenceAfter));
            out.resize(keep);
            silenceAfter -= static_cast<long>(keep);
        }
        if (garbage) {
            for (auto& b : out) {
                garbageSeed = garbageSeed * 1103515245u + 12345u;
                b = static_cast<uint8_t>(garbageSeed >> 16);
            }
        }
    }
    if (delay > 0 && !Pause(delay)) return;
    SendRaw(out);
}

} // namespace vemosim
