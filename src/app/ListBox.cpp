#include "app/ListBox.h"

#include <QLabel>

namespace tryster::app {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {}

void ListBox::nameWithoutLabel(const QString& name) {
    auto* label = new QLabel(name, parentWidget());
    label->hide();
    label->setBuddy(this);
    setAccessibleName(name);
}

// Qt's list view tells assistive tools that its current entry has the focus
// whenever the entry changes; only while the list has the focus is that so.
// Skipping the list view's step skips nothing else: the item view's own
// step keeps the view's state.
void ListBox::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus())
        QListWidget::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous);
}

}  // namespace tryster::app
