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
    seedRandom(1);  // the process's own generator
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
}

}  // namespace
}  // namespace tryster::platform
