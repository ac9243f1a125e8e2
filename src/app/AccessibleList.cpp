#include "app/AccessibleList.h"

#include <QItemSelectionModel>
#include <QListWidget>
#include <QPointer>
#include <QWindow>

namespace tryster::app {
namespace {

// One entry of the list. It lives while its entry is in the list: the list
// forgets it before the entry leaves.
class ListEntry final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ListEntry(QListWidget* list, QListWidgetItem* item) : m_list(list), m_item(item) {}

    const QListWidgetItem* item() const { return m_item; }

    bool isValid() const override { return !m_list.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list ? m_list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_list); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!m_list) return {};
        if (t == QAccessible::Name) return m_item->text();
        if (t == QAccessible::Description) return m_item->toolTip();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!m_list) return {};
        QRect r = m_list->visualItemRect(m_item);
        r.moveTopLeft(m_list->viewport()->mapToGlobal(r.topLeft()));
        return r;
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!m_list) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = m_item->isSelected();
        s.focused = m_list->hasFocus() && m_list->currentItem() == m_item;
        s.disabled = !m_list->isEnabled() || !(m_item->flags() & Qt::ItemIsEnabled);
        if (!m_list->isVisible())
            s.invisible = true;
        else if (!m_list->viewport()->rect().intersects(m_list->visualItemRect(m_item)))
            s.offscreen = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override { return {toggleAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    // Toggle selects the entry, as a click does (or unselects it), without
    // moving the list's current entry: the pages react to the selection.
    void doAction(const QString& action) override {
        if (!m_list || action != toggleAction()) return;
        const QModelIndex index = m_list->model()->index(m_list->row(m_item), 0);
        QItemSelectionModel::SelectionFlags how = QItemSelectionModel::Deselect;
        if (!m_item->isSelected())
            how = m_list->selectionMode() == QAbstractItemView::SingleSelection ? QItemSelectionModel::ClearAndSelect
                                                                                : QItemSelectionModel::Select;
        m_list->selectionModel()->select(index, how);
    }

private:
    QPointer<QListWidget> m_list;
    QListWidgetItem* m_item;
};

}  // namespace

AccessibleList::AccessibleList(QListWidget* list) : QAccessibleWidget(list, QAccessible::List) {
    // Entries leave one at a time (taken, moved to another list) or all at
    // once (cleared, or the list going): their interfaces go first.
    QAbstractItemModel* model = list->model();
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, &m_modelWatch,
                     [this](const QModelIndex&, int first, int last) {
                         for (int row = first; row <= last; ++row) forget(this->list()->item(row));
                     });
    QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, &m_modelWatch, [this] { forgetAll(); });
}

AccessibleList::~AccessibleList() {
    forgetAll();
}

QListWidget* AccessibleList::list() const {
    return static_cast<QListWidget*>(widget());
}

int AccessibleList::childCount() const {
    return list()->count();
}

QAccessibleInterface* AccessibleList::child(int index) const {
    QListWidgetItem* item = list()->item(index);
    if (!item) return nullptr;
    if (const QAccessible::Id id = m_entries.value(item)) return QAccessible::accessibleInterface(id);
    auto* entry = new ListEntry(list(), item);
    m_entries.insert(item, QAccessible::registerAccessibleInterface(entry));
    return entry;
}

int AccessibleList::indexOfChild(const QAccessibleInterface* child) const {
    const auto* entry = dynamic_cast<const ListEntry*>(child);
    if (!entry || !m_entries.contains(entry->item())) return -1;
    return list()->row(entry->item());
}

QAccessibleInterface* AccessibleList::childAt(int x, int y) const {
    QListWidgetItem* item = list()->itemAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
    return item ? child(list()->row(item)) : nullptr;
}

QAccessibleInterface* AccessibleList::focusChild() const {
    if (!list()->hasFocus() || !list()->currentItem()) return nullptr;
    return child(list()->currentRow());
}

QAccessible::State AccessibleList::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    if (list()->currentItem()) s.focused = false;
    return s;
}

void AccessibleList::forget(const QListWidgetItem* item) {
    if (const QAccessible::Id id = m_entries.take(item)) QAccessible::deleteAccessibleInterface(id);
}

void AccessibleList::forgetAll() {
    const QList<QAccessible::Id> ids = m_entries.values();
    m_entries.clear();
    for (QAccessible::Id id : ids) QAccessible::deleteAccessibleInterface(id);
}

}  // namespace tryster::app
