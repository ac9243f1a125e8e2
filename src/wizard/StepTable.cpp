#include "wizard/StepTable.h"

#include <array>
#include <cassert>

namespace tryster::wizard {
namespace {

constexpr std::array kSteps = {
    Step{kWelcomeStep, std::nullopt, kWelcomeStep, kAppearanceStep, false, false},
    Step{kAppearanceStep, "Beauty is Skin Deep", kWelcomeStep, kNameStep, true, true},
    Step{kNameStep, "What's in a name?", kAppearanceStep, kPersonalityStep, true, true},
    Step{kPersonalityStep, "What's your sign?", kNameStep, kInterestsStep, true, true},
    Step{kInterestsStep, "What floats your boat?", kPersonalityStep, kCareerStep, true, true},
    Step{kCareerStep, "Dating is work!", kInterestsStep, kExportStep, true, true},
    Step{kExportStep, "Ready to Export?", kCareerStep, kExportStep, true, false},
    Step{kNeighbourhoodStep, "Which Neighborhood?", kWelcomeStep, kDatesStep, true, true},
    // The date search sets its own titles.
    Step{kDatesStep, std::nullopt, kNeighbourhoodStep, kConfirmStep, true, true},
    Step{kConfirmStep, "Replace the Plom", kDatesStep, kWelcomeStep, true, true},
    // Cancel and Install lie over Back and Next.
    Step{kInstallStep, "Install a shared date", kWelcomeStep, kWelcomeStep, false, false},
    // Undo lies over Next.
    Step{kHistoryStep, "History", kWelcomeStep, kHistoryStep, true, false},
};

}  // namespace

std::span<const Step> steps() {
    return kSteps;
}

const Step& stepOf(int step) {
    for (const Step& s : kSteps)
        if (s.step == step) return s;
    assert(false && "a step outside the table");
    return kSteps.front();
}

}  // namespace tryster::wizard
