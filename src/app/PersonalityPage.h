#pragma once
// Step 3, "What's your sign?": five trait sliders sharing 25 points, the
// points left, and the sign button that steps through the signs' presets.

#include "app/WizardPage.h"
#include "wizard/PageRules.h"

#include <array>

class QLabel;
class QPushButton;
class QSlider;

namespace tryster::app {

class PersonalityPage final : public WizardPage {
    Q_OBJECT

public:
    PersonalityPage(PageHost& host, QWidget* parent);

    // Points and sign from the sliders as they stand.
    int enter(int step) override;
    bool leave() override;

private:
    wizard::TraitPositions positions() const;
    // `announced`: a screen reader is told what changed since it was last
    // told (the page's own start tells it nothing).
    void showPointsAndSign(bool announced);
    void nextSign();

    std::array<QSlider*, kTraitCount> m_sliders{};  // by trait
    QLabel* m_pointsLeft;
    QPushButton* m_sign;
    int m_toldPoints = kPersonalityPoints;
    StarSign m_toldSign = kAries;
    bool m_settingPreset = false;  // the sign button moves all five sliders at once
};

}  // namespace tryster::app
