// The preview's timing: the one question the window asks its frame
// pacing, across the states that stop frames and those that only change
// their period, and the clock the animations follow.

#include "PreviewHarness.h"

#include "preview/FramePacing.h"

#include <limits>

namespace tryster::test {
namespace {

using preview::FramePacing;

TEST(FramePacing, AFrameComesOnlyWhileNothingStopsIt) {
    FramePacing pacing;
    EXPECT_EQ(pacing.nextFrameDelayMs(0), std::nullopt) << "not on screen yet";
    pacing.setOnScreen(true);
    EXPECT_EQ(pacing.nextFrameDelayMs(0), FramePacing::kInactivePeriodMs);
    pacing.setApplicationActive(true);
    EXPECT_EQ(pacing.nextFrameDelayMs(0), FramePacing::kActivePeriodMs);

    pacing.hold();
    pacing.hold();
    pacing.release();
    EXPECT_EQ(pacing.nextFrameDelayMs(0), std::nullopt) << "holds nest";
    pacing.wantFrame();
    pacing.release();
    EXPECT_EQ(pacing.nextFrameDelayMs(0), 0) << "a frame wanted while held comes at once after";
    {
        const FramePacing::Frame frame(pacing);
        EXPECT_EQ(pacing.nextFrameDelayMs(0), std::nullopt) << "never from inside a frame";
    }
    EXPECT_EQ(pacing.nextFrameDelayMs(0), FramePacing::kActivePeriodMs) << "the frame took the wish";

    pacing.setGameMissing();
    EXPECT_EQ(pacing.nextFrameDelayMs(0), std::nullopt);
    FramePacing quitting;
    quitting.setOnScreen(true);
    quitting.quit();
    EXPECT_EQ(quitting.nextFrameDelayMs(0), std::nullopt);
}

// Ticks every 10 ms (and a little more, as a frame takes time) draw at
// the display's rate: one frame in each refresh interval, none twice.
TEST(FramePacing, FramesDrawAtMostOncePerDisplayRefresh) {
    FramePacing pacing;
    pacing.setDisplayRefreshHz(60);
    int drawn = 0;
    std::uint32_t lastDrawnAt = 0;
    for (std::uint32_t now = 1'000'000; now < 1'001'000; now += 11) {
        if (!pacing.drawDue(now)) continue;
        if (drawn > 0) {
            EXPECT_GE(now - lastDrawnAt, 11u) << "never twice in one interval";
            EXPECT_LE(now - lastDrawnAt, 22u) << "never an interval left out";
        }
        pacing.drew(now);
        lastDrawnAt = now;
        ++drawn;
    }
    EXPECT_GE(drawn, 59);
    EXPECT_LE(drawn, 61);

    EXPECT_FALSE(pacing.drawDue(lastDrawnAt));
    pacing.wantFrame();
    EXPECT_TRUE(pacing.drawDue(lastDrawnAt)) << "a wanted frame draws at once";
    pacing.drew(lastDrawnAt);
    EXPECT_FALSE(pacing.drawDue(lastDrawnAt)) << "and only once";

    pacing.setDisplayRefreshHz(0);
    EXPECT_TRUE(pacing.drawDue(lastDrawnAt)) << "a display of unknown rate gets every frame";
    FramePacing fresh;
    fresh.setDisplayRefreshHz(60);
    EXPECT_TRUE(fresh.drawDue(0)) << "the first frame draws";
}

// On a 60 Hz display the active window wakes once per refresh, at the
// start of each interval, and draws at every wake-up; the ticks between
// wake-ups are run late at their own times, so the clock still steps at
// most 10 ms at a time, a hundred times a second.
TEST(FramePacing, TheWindowWakesOncePerRefreshAndRunsTheTicksItSleptThrough) {
    FramePacing pacing;
    pacing.setOnScreen(true);
    pacing.setApplicationActive(true);
    pacing.setDisplayRefreshHz(60);
    std::uint32_t now = 0xFFFF'FF00u;  // across the tick count's wrap
    std::uint32_t lastTick = now - 5;
    int wakes = 0, ticks = 0;
    for (std::uint32_t start = now; now - start < 1000;) {
        const std::optional<int> delay = pacing.nextFrameDelayMs(now);
        ASSERT_TRUE(delay);
        ASSERT_GE(*delay, 1);
        ASSERT_LE(*delay, 17);
        now += static_cast<std::uint32_t>(*delay);
        ++wakes;
        while (const std::optional<std::uint32_t> missed = FramePacing::missedTick(lastTick, now)) {
            ASSERT_EQ(*missed - lastTick, 10u);
            lastTick = *missed;
            ++ticks;
        }
        ASSERT_GT(now - lastTick, 0u);
        ASSERT_LE(now - lastTick, 10u);
        lastTick = now;
        ++ticks;
        ASSERT_TRUE(pacing.drawDue(now)) << "each wake-up starts a refresh interval";
        pacing.drew(now);
    }
    EXPECT_GE(wakes, 59);
    EXPECT_LE(wakes, 61);
    EXPECT_GE(ticks, 99);

    EXPECT_EQ(FramePacing::missedTick(100, 110), std::nullopt) << "one period: nothing slept through";
    EXPECT_EQ(FramePacing::missedTick(100, 150), 110u) << "four ticks behind";
    EXPECT_EQ(FramePacing::missedTick(100, 151), std::nullopt) << "a stall: one tick, not a burst";
    pacing.setDisplayRefreshHz(144);
    EXPECT_EQ(pacing.nextFrameDelayMs(now), FramePacing::kActivePeriodMs) << "a display faster than the ticks";
    pacing.setDisplayRefreshHz(15);
    EXPECT_EQ(pacing.nextFrameDelayMs(now), FramePacing::kActivePeriodMs) << "too slow to run its ticks late";
    pacing.setDisplayRefreshHz(60);
    pacing.setApplicationActive(false);
    EXPECT_EQ(pacing.nextFrameDelayMs(now), FramePacing::kInactivePeriodMs);
    pacing.setApplicationActive(true);
    for (int i = 0; i < 50; ++i) pacing.frameTook(12);
    EXPECT_EQ(pacing.nextFrameDelayMs(now), 30) << "slow frames keep their spacing";
}

// Frames that cost more than half the period leave the window idle at
// least as long as they take, in whole periods; cheap frames keep the
// period, and the spacing follows the frames' cost back down.
TEST(FramePacing, SlowFramesLeaveTheWindowAsLongIdle) {
    FramePacing pacing;
    pacing.setOnScreen(true);
    pacing.setApplicationActive(true);
    for (int i = 0; i < 50; ++i) pacing.frameTook(4.9);
    EXPECT_EQ(pacing.nextFrameDelayMs(0), FramePacing::kActivePeriodMs) << "frames under half the period";
    for (int i = 0; i < 50; ++i) pacing.frameTook(12);
    EXPECT_EQ(pacing.nextFrameDelayMs(0), 30) << "twice 12 ms, in whole periods";
    pacing.setApplicationActive(false);
    EXPECT_EQ(pacing.nextFrameDelayMs(0), FramePacing::kInactivePeriodMs) << "the longer period holds";
    pacing.setApplicationActive(true);
    pacing.wantFrame();
    EXPECT_EQ(pacing.nextFrameDelayMs(0), 0) << "a wanted frame still comes at once";
    { const FramePacing::Frame frame(pacing); }

    // A frame that ran long (a message box inside it) counts for a bounded time.
    pacing.frameTook(60'000);
    const int afterStall = *pacing.nextFrameDelayMs(0);
    EXPECT_GT(afterStall, 30);
    EXPECT_LE(afterStall, 2 * FramePacing::kMaxFrameMs);
    pacing.frameTook(-1);
    pacing.frameTook(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(pacing.nextFrameDelayMs(0), afterStall) << "no reading is no cost";
    int frames = 0;
    while (pacing.nextFrameDelayMs(0) != FramePacing::kActivePeriodMs && frames < 100) {
        pacing.frameTook(0.5);
        ++frames;
    }
    EXPECT_LT(frames, 30) << "back to the period once the frames are cheap again";
}

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
