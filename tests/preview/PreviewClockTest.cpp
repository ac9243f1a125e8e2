#include "PreviewHarness.h"

namespace tryster::test {
namespace {

using preview::PreviewClock;

class Clock : public ::testing::Test {
protected:
    Clock() { platform::installClockSource(&ticks); }
    ~Clock() override { platform::installClockSource(nullptr); }
    ManualClock ticks;
    PreviewClock clock;
};

TEST_F(Clock, FollowsRealTimeAfterAFirstStepOfAtMostTwoSeconds) {
    clock.step();
    EXPECT_EQ(clock.nowMs(), 2000u) << "the tick count is far past the first step's limit";
    ticks.ticks += 15;
    clock.step();
    EXPECT_EQ(clock.nowMs(), 2015u);
    EXPECT_EQ(clock.lastStepMs(), 15u);
    EXPECT_EQ(clock.lastRealTimeMs(), ticks.ticks);
    EXPECT_EQ(clock.frameCount(), 2u);
}

TEST_F(Clock, AfterAStallItAdvancesByTheMaximumStepAndFollowsFromThere) {
    clock.step();
    clock.setMaxStepMs(PreviewClock::kFrameMaxStepMs);
    const std::uint32_t before = clock.nowMs();
    ticks.ticks += 5000;
    clock.step();
    EXPECT_EQ(clock.nowMs(), before + 1000);
    EXPECT_EQ(clock.lastStepMs(), 1000u);
    ticks.ticks += 10;
    clock.step();
    EXPECT_EQ(clock.nowMs(), before + 1010);
}

TEST_F(Clock, KeepsGoingWhenTheTickCountWraps) {
    ticks.ticks = 0xFFFFFFF0u;
    clock.step();
    const std::uint32_t before = clock.nowMs();
    ticks.ticks += 0x20;  // wraps to 0x10
    clock.step();
    EXPECT_EQ(clock.nowMs(), before + 0x20);
}

// Five seconds without a frame (a file dialog, a search) move the
// animations on by one.
TEST_F(PreviewTest, AFiveSecondStallCostsTheAnimationOneSecond) {
    preview::Preview& p = start();
    run(100);
    const std::uint32_t before = previewClock.nowMs();
    clock.ticks += 5000;
    EXPECT_FALSE(p.frame());
    EXPECT_EQ(previewClock.nowMs(), before + 1000);
}

}  // namespace
}  // namespace tryster::test
