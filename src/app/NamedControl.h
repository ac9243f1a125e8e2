#pragma once
// Finds a control of a window the way assistive tools do: by its accessible
// name (its caption, or the text of the label that names it), among all the
// window's widgets, shown or not. A field and its label share a name; the
// label is found only when asked for, and a page (a panel named after its
// title, as a command's button may be) never. Tools that drive the window
// as a player would (the guide's pictures, the tests) find its controls so.

#include <QAccessible>
#include <QLabel>
#include <QWidget>

#include <type_traits>

namespace tryster::app {

template <typename T = QWidget>
T* namedControl(const QWidget* window, const QString& name) {
    for (T* widget : window->findChildren<T*>()) {
        if constexpr (!std::is_same_v<T, QLabel>)
            if (qobject_cast<QLabel*>(widget)) continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (accessible && accessible->role() != QAccessible::Grouping && accessible->text(QAccessible::Name) == name)
            return widget;
    }
    return nullptr;
}

}  // namespace tryster::app
