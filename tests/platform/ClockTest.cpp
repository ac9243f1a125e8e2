#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

TEST(RuntimeRandom, MatchesTheClassicRuntimeSequence) {
    RuntimeRandom r(1);
    EXPECT_EQ(r.next(), 41);
    EXPECT_EQ(r.next(), 18467);
    EXPECT_EQ(r.next(), 6334);
    r.seed(0);
    EXPECT_EQ(r.next(), 38);
    EXPECT_EQ(r.next(), 7719);
}

TEST(RuntimeRandom, ResultsStayWithinFifteenBits) {
    RuntimeRandom r(0xDEADBEEF);
    for (int i = 0; i < 10000; ++i) {
        int v = r.next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, RuntimeRandom::kMax);
    }
}

TEST(RuntimeRandom, ProcessGeneratorFollowsItsSeed) {
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
}

class FixedClock : public ClockSource {
public:
    std::uint32_t tickCountMs() override { return ticks; }
    std::int64_t calendarSeconds() override { return seconds; }
    std::uint32_t ticks = 0;
    std::int64_t seconds = 0;
};

TEST(Clock, TestsCanReplaceTheClocks) {
    FixedClock fixed;
    fixed.ticks = 123;
    fixed.seconds = 456;
    installClockSource(&fixed);
    EXPECT_EQ(tickCountMs(), 123u);
    EXPECT_EQ(calendarSeconds(), 456);
    installClockSource(nullptr);
    EXPECT_GT(calendarSeconds(), 1600000000);
}

TEST(Clock, TickCountAdvances) {
    std::uint32_t a = tickCountMs();
    std::uint32_t b = a;
    for (unsigned spin = 0; b == a && spin < 100000000u; ++spin) b = tickCountMs();
    EXPECT_NE(a, b);
}

}  // namespace
}  // namespace tryster::platform
