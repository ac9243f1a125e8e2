// Changing 2.x containers: where chunks go, what is freed, what Close writes.

#include "ResFileTestSupport.h"
#include "resfile/FileHeaders.h"
#include "resfile/IFFResFile2.h"
#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::resfile;
using test::Bytes, test::kText, test::kData;

namespace {

// A chunk header as found on disk.
struct Chunk {
    std::string type;
    std::uint32_t size = 0;
    std::int16_t id = 0;
    std::uint16_t flags = 0;
    std::string name;
};

class Write2Test : public ::testing::Test {
protected:
    void openWith(const Bytes& b) {
        path = test::writeBytes(dir, "f.iff", b);
        ASSERT_EQ(file.Open(path), kNoError);
    }
    Bytes disk() const { return test::readBytes(path); }
    // The 76-byte header stored at `offset`: type, size, id, flags, name.
    Chunk chunkAt(std::size_t offset) const {
        Bytes d = disk();
        Chunk c;
        c.type.assign(d.begin() + static_cast<long>(offset), d.begin() + static_cast<long>(offset) + 4);
        c.size = test::readBe32(d, offset + 4);
        c.id = static_cast<std::int16_t>(d[offset + 8] << 8 | d[offset + 9]);
        c.flags = static_cast<std::uint16_t>(d[offset + 10] << 8 | d[offset + 11]);
        c.name = reinterpret_cast<const char*>(d.data() + offset + 12);
        return c;
    }
    DataHandle add(std::int16_t id, std::size_t dataSize, std::uint8_t fill = 0x5A) {
        DataHandle h = test::handleWith(Bytes(dataSize, fill));
        EXPECT_EQ(file.AddResource(h, kText, id, "", true), kNoError);
        EXPECT_EQ(file.WriteResource(h), kNoError);
        return h;
    }
    test::TempDir dir;
    std::string path;
    IFFResFile2 file;
};

Bytes withLive(const Bytes& body = {}) {
    return test::cat({test::header2('5', 0), body, test::chunk2("LAST", 1, 0, "", test::bytes("end"))});
}

}  // namespace

TEST_F(Write2Test, NewSizeFreesTheOldChunkAndPlacesNextFit) {
    openWith(withLive(test::chunk2("TEXT", 1, 0, "", test::bytes("abcd"))));
    std::size_t end = disk().size();
    DataHandle h = file.GetResource(kText, 1, nullptr);
    ASSERT_EQ(SetDataHandleSize(h, 10), kNoError);
    ASSERT_EQ(file.WriteResource(h), kNoError);
    Chunk old = chunkAt(64);
    EXPECT_EQ(old.type, "XXXX");
    EXPECT_EQ(old.flags, 0x0004);
    EXPECT_EQ(old.size, 80u);
    EXPECT_EQ(chunkAt(end).type, "TEXT") << "an 80-byte free chunk cannot take 86 bytes; the chunk is appended";
    EXPECT_EQ(chunkAt(end).size, 86u);
}

// The map at close is found through the header and lists everything; a 2.0
// file comes back as 2.5.
TEST_F(Write2Test, CloseWritesAFreshMapAsVersion25) {
    Bytes b = test::cat({test::header2('0', 0x12345678), test::chunk2("TEXT", 1, 0, "a", test::bytes("one"))});
    openWith(b);
    EXPECT_EQ(file.formatVersion(), kVersion20);
    add(2, 5);
    ASSERT_EQ(file.Close(), kNoError);
    Bytes d = disk();
    EXPECT_EQ(std::string(d.begin(), d.begin() + 12), "IFF FILE 2.5");
    std::uint32_t mapAt = test::readBe32(d, 60);
    ASSERT_NE(mapAt, 0u);
    EXPECT_EQ(chunkAt(mapAt).type, "rsmp");
    EXPECT_EQ(chunkAt(mapAt).flags, 0x0010);
    // The body lists TEXT with both resources; the map does not list itself.
    Bytes expected = test::mapData(0, {{"TEXT", {{64, 1, 0, "a"}, {143, 2, 0x10, ""}}}});
    Bytes body(d.begin() + mapAt + 76, d.end());
    EXPECT_EQ(body, expected);
    ASSERT_EQ(file.Open(path), kNoError);
    EXPECT_EQ(file.formatVersion(), kVersion25);
    EXPECT_EQ(file.CountResources(kText), 2);
}

