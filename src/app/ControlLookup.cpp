#include "app/ControlLookup.h"

#include <QVariant>

namespace tryster::app {
namespace {

constexpr const char* kIdProperty = "controlId";

}  // namespace

void setControlId(QWidget* control, int id) { control->setProperty(kIdProperty, id); }

int controlId(const QWidget* control) { return control->property(kIdProperty).toInt(); }

QWidget* findControl(const QWidget* dialog, int id) {
    const auto children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children)
        if (controlId(child) == id) return child;
    return nullptr;
}

}  // namespace tryster::app
