#pragma once
// A module port fed from memory: a read succeeds only when every byte it asks for is queued,
// as a silent line would behave after its deadline. Optionally answers "a" + set byte with a
// prepared stream per set, like the module does.
#include "link/ModulePort.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace vemotest {

class FakeModulePort : public vemo::ModulePort {
public:
    std::deque<std::uint8_t> Input;    // what the module has sent and not yet been read
    std::vector<std::uint8_t> Written; // every byte the program sent
    std::vector<std::string> Events;   // "flush", "w:XX", "pause:N", "read:N:ok|fail"
    std::map<int, std::vector<std::uint8_t>> SetStreams; // set byte -> reply to "a"
    std::map<int, std::vector<std::uint8_t>> Replies;    // command byte -> its reply
    int FailedReads = 0;

    void Queue(const std::vector<std::uint8_t>& bytes) {
        Input.insert(Input.end(), bytes.begin(), bytes.end());
    }

    void FlushInput() override {
        Input.clear();
        Events.push_back("flush");
    }
    void WriteBytes(std::span<const std::uint8_t> bytes) override {
        for (auto b : bytes) {
            char e[8];
            std::snprintf(e, sizeof e, "w:%02X", b);
            Events.push_back(e);
            const bool setByte = !Written.empty() && Written.back() == 'a' && awaitingSet_;
            Written.push_back(b);
            if (setByte) {
                awaitingSet_ = false;
                auto it = SetStreams.find(b);
                if (it != SetStreams.end()) Queue(it->second);
            } else {
                awaitingSet_ = b == 'a';
                auto it = Replies.find(b);
                if (it != Replies.end()) Queue(it->second);
            }
        }
    }
    bool ReadExact(std::span<std::uint8_t> buf, int deadlineMs, int& arrived) override {
        const bool ok = Input.size() >= buf.size();
        arrived = static_cast<int>(ok ? buf.size() : Input.size());
        Events.push_back("read:" + std::to_string(buf.size()) + ":" + std::to_string(deadlineMs) +
                         (ok ? ":ok" : ":fail"));
        if (!ok) {
            // what did arrive lands in the buffer and is consumed by the failed read
            std::copy(Input.begin(), Input.end(), buf.begin());
            Input.clear();
            ++FailedReads;
            return false;
        }
        for (auto& b : buf) {
            b = Input.front();
            Input.pop_front();
        }
        return true;
    }
    void Pause(int ms) override { Events.push_back("pause:" + std::to_string(ms)); }
    // What is queued stands for a late reply still on its way. A device that keeps sending
    // never falls silent, and the port is of no more use.
    bool WaitQuiet(int) override {
        Input.clear();
        return !KeepsSending;
    }
    bool Unusable() const override { return KeepsSending; }
    bool KeepsSending = false;

private:
    bool awaitingSet_ = false;
};

// A download stream: header then words, all big-endian.
inline std::vector<std::uint8_t> SetStream(std::uint16_t intervalCount, std::uint16_t wordCount,
                                           std::uint8_t triggerFlag,
                                           const std::vector<std::uint16_t>& words) {
    std::vector<std::uint8_t> s = {0,
                                   static_cast<std::uint8_t>(intervalCount >> 8),
                                   static_cast<std::uint8_t>(intervalCount & 0xFF),
                                   static_cast<std::uint8_t>(wordCount >> 8),
                                   static_cast<std::uint8_t>(wordCount & 0xFF),
                                   triggerFlag};
    for (auto w : words) {
        s.push_back(static_cast<std::uint8_t>(w >> 8));
        s.push_back(static_cast<std::uint8_t>(w & 0xFF));
    }
    return s;
}

} // namespace vemotest