// The first change clears the header's map offset and frees the old map;
// a failure after that leaves a file that is walked.
TEST_F(Write2Test, FirstChangeRetiresTheMap) {
    Bytes b = test::cat({test::header2('5', 0), test::chunk2("TEXT", 1, 0, "", test::bytes("abcd"))});
    openWith(b);
    ASSERT_EQ(file.Close(), kNoError) << "nothing changed: nothing written";
    EXPECT_EQ(disk(), b);
    ASSERT_EQ(file.Open(path), kNoError);
    add(2, 4);
    ASSERT_EQ(file.Close(), kNoError);
    std::uint32_t mapAt = test::readBe32(disk(), 60);
    ASSERT_NE(mapAt, 0u);

    ASSERT_EQ(file.Open(path), kNoError);
    DataHandle h = file.GetResource(kText, 1, nullptr);
    handleBytes(h)[0] = 'Q';
    ASSERT_EQ(file.WriteResource(h), kNoError);
    EXPECT_EQ(test::readBe32(disk(), 60), 0u);
    EXPECT_EQ(chunkAt(mapAt).type, "XXXX");
    EXPECT_EQ(chunkAt(mapAt).flags, 0x0014);
}

TEST_F(Write2Test, ReadOnlyFilesRefuseChangesAndCloseWritesNothing) {
    Bytes b = test::cat({test::header2('0', 0), test::chunk2("TEXT", 1, 0, "", test::bytes("abcd")),
                         test::free2(20000)});
    path = test::writeBytes(dir, "f.iff", b);
    file.setOpenReadOnly(true);
    ASSERT_EQ(file.Open(path), kNoError);
    EXPECT_FALSE(file.IsWritable());
    DataHandle h = file.GetResource(kText, 1, nullptr);
    DataHandle extra = NewDataHandle(3);
    EXPECT_EQ((std::vector{file.AddResource(extra, kText, 2, "", true), file.WriteResource(h),
                           file.RemoveResource(h), file.SetResInfo(h, 5, "x", 0)}),
              std::vector<ResError>(4, kNotWritable));
    EXPECT_EQ(file.ReleaseResource(h), kNoError);
    EXPECT_EQ(file.Close(), kNoError);
    EXPECT_EQ(disk(), b);
    (void)DisposeDataHandle(extra);
    (void)DisposeDataHandle(h);
}

TEST_F(Write2Test, CompactionMovesLiveChunksDownAndTruncates) {
    Bytes b = test::cat({test::header2('5', 0), test::chunk2("TEXT", 1, 0, "A", Bytes(24, 'a')),
                         test::free2(20000), test::chunk2("TEXT", 2, 0, "B", Bytes(124, 'b')),
                         test::free2(76), test::chunk2("TEXT", 3, 0x10, "C", Bytes(14, 'c'))});
    openWith(b);
    add(4, 4, 'd');  // split off the 20000-byte free chunk: 19996 bytes stay free
    ASSERT_EQ(file.Close(), kNoError);
    Bytes d = disk();
    // A 100, D 80, B 200, C 90, then the map.
    EXPECT_EQ(chunkAt(64).name, "A");
    EXPECT_EQ(chunkAt(164).id, 4);
    EXPECT_EQ(chunkAt(244).name, "B");
    EXPECT_EQ(Bytes(d.begin() + 244 + 76, d.begin() + 444), Bytes(124, 'b'));
    EXPECT_EQ(chunkAt(444).name, "C");
    EXPECT_EQ(test::readBe32(d, 60), 534u);
    EXPECT_EQ(chunkAt(534).type, "rsmp");
    EXPECT_EQ(d.size(), 534u + chunkAt(534).size);
    ASSERT_EQ(file.Open(path), kNoError);
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 3, nullptr)), Bytes(14, 'c'));
    EXPECT_TRUE(file.IsNativeOrder(file.GetResource(kText, 3, nullptr)));
}

// Close compacts once kCompactThreshold bytes (10240) are free, not one
// byte before: the chunk behind the free space moves down or stays.
TEST_F(Write2Test, CompactionStartsAtTheThreshold) {
    for (std::uint32_t freeBytes : {10239u, 10240u}) {
        SCOPED_TRACE(freeBytes);
        openWith(test::cat({test::header2('5', 0), test::chunk2("TEXT", 1, 0, "", Bytes(4, 'a')),
                            test::free2(freeBytes + 80), test::chunk2("TEXT", 2, 0, "", Bytes(4, 'b'))}));
        add(3, 4);  // 80 bytes taken from the free chunk
        ASSERT_EQ(file.Close(), kNoError);
        EXPECT_EQ(chunkAt(64 + 80 + 80 + (freeBytes < 10240 ? freeBytes : 0)).id, 2);
    }
}

