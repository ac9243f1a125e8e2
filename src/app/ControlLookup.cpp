#include "app/ControlLookup.h"

#include <QVariant>

namespace tryster::app {
namespace {

constexpr const char* kIdProperty = "controlId";

}  // namespace

void setControlId(QWidget* control, int id) {
    control->setProperty(kIdProperty, id);
}

int controlId(const QWidget* control) {
    return control->property(kIdProperty).toInt();
}

void ControlMap::add(int id, QWidget* control) {
    setControlId(control, id);
    m_controls.insert(id, control);
}

}  // namespace tryster::app
