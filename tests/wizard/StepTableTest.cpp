#include "wizard/StepTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace tryster::wizard {
namespace {

std::vector<int> walk(Navigator& n, void (Navigator::*move)(), int count) {
    std::vector<int> seen;
    for (int i = 0; i < count; ++i) {
        (n.*move)();
        seen.push_back(n.step());
    }
    return seen;
}

TEST(Steps, TheCreatePathRunsFromWelcomeToExportAndBack) {
    Navigator n;
    EXPECT_EQ(walk(n, &Navigator::next, 6), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(walk(n, &Navigator::back, 6), (std::vector<int>{5, 4, 3, 2, 1, 0}));
}

TEST(Steps, TheReplaceAndInstallPathsComeHome) {
    Navigator n;
    n.replace();
    EXPECT_EQ(walk(n, &Navigator::next, 3), (std::vector<int>{kDatesStep, kConfirmStep, kWelcomeStep}));
    n.replace();
    n.next();
    EXPECT_EQ(walk(n, &Navigator::back, 2), (std::vector<int>{kNeighbourhoodStep, kWelcomeStep}))
        << "back from the dates asks for the neighbourhood again; back from there goes home";
    for (void (Navigator::*leave)() : {&Navigator::next, &Navigator::back}) {
        n.install();
        EXPECT_EQ(n.step(), kInstallStep);
        (n.*leave)();
        EXPECT_EQ(n.step(), kWelcomeStep) << "installed or not, the install path comes home";
    }
}

TEST(Steps, TitlesAndMovesFollowTheStep) {
    EXPECT_FALSE(stepOf(kWelcomeStep).backEnabled || stepOf(kWelcomeStep).nextEnabled);
    EXPECT_FALSE(stepOf(kExportStep).nextEnabled) << "Save is the last move";
    EXPECT_FALSE(stepOf(kInstallStep).backEnabled || stepOf(kInstallStep).nextEnabled)
        << "Cancel and Install lie over them";
    EXPECT_TRUE(stepOf(kHistoryStep).backEnabled && !stepOf(kHistoryStep).nextEnabled) << "Undo lies over Next";
    for (const Step& s : steps()) {
        if (s.step != kWelcomeStep && s.step != kExportStep && s.step != kInstallStep && s.step != kHistoryStep) {
            EXPECT_TRUE(s.backEnabled && s.nextEnabled) << s.step;
        }
    }
    EXPECT_EQ(*stepOf(kAppearanceStep).title, "Beauty is Skin Deep");
    EXPECT_EQ(*stepOf(kNeighbourhoodStep).title, "Which Neighborhood?");
    EXPECT_EQ(*stepOf(kConfirmStep).title, "Replace the Plom");
    EXPECT_FALSE(stepOf(kWelcomeStep).title);
    EXPECT_FALSE(stepOf(kDatesStep).title) << "the search sets its own";
    EXPECT_FALSE(appearanceNextEnabled(7)) << "no gender chosen yet";
    EXPECT_TRUE(appearanceNextEnabled(kFemale) && appearanceNextEnabled(kMale));
}

}  // namespace
}  // namespace tryster::wizard
