#pragma once
// The preview's view controls under the wizard's page: the facing and
// rotate lists and the zoom slider, laid out on the window. Each choice the
// player makes goes to the preview, which keeps the view.

#include <QObject>

class QComboBox;
class QSlider;
class QWidget;

namespace tryster::preview {
class Preview;
}

namespace tryster::app {

class ViewControls final : public QObject {
    Q_OBJECT

public:
    ViewControls(QWidget* window, preview::Preview& preview);

    // In the order the keyboard visits them.
    QList<QWidget*> tabOrder() const;

private:
    void facingChosen(int index);
    void rotationChosen(int index);

    preview::Preview& m_preview;
    QComboBox* m_facing;
    QComboBox* m_rotate;
    QSlider* m_zoom;
};

}  // namespace tryster::app
