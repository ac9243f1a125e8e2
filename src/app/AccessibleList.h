#pragma once
// What assistive tools see of a ListBox: a list named after its label,
// related to that label (braille displays show a list by its label), whose
// children are its entries. An entry is focused only while the list has
// the focus and the entry is its current one, and is not showing while the
// list is not. While an entry is focused the list itself is not: a screen
// reader then names the list with its current entry as the focus comes in; assistive tools select an entry with its Toggle action, as
// a click would.
//
// Each entry's interface is kept while its entry stays in the list, so a
// screen reader holds the same object for an entry that the program moves
// (the interests page moves one entry, not the whole list).

#include <QAccessibleWidget>
#include <QHash>
#include <QObject>

class QListWidget;
class QListWidgetItem;

namespace tryster::app {

class AccessibleList final : public QAccessibleWidget {
public:
    explicit AccessibleList(QListWidget* list);
    ~AccessibleList() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessible::State state() const override;

private:
    QListWidget* list() const;
    void forget(const QListWidgetItem* item);
    void forgetAll();

    mutable QHash<const QListWidgetItem*, QAccessible::Id> m_entries;
    // Holds the connections to the list's model: they end with this
    // interface, which Qt may delete before the list's model is gone.
    QObject m_modelWatch;
};

}  // namespace tryster::app
