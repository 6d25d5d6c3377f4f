#pragma once
// The data set name lists over their widgets: the Data Properties dialog's list box and the
// Recorded Data page's combo box.
#include "data/NameList.h"

class QListWidget;
class QComboBox;

namespace vemo {

class ListWidgetNameList final : public NameList {
public:
    explicit ListWidgetNameList(QListWidget* w) : w_(w) {}
    int Count() const override;
    std::string Item(int k) const override;
    void Insert(int k, const std::string& name) override;
    void Remove(int k) override;
    int Selected() const override;
    void Select(int k) override;

private:
    QListWidget* w_;
};

class ComboNameList final : public NameList {
public:
    explicit ComboNameList(QComboBox* w) : w_(w) {}
    int Count() const override;
    std::string Item(int k) const override;
    void Insert(int k, const std::string& name) override;
    void Remove(int k) override;
    int Selected() const override;
    void Select(int k) override;

private:
    QComboBox* w_;
};

} // namespace vemo
