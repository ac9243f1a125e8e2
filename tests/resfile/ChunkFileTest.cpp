// The chunk headers a chunk file keeps between reads always match the bytes
// on disk, however the bytes under a header were changed.

#include "ResFileTestSupport.h"
#include "resfile/ChunkFile.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::resfile;
using test::Bytes;

namespace {

constexpr ResType kText = makeType("TEXT");
constexpr std::uint32_t kFirst = kFileHeaderSize;
constexpr std::uint32_t kHeader = 76;

ChunkHeader textHeader(std::uint32_t dataSize) {
    ChunkHeader header;
    header.type = kText;
    header.size = kHeader + dataSize;
    return header;
}

std::uint32_t sizeAt(ChunkFile& chunks, std::uint64_t offset) {
    ChunkHeader header;
    EXPECT_EQ(chunks.readHeader(offset, header), kNoError);
    return header.size;
}

TEST(ChunkFileHeaders, FollowEveryWriteOverThem) {
    test::TempDir dir;
    std::string path = test::writeBytes(dir, "c.iff", Bytes(kFileHeaderSize, 0));
    ChunkFile chunks(ChunkLayout::Named);
    ASSERT_EQ(chunks.flat().open(path), kNoError);

    // Two chunks side by side, sizes known from their writes.
    ASSERT_EQ(chunks.writeChunk(kFirst, textHeader(100), Bytes(100, 'a')), kNoError);
    const std::uint32_t second = kFirst + kHeader + 100;
    ASSERT_EQ(chunks.writeChunk(second, textHeader(40), Bytes(40, 'b')), kNoError);
    EXPECT_EQ(sizeAt(chunks, kFirst), kHeader + 100);
    EXPECT_EQ(sizeAt(chunks, second), kHeader + 40);

    // Freed: the free header's size is the one known.
    ASSERT_EQ(chunks.freeChunk(second, kText), kNoError);
    EXPECT_EQ(sizeAt(chunks, second), kHeader + 40);

    // A damaged layout: the first chunk grows and its data runs over the
    // second header, which must be read again.
    Bytes longer(200, 0);
    ChunkHeader inside = textHeader(10);
    chunks.encode(inside, longer.data() + (second - kFirst - kHeader));
    ASSERT_EQ(chunks.writeChunk(kFirst, textHeader(200), longer), kNoError);
    EXPECT_EQ(sizeAt(chunks, kFirst), kHeader + 200);
    EXPECT_EQ(sizeAt(chunks, second), kHeader + 10);

    // A write straight to the file.
    std::uint8_t bytes[kHeader];
    chunks.encode(textHeader(0x01020304 - kHeader), bytes);
    ASSERT_EQ(chunks.flat().writeAt(second, bytes, kHeader), kNoError);
    EXPECT_EQ(sizeAt(chunks, second), 0x01020304u);

    // A header written 70 bytes before it: its zeroed name ends on the
    // first six bytes, the high half of the size among them.
    ASSERT_EQ(chunks.writeHeader(second - 70, textHeader(0)), kNoError);
    EXPECT_EQ(sizeAt(chunks, second), 0x0304u);

    // And one starting at its size, which becomes the written type.
    ASSERT_EQ(chunks.writeHeader(second + 4, textHeader(0)), kNoError);
    EXPECT_EQ(sizeAt(chunks, second), kText);

    // Another file opened in the same chunk file.
    ASSERT_EQ(chunks.flat().close(), kNoError);
    Bytes other(kFileHeaderSize + kHeader, 0);
    chunks.encode(textHeader(0), other.data() + kFileHeaderSize);
    ASSERT_EQ(chunks.flat().open(test::writeBytes(dir, "d.iff", other)), kNoError);
    EXPECT_EQ(sizeAt(chunks, kFirst), kHeader);
    ChunkHeader beyond;
    EXPECT_EQ(chunks.readHeader(second, beyond), kShortRead);
}

}  // namespace
