#include "wizard/Announcements.h"

#include "wizard/StepTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tryster::wizard {
namespace {

// A screen reader announces a page by its name as the focus comes in: each
// page needs one, and one of its own.
TEST(Announcements, EveryPageHasANameOfItsOwnThatCreatePagesShareWithTheirTitles) {
    std::set<std::string_view> names;
    for (const Step& step : steps()) {
        EXPECT_FALSE(pageName(step.step).empty()) << step.step;
        EXPECT_TRUE(names.insert(pageName(step.step)).second) << pageName(step.step);
        if (step.step >= kAppearanceStep && step.step <= kExportStep) {
            EXPECT_EQ(pageName(step.step), *step.title);
        }
    }
    EXPECT_EQ(pageName(kWelcomeStep), "Welcome to The Ploms Tryster");
}

TEST(Announcements, PointsLeftAreWordsForEveryCount) {
    const struct {
        int points;
        const char* text;
    } rows[] = {{25, "25 points left"}, {2, "2 points left"}, {1, "1 point left"},
                {0, "No points left"}, {-1, "1 point too many"}, {-7, "7 points too many"}};
    for (const auto& row : rows) EXPECT_EQ(pointsLeftText(row.points), row.text) << row.points;
}

TEST(Announcements, ThePersonalityPageTellsOnlyWhatChanged) {
    EXPECT_EQ(personalityAnnouncement(3, kLeo, 3, kLeo), "") << "nothing changed, nothing told";
    EXPECT_EQ(personalityAnnouncement(3, kLeo, 2, kLeo), "2 points left");
    EXPECT_EQ(personalityAnnouncement(3, kLeo, 3, kPisces), "sign Pisces");
    EXPECT_EQ(personalityAnnouncement(3, kLeo, 0, kAries), "No points left, sign Aries");
    EXPECT_EQ(signButtonName(kSagitarius), "Sign: Sagitarius");
}

TEST(Announcements, AStepTellsHowFarTheOperationCameUntilItIsDone) {
    EXPECT_EQ(progressAnnouncement("Building Skin List...", 2, 9), "Building Skin List..., step 2 of 9");
    EXPECT_EQ(progressAnnouncement("Finished!", 9, 9), "Finished!");
    EXPECT_EQ(progressAnnouncement("Finished!", 10, 9), "Finished!") << "a bar at its end says no step";
}

// A verb's description names what it acts on, or says "this" while it has
// no name; the name keeps its bytes (game text or UTF-8).
TEST(Announcements, VerbDescriptionsNameWhatTheyActOn) {
    EXPECT_EQ(saveBackDescription("Zo\xeb Quill"), "Save the new look back into Zo\xeb Quill's file in the game.");
    EXPECT_EQ(saveBackDescription(""), "Save the new look back into this Plom's file in the game.");
    EXPECT_EQ(shareDescription("Lena"),
              "Put Lena, its pictures and the skins it wears in one file to send to other players.");
    EXPECT_EQ(installDescription("Ros\xc3\xa1"), "Install Ros\xc3\xa1 and the skins it wears into the game.");
    EXPECT_EQ(undoDescription("Townie replaced: Rosa Marsh"),
              "Undo Townie replaced: Rosa Marsh: remove what it added and put back what it replaced.");
    EXPECT_EQ(forgetDescription(""),
              "Forget the change selected: keep the game as it is and delete the backups only it needed.");
}

}  // namespace
}  // namespace tryster::wizard
