#pragma once
// The program's end of the line for tests, with plain POSIX calls only: opens the simulator's
// pseudo-terminal like a serial port and reads with deadlines.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

class PtyClient {
public:
    explicit PtyClient(const std::string& path, speed_t speed = B115200) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) return;
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        ::tcsetattr(fd_, TCSANOW, &tio);
    }
    ~PtyClient() {
        if (fd_ >= 0) ::close(fd_);
    }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

    void Send(const std::string& text) { Send(std::vector<uint8_t>(text.begin(), text.end())); }
    void Send(const std::vector<uint8_t>& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<size_t>(n);
        }
    }

    // Reads until n bytes arrived or the line stayed silent past the deadline.
    std::vector<uint8_t> Read(size_t n, int deadlineMs) {
        std::vector<uint8_t> out;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
        while (out.size() < n) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  end - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
            if (!(p.revents & POLLIN)) break;
            uint8_t buf[4096];
            const size_t want = std::min(sizeof buf, n - out.size());
            const ssize_t got = ::read(fd_, buf, want);
            if (got <= 0) break;
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }

    // Everything that arrives until the line has been silent for quietMs.
    std::vector<uint8_t> ReadUntilQuiet(int quietMs) {
        std::vector<uint8_t> out;
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0 || !(p.revents & POLLIN)) return out;
            uint8_t buf[4096];
            const ssize_t got = ::read(fd_, buf, sizeof buf);
            if (got <= 0) return out;
            out.insert(out.end(), buf, buf + got);
        }
    }

    std::string ReadText(int quietMs) {
        const auto bytes = ReadUntilQuiet(quietMs);
        return std::string(bytes.begin(), bytes.end());
    }

private:
    int fd_ = -1;
};
