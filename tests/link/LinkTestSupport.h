#pragma once
// Helpers shared by the link tests: a bare pseudo-terminal the test writes raw bytes into,
// clocks that tests control, and recording stand-ins for the message boxes and the page.
#include "link/Protocol.h"
#include "sim/Simulator.h"

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace linktest {

// A pseudo-terminal pair: the link opens Path(); the test plays the module on the master.
class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0) return;
        if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        if (const char* name = ::ptsname(master_)) path_ = name;
    }
    ~PtyPair() { CloseMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return master_ >= 0 && !path_.empty(); }
    const std::string& Path() const { return path_; }
    int Master() const { return master_; }

    void Send(const std::string& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }
    // What the program wrote, waiting up to timeoutMs for at least `want` bytes.
    std::string Receive(std::size_t want, int timeoutMs = 1000) const {
        std::string got;
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        int flags = ::fcntl(master_, F_GETFL);
        ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
        while (got.size() < want && std::chrono::steady_clock::now() < until) {
            char buf[256];
            ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0)
                got.append(buf, static_cast<std::size_t>(n));
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ::fcntl(master_, F_SETFL, flags);
        return got;
    }
    void CloseMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string path_;
};

// Real time, except that pauses return at once; the pauses asked for are recorded, and
// OnPause (when set) runs in each, as if it happened while the program waited.
class PauseRecorder : public vemo::Clock {
public:
    std::uint32_t NowMs() override { return vemo::SystemClock().NowMs() + skipped_; }
    void SleepMs(std::uint32_t ms) override {
        Pauses.push_back(ms);
        skipped_ += ms;
        if (OnPause) OnPause(ms);
    }
    std::vector<std::uint32_t> Pauses;
    std::function<void(std::uint32_t)> OnPause;

private:
    std::uint32_t skipped_ = 0;
};

// A clock whose every reading comes from a function the test writes.
class ScriptedClock : public vemo::Clock {
public:
    explicit ScriptedClock(std::function<std::uint32_t(int call)> f) : f_(std::move(f)) {}
    std::uint32_t NowMs() override { return f_(calls_++); }
    void SleepMs(std::uint32_t) override {}

private:
    std::function<std::uint32_t(int)> f_;
    int calls_ = 0;
};

struct Box {
    std::string text, caption;
    bool question;
};

class RecordingPrompt : public vemo::UserPrompt {
public:
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        Boxes.push_back({text, caption, true});
        if (WhileAsking) WhileAsking(); // what happens while the question is open
        return Answer;
    }
    void Error(const std::string& text, const std::string& caption) override {
        Boxes.push_back({text, caption, false});
    }
    bool Answer = true;
    std::function<void()> WhileAsking;
    std::vector<Box> Boxes;
};

class RecordingUi : public vemo::ModuleUi {
public:
    void ShowConnected(bool c) override {
        Connected = c;
        ++ConnectedCalls;
    }
    void SetSetList(const std::vector<std::string>& items, int selected) override {
        SetList = items;
        Selected = selected;
        ++SetListCalls;
    }
    void ShowFirmwareVersion(const std::string& v) override { Firmware = v; }
    void ShowConnectPage() override { ++ConnectPageShown; }

    bool Connected = false;
    int ConnectedCalls = 0;
    std::vector<std::string> SetList{"(none)"};
    int Selected = -1;
    int SetListCalls = 0;
    std::string Firmware;
    int ConnectPageShown = 0;
};

// Waits until the simulator has received at least n bytes; returns what it received.
inline std::vector<std::uint8_t> WaitReceived(const vemosim::Simulator& sim, std::size_t n,
                                              int timeoutMs = 2000) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto got = sim.Received();
    while (got.size() < n && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        got = sim.Received();
    }
    return got;
}

} // namespace linktest
