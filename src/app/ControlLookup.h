#pragma once
// Controls carry their dialog-template id as a property, so any dialog can
// find them by number.

#include <QWidget>

namespace tryster::app {

void setControlId(QWidget* control, int id);
int controlId(const QWidget* control);  // 0 when none
QWidget* findControl(const QWidget* dialog, int id);

}  // namespace tryster::app
