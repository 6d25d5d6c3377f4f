#include "data/ui/WidgetNameLists.h"

#include "data/Text8.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

namespace vemo {

int ListWidgetNameList::Count() const { return w_->count(); }

std::string ListWidgetNameList::Item(int k) const {
    auto* item = w_->item(k);
    return item ? FromWidgetText(item->text()) : std::string();
}

void ListWidgetNameList::Insert(int k, const std::string& name) {
    if (k < 0 || k > Count()) k = Count();
    w_->insertItem(k, ToWidgetText(name));
}

void ListWidgetNameList::Remove(int k) {
    if (k < 0 || k >= Count()) return;
    delete w_->takeItem(k);
}

int ListWidgetNameList::Selected() const { return w_->currentRow(); }

void ListWidgetNameList::Select(int k) { w_->setCurrentRow(k >= 0 && k < Count() ? k : -1); }

int ComboNameList::Count() const { return w_->count(); }

std::string ComboNameList::Item(int k) const {
    if (k < 0 || k >= Count()) return {};
    return FromWidgetText(w_->itemText(k));
}

void ComboNameList::Insert(int k, const std::string& name) {
    if (k < 0 || k > Count()) k = Count();
    // Choosing another set has no immediate effect, so list edits need not notify anyone.
    QSignalBlocker block(w_);
    const bool wasEmpty = Count() == 0;
    w_->insertItem(k, ToWidgetText(name));
    if (wasEmpty) w_->setCurrentIndex(-1);
}

void ComboNameList::Remove(int k) {
    if (k < 0 || k >= Count()) return;
    QSignalBlocker block(w_);
    const int sel = w_->currentIndex();
    w_->removeItem(k);
    // A combo box moves its selection to a neighbour; a removed selection means none.
    if (sel == k) w_->setCurrentIndex(-1);
}

int ComboNameList::Selected() const { return w_->currentIndex(); }

void ComboNameList::Select(int k) {
    QSignalBlocker block(w_);
    w_->setCurrentIndex(k >= 0 && k < Count() ? k : -1);
}

} // namespace vemo
