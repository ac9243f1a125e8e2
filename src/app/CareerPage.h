#pragma once
// Step 5, "Dating is work!": the career track and the job level.

#include "app/WizardPage.h"

class QComboBox;
class QSlider;

namespace tryster::app {

class CareerPage final : public WizardPage {
    Q_OBJECT

public:
    CareerPage(PageHost& host, QWidget* parent);

    bool leave() override;

private:
    QComboBox* m_track;
    QSlider* m_level;
};

}  // namespace tryster::app
