#include "app/TickedSlider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace tryster::app {

TickedSlider::TickedSlider(int maximum, QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, maximum);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(1);
    setPageStep(1);
}

// The style draws tick marks in a darker shade of the page, which vanishes
// on the dialog's red: they are drawn as over a white page instead, where
// the style puts them.
void TickedSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    option.subControls = QStyle::SC_SliderTickmarks;
    option.activeSubControls = QStyle::SC_None;
    option.palette.setColor(QPalette::Window, Qt::white);
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

}  // namespace tryster::app
