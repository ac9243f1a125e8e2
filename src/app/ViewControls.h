#pragma once
// The preview's view controls under the wizard: the facing and rotate lists
// and the zoom slider. They drive the preview's camera controls directly;
// the preview owns the values.

#include "app/WizardPage.h"

class QComboBox;
class QSlider;

namespace tryster::app {

class ViewControls final : public WizardPage {
    Q_OBJECT

public:
    explicit ViewControls(const PageContext& context);

    void initialise() override;

    QComboBox* facingList() const { return m_facing; }
    QComboBox* rotateList() const { return m_rotate; }
    QSlider* zoomSlider() const { return m_zoom; }

private:
    void facingChosen(int index);
    void rotationChosen(int index);

    QComboBox* m_facing;
    QComboBox* m_rotate;
    QSlider* m_zoom;
};

}  // namespace tryster::app
