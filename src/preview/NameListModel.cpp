#include "preview/NameListModel.h"

#include "platform/FileSystem.h"

#include <algorithm>

namespace tryster::preview {

void NameListModel::assign(std::vector<std::string> names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return platform::lessNoCase(a, b); });
    entries_ = std::move(names);
    selected_ = kNoSelection;
    if (observer_) observer_->listReset(*this);
}

int NameListModel::find(std::string_view name) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), name,
                               [](const std::string& a, std::string_view b) { return platform::lessNoCase(a, b); });
    if (it == entries_.end() || !platform::equalsNoCase(*it, name)) return kNoSelection;
    return static_cast<int>(it - entries_.begin());
}

void NameListModel::select(int index) {
    const int wanted = index >= 0 && static_cast<std::size_t>(index) < entries_.size() ? index : kNoSelection;
    if (wanted == selected_) return;
    selected_ = wanted;
    if (observer_) observer_->selectionChanged(*this);
}

std::string NameListModel::selectedText() const {
    return selected_ == kNoSelection ? std::string() : entries_[static_cast<std::size_t>(selected_)];
}

}  // namespace tryster::preview
