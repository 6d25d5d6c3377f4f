#include "data/NameList.h"

namespace vemo {

std::string MemoryNameList::Item(int k) const {
    if (k < 0 || k >= Count()) return {};
    return items_[static_cast<std::size_t>(k)];
}

void MemoryNameList::Insert(int k, const std::string& name) {
    if (k < 0 || k > Count()) k = Count();
    items_.insert(items_.begin() + k, name);
    if (selected_ >= k) ++selected_;
}

void MemoryNameList::Remove(int k) {
    if (k < 0 || k >= Count()) return;
    items_.erase(items_.begin() + k);
    // A list box loses its selection when the selected item goes, like the widgets do.
    if (selected_ == k)
        selected_ = -1;
    else if (selected_ > k)
        --selected_;
}

void MemoryNameList::Select(int k) {
    selected_ = (k >= 0 && k < Count()) ? k : -1;
}

} // namespace vemo
