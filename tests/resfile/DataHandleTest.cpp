#include "resfile/DataHandle.h"
#include "resfile/ResTypes.h"

#include <gtest/gtest.h>

using namespace tryster::resfile;

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

TEST(DataHandle, ExhaustedMemoryIsReported) {
    DataHandle h = NewDataHandle(static_cast<std::size_t>(-1) / 2);
    EXPECT_FALSE(h);
    EXPECT_EQ(LastHandleError(), kNoMemory);
    DataHandle small = NewDataHandle(1);
    EXPECT_EQ(SetDataHandleSize(small, static_cast<std::size_t>(-1) / 2), kNoMemory);
    EXPECT_EQ(GetDataHandleSize(small), 1u);
    EXPECT_EQ(DisposeDataHandle(small), kNoError);
}

TEST(ResTypes, FourLettersOrEightHexDigitsNameAType) {
    EXPECT_EQ(parseType("OBJD"), makeType("OBJD"));
    EXPECT_EQ(parseType("0x4F424A44"), makeType("OBJD"));
    EXPECT_EQ(parseType("0Xabcdef01"), 0xABCDEF01u);
    for (std::string_view bad : {"OBJ", "0x4F424A4G", "0x4F424A4", "1x4F424A44"}) EXPECT_FALSE(parseType(bad)) << bad;
    EXPECT_EQ(typeText(makeType("A\x01\\z")), "A\\x01\\x5Cz");
    EXPECT_EQ(typeHex(makeType("OBJD")), "0x4F424A44");
}

TEST(DataHandle, LocksNestAndHoldTheSizeUntilTheLastUnlock) {
    DataHandle h = NewDataHandle(4);
    std::uint8_t* data = LockDataHandle(h);
    ASSERT_NE(data, nullptr);
    data[0] = 'x';
    EXPECT_EQ(LockDataHandle(h), data);
    UnlockDataHandle(h);
    EXPECT_TRUE(IsDataHandleLocked(h)) << "one lock is still held";
    EXPECT_EQ(SetDataHandleSize(h, 8), kHandleLocked);
    EXPECT_EQ(LastHandleError(), kHandleLocked);
    EXPECT_EQ(GetDataHandleSize(h), 4u);
    UnlockDataHandle(h);
    EXPECT_FALSE(IsDataHandleLocked(h));
    // An unlock too many leaves no debt that would hide the next lock.
    UnlockDataHandle(h);
    (void)LockDataHandle(h);  // only the count matters here
    EXPECT_TRUE(IsDataHandleLocked(h));
    UnlockDataHandle(h);
    ASSERT_EQ(SetDataHandleSize(h, 8), kNoError);
    const std::uint8_t* grown = LockDataHandle(h);
    EXPECT_EQ(grown[0], 'x');
    EXPECT_EQ(grown[7], 0);
    UnlockDataHandle(h);
    EXPECT_FALSE(IsDataHandleLocked(DataHandle{}));
    EXPECT_EQ(DisposeDataHandle(h), kNoError);
}
