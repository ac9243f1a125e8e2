#include "platform/Clock.h"
#include "preview/IdleDirector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tryster::preview {
namespace {

// A generator that returns the given values in turn.
std::vector<int> script;
std::size_t scriptAt = 0;
int scripted() { return script.at(scriptAt++); }
void play(std::vector<int> values) {
    script = std::move(values);
    scriptAt = 0;
}

struct Choice {
    IdlePosture posture;
    int roll;
    const char* name;
    IdlePosture after;
};

TEST(IdleDirector, EachRollChoosesItsIdleAndOnlyTransitionsChangeThePosture) {
    using enum IdlePosture;
    const Choice choices[] = {
        {ArmsDown, 0, "a2o-idle1", ArmsDown},
        {ArmsDown, 27, "a2o-idle8", ArmsDown},
        {ArmsDown, 8, "a2o-idle-armsdown-fidget", ArmsDown},
        {ArmsDown, 9, "a2o-idle-armsdown-lookoff", ArmsDown},
        {ArmsDown, 30, "a2o-idle-transition-armsdown-handships", HandsOnHips},
        {ArmsDown, 11, "a2o-idle-armsdown-breathe", ArmsDown},
        {ArmsDown, 19, "a2o-idle-armsdown-breathe", ArmsDown},
        {HandsOnHips, 0, "a2o-idle-handships-breathe", HandsOnHips},
        {HandsOnHips, 1, "a2o-idle-handships-shiftside", HandsOnHips},
        {HandsOnHips, 2, "a2o-idle-handships-lookoff", HandsOnHips},
        {HandsOnHips, 11, "a2o-idle-transition-handships-armscrossed", ArmsCrossed},
        {HandsOnHips, 7, "a2o-idle-handships-breathe", HandsOnHips},
        {ArmsCrossed, 4, "a2o-idle-armscrossed-breathe", ArmsCrossed},
        {ArmsCrossed, 1, "a2o-idle-armscrossed-scratchchin", ArmsCrossed},
        {ArmsCrossed, 2, "a2o-idle-armscrossed-lookoff", ArmsCrossed},
        {ArmsCrossed, 3, "a2o-idle-transition-armscrossed-armsdown", ArmsDown},
    };
    for (const Choice& c : choices) {
        IdleDirector director;
        director.setPosture(c.posture);
        play({c.roll});
        EXPECT_EQ(director.nextAnimation(scripted), c.name) << "roll " << c.roll;
        EXPECT_EQ(director.posture(), c.after) << c.name;
    }
}

TEST(IdleDirector, WithTheRuntimeGeneratorTransitionsComeOneInTwentyThenOneInEight) {
    platform::seedRandom(1);
    int moves[3] = {0, 0, 0}, runs[3] = {0, 0, 0};
    IdleDirector director;
    for (int i = 0; i < 40000; ++i) {
        const auto before = static_cast<int>(director.posture());
        ++runs[before];
        director.nextAnimation(platform::nextRandom);
        moves[before] += static_cast<int>(director.posture()) != before;
    }
    EXPECT_NEAR(static_cast<double>(moves[0]) / runs[0], 1.0 / 20, 0.01);
    EXPECT_NEAR(static_cast<double>(moves[1]) / runs[1], 1.0 / 8, 0.02);
    EXPECT_NEAR(static_cast<double>(moves[2]) / runs[2], 1.0 / 8, 0.02);
}

TEST(VoiceLine, OneRunInTenSpeaks) {
    platform::seedRandom(12345);
    int spoken = 0;
    for (int i = 0; i < 20000; ++i) spoken += !IdleDirector::voiceLine(false, platform::nextRandom).empty();
    EXPECT_NEAR(spoken, 2000, 150);
}

}  // namespace
}  // namespace tryster::preview
