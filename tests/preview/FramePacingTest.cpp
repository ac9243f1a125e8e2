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

}  // namespace
}  // namespace tryster::test
