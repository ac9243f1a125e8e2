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
    explicit PersonalityPage(const PageContext& context);

    void initialise() override;
    // Points and sign from the sliders as they stand.
    void enter() override;
    bool leave() override;

    wizard::TraitPositions positions() const;

private:
    void showPointsAndSign();
    void nextSign();

    std::array<QSlider*, kTraitCount> m_sliders{};  // by trait
    QLabel* m_pointsLeft;
    QLabel* m_signName;
    QPushButton* m_sign;
};

}  // namespace tryster::app
