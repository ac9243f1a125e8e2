#pragma once
// A horizontal slider over the whole numbers 0 to a maximum, a tick mark
// under each, moved one step at a time by the arrow and page keys.

#include <QSlider>

namespace tryster::app {

class TickedSlider final : public QSlider {
public:
    TickedSlider(int maximum, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tryster::app
