#include "wizard/ControlIds.h"
#include "wizard/StepTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tryster::wizard {
namespace {

using namespace controls;

bool contains(std::span<const int> ids, int id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Walks the moves a user makes and the steps that leave by themselves, as
// the window does.
int settle(Navigator& n, bool neighbourhoodChosen = true) {
    for (;;) {
        switch (viewOf(n.step()).entry) {
            case StepEntry::ReturnToWelcome:
            case StepEntry::ConfirmReplace:
                n.returnToWelcome();
                continue;
            case StepEntry::ChooseNeighbourhood:
                if (!neighbourhoodChosen) {
                    n.returnToWelcome();
                    continue;
                }
                return n.step();
            default:
                return n.step();
        }
    }
}

TEST(Steps, TheCreatePathRunsFromWelcomeToExportAndBack) {
    Navigator n;
    n.create();
    std::vector<int> seen{settle(n)};
    for (int i = 0; i < 5; ++i) {
        n.next();
        seen.push_back(settle(n));
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    for (int i = 0; i < 6; ++i) n.back();
    EXPECT_EQ(settle(n), kWelcomeStep);
}

TEST(Steps, TheReplacePathComesHomeEveryWay) {
    Navigator n;
    n.replace();
    EXPECT_EQ(settle(n, false), kWelcomeStep) << "a cancelled neighbourhood";
    n.replace();
    EXPECT_EQ(settle(n), kNeighbourhoodStep);
    n.back();  // 9 returns at once
    EXPECT_EQ(settle(n), kWelcomeStep);
    n.replace();
    n.next();
    EXPECT_EQ(settle(n), kDatesStep);
    n.back();  // asks for the neighbourhood again
    EXPECT_EQ(settle(n), kNeighbourhoodStep);
    n.next();
    n.next();  // the confirmation returns to 0 whatever the answer
    EXPECT_EQ(settle(n), kWelcomeStep);
}

TEST(Steps, BackAndNextFollowTheStep) {
    EXPECT_FALSE(viewOf(kWelcomeStep).backEnabled);
    EXPECT_FALSE(viewOf(kWelcomeStep).nextEnabled);
    EXPECT_TRUE(viewOf(kExportStep).backEnabled);
    EXPECT_FALSE(viewOf(kExportStep).nextEnabled) << "Save is the last move";
    for (int step : {1, 2, 3, 4, 5, 10, 11}) EXPECT_TRUE(viewOf(step).nextEnabled) << step;
    EXPECT_FALSE(appearanceNextEnabled(false, false));
    EXPECT_TRUE(appearanceNextEnabled(false, true));
}

TEST(Steps, TitlesAreSetOnlyWhereTheStepHasOne) {
    EXPECT_EQ(progressTitle(*viewOf(kAppearanceStep).title), "The Ploms Tryster: Beauty is Skin Deep");
    EXPECT_EQ(*viewOf(kCareerStep).title, "Dating is work!");
    EXPECT_EQ(*viewOf(kNeighbourhoodStep).title, "Which Neighborhood?");
    EXPECT_EQ(*viewOf(kConfirmStep).title, "Replace the Plom");
    for (int step : {kWelcomeStep, 7, 8, kReturnStep, kDatesStep}) EXPECT_FALSE(viewOf(step).title) << step;
}

TEST(Steps, EachPageShowsItsOwnControlsOnly) {
    // Every control a page of the create path shows is hidden on every
    // other step, and the pages share none.
    for (int step = kAppearanceStep; step <= kExportStep; ++step)
        for (int id : viewOf(step).shown) {
            EXPECT_TRUE(contains(allPageControls(), id)) << step << " " << id;
            for (int other = kAppearanceStep; other <= kExportStep; ++other)
                if (other != step) {
                    EXPECT_FALSE(contains(viewOf(other).shown, id)) << id;
                }
        }
    EXPECT_TRUE(contains(viewOf(kWelcomeStep).shown, IDC_CREATE));
    EXPECT_TRUE(contains(controlsHiddenOnEveryStep(), IDC_CREATE)) << "Create leaves with step 0";
    EXPECT_TRUE(contains(viewOf(kExportStep).shown, IDC_SAVE));
    EXPECT_FALSE(contains(allPageControls(), IDC_PROGRESS)) << "only the save command shows the bar";
    for (int step : {7, 8}) EXPECT_TRUE(viewOf(step).shown.empty());
}

}  // namespace
}  // namespace tryster::wizard
