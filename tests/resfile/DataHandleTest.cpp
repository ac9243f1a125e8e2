#include "resfile/DataHandle.h"

#include <gtest/gtest.h>

using namespace tryster::resfile;

TEST(DataHandle, NewBlocksAreZeroAndGrowthIsZeroFilled) {
    DataHandle h = NewDataHandle(8);
    ASSERT_TRUE(h);
    EXPECT_EQ(GetDataHandleSize(h), 8u);
    for (auto b : handleBytes(h)) EXPECT_EQ(b, 0);
    handleBytes(h)[0] = 0xAB;
    ASSERT_EQ(SetDataHandleSize(h, 100), kNoError);
    EXPECT_EQ(handleBytes(h)[0], 0xAB);
    for (std::size_t i = 1; i < 100; ++i) EXPECT_EQ(handleBytes(h)[i], 0) << i;
    ASSERT_EQ(SetDataHandleSize(h, 1), kNoError);
    ASSERT_EQ(SetDataHandleSize(h, 2), kNoError);
    EXPECT_EQ(handleBytes(h)[1], 0) << "bytes cut off and grown again come back zero";
    EXPECT_EQ(DisposeDataHandle(h), kNoError);
}

TEST(DataHandle, DisposedOrUnknownHandlesAreRefusedNeverFreedTwice) {
    DataHandle h = NewDataHandle(4);
    std::size_t live = liveHandleCount();
    ASSERT_EQ(DisposeDataHandle(h), kNoError);
    EXPECT_EQ(liveHandleCount(), live - 1);
    EXPECT_EQ(DisposeDataHandle(h), kBadHandle);
    EXPECT_EQ(LastHandleError(), kBadHandle);
    EXPECT_EQ(DisposeDataHandle(DataHandle{}), kBadHandle);
    EXPECT_EQ(LockDataHandle(h), nullptr);
    EXPECT_EQ(GetDataHandleSize(h), 0u);
    EXPECT_EQ(SetDataHandleSize(h, 10), kBadHandle);
    // A new block never takes the number of a disposed one.
    DataHandle next = NewDataHandle(4);
    EXPECT_NE(next, h);
    EXPECT_EQ(DisposeDataHandle(h), kBadHandle);
    EXPECT_TRUE(isLiveHandle(next));
    EXPECT_EQ(DisposeDataHandle(next), kNoError);
}

TEST(DataHandle, LockedHandlesCannotBeResized) {
    DataHandle h = NewDataHandle(4);
    std::uint8_t* p = LockDataHandle(h);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(LastHandleError(), kNoError);
    EXPECT_TRUE(IsDataHandleLocked(h));
    EXPECT_EQ(SetDataHandleSize(h, 8), kHandleLocked);
    EXPECT_EQ(LastHandleError(), kHandleLocked);
    EXPECT_EQ(GetDataHandleSize(h), 4u);
    UnlockDataHandle(h);
    EXPECT_FALSE(IsDataHandleLocked(h));
    EXPECT_EQ(SetDataHandleSize(h, 8), kNoError);
    EXPECT_EQ(DisposeDataHandle(h), kNoError);
}

TEST(DataHandle, ExhaustedMemoryIsReported) {
    DataHandle h = NewDataHandle(static_cast<std::size_t>(-1) / 2);
    EXPECT_FALSE(h);
    EXPECT_EQ(LastHandleError(), kNoMemory);
    DataHandle small = NewDataHandle(1);
    EXPECT_EQ(SetDataHandleSize(small, static_cast<std::size_t>(-1) / 2), kNoMemory);
    EXPECT_EQ(GetDataHandleSize(small), 1u);
    EXPECT_EQ(DisposeDataHandle(small), kNoError);
}
