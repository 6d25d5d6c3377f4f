#pragma once
// The message log the module operations report to. On screen it is the InfoText box of the
// "Connect / Download" page; in tests and in vemo-cli it is a list of lines.
#include <string>
#include <vector>

namespace vemo {

class MessageLog {
public:
    virtual ~MessageLog() = default;
    virtual void Clear() = 0;
    virtual void Append(const std::string& line) = 0; // one line, without its line end
};

class StringListLog : public MessageLog {
public:
    void Clear() override { Lines.clear(); }
    void Append(const std::string& line) override { Lines.push_back(line); }

    std::vector<std::string> Lines;
};

} // namespace vemo
