#pragma once
// Controls carry their dialog-template id as a property, so a test or an
// accessibility tool can tell them apart; the main dialog also keeps them
// in a map so a lookup by id costs no walk of the widget tree.

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace tryster::app {

void setControlId(QWidget* control, int id);
int controlId(const QWidget* control);  // 0 when none

class ControlMap {
public:
    // Tags the widget with its id and files it under it.
    void add(int id, QWidget* control);
    QWidget* find(int id) const { return m_controls.value(id); }
    template <typename T>
    T* get(int id) const {
        return qobject_cast<T*>(find(id));
    }

private:
    QHash<int, QPointer<QWidget>> m_controls;
};

}  // namespace tryster::app
