#pragma once
// A list of data set names with a selection. The program's two name lists (the Data
// Properties dialog's set list and the Recorded Data page's active set combo) implement it
// over their widgets; MemoryNameList serves tests and the headless tool.
#include <string>
#include <vector>

namespace vemo {

class NameList {
public:
    virtual ~NameList() = default;
    virtual int Count() const = 0;
    virtual std::string Item(int k) const = 0;
    virtual void Insert(int k, const std::string& name) = 0;
    virtual void Remove(int k) = 0;
    virtual int Selected() const = 0; // -1: no selection
    virtual void Select(int k) = 0;   // -1 or out of range: no selection
    void Append(const std::string& name) { Insert(Count(), name); }
};

class MemoryNameList final : public NameList {
public:
    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Item(int k) const override;
    void Insert(int k, const std::string& name) override;
    void Remove(int k) override;
    int Selected() const override { return selected_; }
    void Select(int k) override;

private:
    std::vector<std::string> items_;
    int selected_ = -1;
};

} // namespace vemo
