// The one question the window asks its frame pacing, across the states
// that stop frames and those that only change their period.

#include "preview/FramePacing.h"

#include <gtest/gtest.h>

namespace tryster::test {
namespace {

using preview::FramePacing;

TEST(FramePacing, AFrameComesOnlyWhileNothingStopsIt) {
    FramePacing pacing;
    EXPECT_EQ(pacing.nextFrameDelayMs(), std::nullopt) << "not on screen yet";
    pacing.setOnScreen(true);
    EXPECT_EQ(pacing.nextFrameDelayMs(), FramePacing::kInactivePeriodMs);
    pacing.setApplicationActive(true);
    EXPECT_EQ(pacing.nextFrameDelayMs(), FramePacing::kActivePeriodMs);

    pacing.hold();
    pacing.hold();
    pacing.release();
    EXPECT_EQ(pacing.nextFrameDelayMs(), std::nullopt) << "holds nest";
    pacing.wantFrame();
    pacing.release();
    EXPECT_EQ(pacing.nextFrameDelayMs(), 0) << "a frame wanted while held comes at once after";
    {
        const FramePacing::Frame frame(pacing);
        EXPECT_EQ(pacing.nextFrameDelayMs(), std::nullopt) << "never from inside a frame";
    }
    EXPECT_EQ(pacing.nextFrameDelayMs(), FramePacing::kActivePeriodMs) << "the frame took the wish";

    pacing.setGameMissing();
    EXPECT_EQ(pacing.nextFrameDelayMs(), std::nullopt);
    FramePacing quitting;
    quitting.setOnScreen(true);
    quitting.quit();
    EXPECT_EQ(quitting.nextFrameDelayMs(), std::nullopt);
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

}  // namespace
}  // namespace tryster::test
