#include "ResFileTestSupport.h"
#include "resfile/IFFResFile2.h"
#include "resfile/ReconObject.h"
#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tryster;
using namespace tryster::resfile;
using test::Bytes;

namespace {

constexpr ResType kTypeTest = makeType("TEST");

// One field of each kind, with a string that needs a pad byte.
struct Sample {
    std::uint8_t small = 0;
    bool flag = false;
    std::int16_t shorts[2] = {};
    std::int32_t big = 0;
    std::string label;
    std::uint32_t tail = 0;

    void Reconstitute(ReconStream& s, std::int32_t) {
        s.field(&small, 1);
        s.field(&flag, 1);
        s.field(shorts, 2);
        s.field(&big, 1);
        s.field(label);
        s.field(&tail, 1);
    }
    bool operator==(const Sample&) const = default;
};

Sample filled() {
    Sample s;
    s.small = 7;
    s.flag = true;
    s.shorts[0] = -2;
    s.shorts[1] = 0x1234;
    s.big = -123456789;
    s.label = "abc";
    s.tail = 0xCAFEBABE;
    return s;
}

// Writes more in the write pass than it measured.
struct Greedy : ReconObject {
    void Reconstitute(ReconStream& s, std::int32_t) override {
        std::int32_t v = 1;
        s.field(&v, 1);
        if (s.mode() == ReconStream::Mode::Write) s.field(&v, 1);
    }
};

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("r.iff");
        IFFResFile2 maker;
        ASSERT_EQ(maker.Create(path), kNoError);
        ASSERT_EQ(file.Open(path), kNoError);
    }
    test::TempDir dir;
    std::string path;
    IFFResFile2 file;
};

}  // namespace

TEST(ReconStreamLayout, FramePaddingAndByteOrder) {
    Sample s = filled();
    SimpleReconObject<Sample> record(&s, kTypeTest);
    DataHandle h = writeRecord(record, 3);
    ASSERT_TRUE(h);
    Bytes expected = {0, 0, 0, 0, 3, 0, 0, 0, 'T', 'S', 'E', 'T',   // frame: swap 0, version 3, type LE
                      7, 1,                                          // byte, bool
                      0xFE, 0xFF, 0x34, 0x12,                        // two 16-bit
                      0xEB, 0x32, 0xA4, 0xF8,                        // -123456789
                      'a', 'b', 'c', 0,                              // string ends at an even position
                      0xBE, 0xBA, 0xFE, 0xCA};
    EXPECT_EQ(test::dataOf(h), expected);
    EXPECT_EQ(DisposeDataHandle(h), kNoError);

    s.label = "ab";  // "ab\0" ends odd: one pad byte
    h = writeRecord(record, 0);
    Bytes data = test::dataOf(h);
    EXPECT_EQ(data.size(), 12u + 2 + 4 + 4 + 4 + 4);
    EXPECT_EQ(data[12 + 10 + 3], 0);
    (void)DisposeDataHandle(h);
}

TEST_F(RecordTest, ShortRecordsAreRefused) {
    Bytes frameOnly = {0, 0, 0, 0, 1, 0, 0, 0, 'T', 'S', 'E', 'T', 7};
    ASSERT_EQ(file.AddResource(test::handleWith(frameOnly), kTypeTest, 1, "", true), kNoError);
    ASSERT_EQ(file.AddResource(test::handleWith(Bytes{0, 0, 0}), kTypeTest, 2, "", true), kNoError);
    Sample read;
    SimpleReconObject<Sample> in(&read, kTypeTest);
    std::int32_t version = 0;
    std::size_t live = liveHandleCount();
    EXPECT_EQ(ReadReconObject(in, file, 1, version), kBadChunk);
    EXPECT_EQ(read.small, 7) << "fields before the end are read";
    EXPECT_EQ(ReadReconObject(in, file, 2, version), kBadChunk);
    EXPECT_EQ(ReadReconObject(in, file, 3, version), kResNotFound);
    EXPECT_EQ(liveHandleCount(), live - 2) << "the records read were released and disposed";
}

TEST_F(RecordTest, FailurePathsLeaveNoHandle) {
    std::size_t live = liveHandleCount();
    Greedy greedy;
    EXPECT_EQ(WriteReconObject(greedy, 0, file, 1), kBadChunk);
    EXPECT_EQ(liveHandleCount(), live);
    EXPECT_EQ(file.CountTypes(), 0);

    // Failing write: the resource is removed again.
    Sample s = filled();
    SimpleReconObject<Sample> record(&s, kTypeTest);
    ASSERT_EQ(file.Close(), kNoError);
    test::FaultyFileSystem faulty;
    faulty.failFrom = 1;
    {
        test::ScopedFileSystem scoped(faulty);
        ASSERT_EQ(file.Open(path), kNoError);
        EXPECT_EQ(WriteReconObject(record, 0, file, 1), kShortWrite);
        EXPECT_EQ(liveHandleCount(), live);
        EXPECT_EQ(file.CountResources(kTypeTest), 0);
        faulty.failFrom = 0;
        EXPECT_EQ(file.Close(), kNoError);
    }

    // Read-only file: the add is refused.
    IFFResFile2 readOnly;
    readOnly.setOpenReadOnly(true);
    ASSERT_EQ(readOnly.Open(path), kNoError);
    EXPECT_EQ(WriteReconObject(record, 0, readOnly, 1), kNotWritable);
    EXPECT_EQ(liveHandleCount(), live);
}
