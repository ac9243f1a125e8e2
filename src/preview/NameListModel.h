#pragma once
// A list of names as a sorted list box shows it: entries in alphabetical
// order without regard to case (whatever order they were added in), and at
// most one selected entry. The dialog's list widgets mirror it through an
// observer.

#include <string>
#include <string_view>
#include <vector>

namespace tryster::preview {

class NameListModel;

class NameListObserver {
public:
    virtual ~NameListObserver() = default;
    virtual void listReset(const NameListModel& list) = 0;
    virtual void selectionChanged(const NameListModel& list) = 0;
};

class NameListModel {
public:
    static constexpr int kNoSelection = -1;

    // Replaces the entries (sorted here; names equal but for case keep the
    // order given) and clears the selection.
    void assign(std::vector<std::string> names);
    void clear() { assign({}); }

    const std::vector<std::string>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // The first entry equal to `name` without regard to case, or
    // kNoSelection.
    int find(std::string_view name) const;

    // kNoSelection (or any index out of range) selects nothing.
    void select(int index);
    int selectedIndex() const { return selected_; }
    // Empty when nothing is selected.
    std::string selectedText() const;

    // The one observer (a list widget's page); it is not part of the list,
    // so a reader may sign up.
    void setObserver(NameListObserver* observer) const { observer_ = observer; }

private:
    std::vector<std::string> entries_;
    int selected_ = kNoSelection;
    mutable NameListObserver* observer_ = nullptr;
};

}  // namespace tryster::preview