TEST_F(Write2Test, SetResInfoRewritesTheHeaderInPlace) {
    openWith(withLive(test::chunk2("TEXT", 1, 0x0300, "old", test::bytes("abcd"))));
    DataHandle h = file.GetVariantResource(kText, 1, 3, nullptr);
    ASSERT_EQ(file.SetResInfo(h, 7, "new name", 0), kNoError);
    Chunk c = chunkAt(64);
    EXPECT_EQ(c.id, 7);
    EXPECT_EQ(c.name, "new name");
    EXPECT_EQ(c.flags, 0x0300) << "the variant is kept";
    ASSERT_EQ(file.SetResID(h, 8), kNoError);
    EXPECT_EQ(chunkAt(64).id, 8);
    EXPECT_EQ(chunkAt(64).name, "new name");
    EXPECT_FALSE(file.GetVariantResource(kText, 1, 3, nullptr));
    EXPECT_EQ(file.GetVariantResource(kText, 8, 3, nullptr), h);
    DataHandle stranger = NewDataHandle(1);
    EXPECT_EQ(file.SetResInfo(stranger, 1, "", 0), kResNameNotFound);
    (void)DisposeDataHandle(stranger);
}

TEST_F(Write2Test, RemoveAndRelease) {
    openWith(withLive(test::chunk2("TEXT", 1, 0, "", test::bytes("abcd"))));
    EXPECT_EQ(file.CountTypes(), 2);
    DataHandle h = file.GetResource(kText, 1, nullptr);
    ASSERT_EQ(file.RemoveResource(h), kNoError);
    EXPECT_FALSE(isLiveHandle(h));
    EXPECT_EQ(chunkAt(64).type, "XXXX");
    EXPECT_EQ(file.CountTypes(), 1) << "an emptied type goes";
    EXPECT_EQ(file.RemoveResource(h), kResNameNotFound);

    // A removed id is free again (the search past 32767 takes the smallest).
    add(129, 1);
    add(32767, 1);
    ASSERT_EQ(file.RemoveResource(file.GetResource(kText, 129, nullptr)), kNoError);
    EXPECT_EQ(file.UniqueID(kText), 129);

    // Releasing a resource never written writes it first.
    DataHandle pending = test::handleWith("pending");
    ASSERT_EQ(file.AddResource(pending, kText, 2, "", true), kNoError);
    ASSERT_EQ(file.ReleaseResource(pending), kNoError);
    EXPECT_EQ(file.ReleaseResource(pending), kResNameNotFound);
    DataHandle loaded = file.GetResource(kText, 2, nullptr);
    EXPECT_NE(loaded, pending);
    EXPECT_EQ(test::dataOf(loaded), test::bytes("pending"));
    (void)DisposeDataHandle(pending);
}

// Data too large for a chunk's size field is refused rather than written
// as a chunk that would end every walk.
TEST_F(Write2Test, OversizedDataIsRefused) {
    openWith(withLive());
    std::size_t before = disk().size();
    DataHandle big = NewDataHandle(kMaxChunkSize - 75);
    ASSERT_TRUE(big);
    ASSERT_EQ(file.AddResource(big, kText, 1, "", true), kNoError);
    EXPECT_EQ(file.WriteResource(big), kBadChunk);
    EXPECT_EQ(disk().size(), before);
    ASSERT_EQ(file.RemoveResource(big), kNoError);
}

// A chunk larger than the copy buffer moves piece by piece; a walk that
// stops at damage leaves what follows where it was, behind free space.
TEST_F(Write2Test, CompactionOfLargeChunksStopsAtDamage) {
    Bytes big(120000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
    Bytes tail = test::cat({test::chunk2("TEXT", 9, 0, "", test::bytes("lost"), 10), test::bytes("after the damage")});
    Bytes b = test::cat({test::header2('5', 0), test::chunk2("TEXT", 1, 0, "A", Bytes(24, 'a')), test::free2(20000),
                         test::chunk2("TEXT", 2, 0, "BIG", big), test::free2(12000),
                         test::chunk2("TEXT", 3, 0, "C", Bytes(30, 'c'))});
    const std::size_t damagedAt = b.size();
    openWith(test::cat({b, tail}));
    add(4, 4, 'd');
    ASSERT_EQ(file.Close(), kNoError);
    Bytes d = disk();
    ASSERT_EQ(d.size(), damagedAt + tail.size()) << "nothing after the damage is cut off";
    EXPECT_EQ(Bytes(d.begin() + static_cast<long>(damagedAt), d.end()), tail);
    EXPECT_EQ(chunkAt(64 + 100 + 80).name, "BIG");
    ASSERT_EQ(file.Open(path), kNoError);
    EXPECT_EQ(test::dataOf(file.GetNamedResource(kText, "big", nullptr)), big);
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 3, nullptr)), Bytes(30, 'c'));
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 4, nullptr)), Bytes(4, 'd'));
}
