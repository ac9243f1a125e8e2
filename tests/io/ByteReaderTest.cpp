#include "io/ByteReader.h"
#include "io/ByteWriter.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

namespace tryster::io {
namespace {

TEST(ByteReader, ReadsBothByteOrders) {
    const std::uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78, 0xFF, 0xFE};
    ByteReader r(bytes, sizeof bytes);
    std::uint32_t be = 0;
    ASSERT_TRUE(r.u32be(be));
    EXPECT_EQ(be, 0x12345678u);
    std::int16_t le = 0;
    ASSERT_TRUE(r.i16le(le));
    EXPECT_EQ(le, -257);
    EXPECT_TRUE(r.atEnd());
}

TEST(ByteReader, CStringNeedsItsZero) {
    const std::uint8_t bytes[] = {'a', 'b', 0, 'c'};
    std::string s;
    for (std::size_t size : {sizeof bytes, std::size_t{3}}) {  // a 'c' without its zero, then nothing left
        ByteReader r(bytes, size);
        ASSERT_TRUE(r.cstring(s));
        EXPECT_FALSE(r.cstring(s));
        EXPECT_EQ(s, "ab");
        EXPECT_EQ(r.position(), 3u);
    }
    // An empty view's data is null: the zero search must not be handed it.
    ByteReader none;
    EXPECT_FALSE(none.cstring(s));
    ByteReader empty(std::span<const std::uint8_t>{});
    EXPECT_FALSE(empty.cstring(s));
}

TEST(ByteReader, ArraysRefuseCountsWhoseSizeOverflowsOrRunsPastTheEnd) {
    const std::uint8_t bytes[8] = {};
    ByteReader r(bytes, sizeof bytes);
    ByteReader records;
    // Half the address space and one more, of 2 bytes each, wraps to 0 bytes.
    EXPECT_FALSE(r.readArray(std::numeric_limits<std::size_t>::max() / 2 + 1, 2, records));
    EXPECT_FALSE(r.readArray(3, 3, records));
    EXPECT_EQ(r.position(), 0u);
    ASSERT_TRUE(r.readArray(2, 3, records));
    EXPECT_EQ(records.size(), 6u);
    EXPECT_EQ(r.position(), 6u);
    std::span<const std::uint8_t> none;
    EXPECT_TRUE(r.readArray(0, 1000, none));
    EXPECT_TRUE(none.empty());
}

TEST(ByteReader, SubReadersStayInsideTheirRange) {
    const std::uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
    ByteReader r(bytes, sizeof bytes);
    ByteReader middle;
    EXPECT_FALSE(r.rangeReader(4, 3, middle));
    EXPECT_FALSE(r.rangeReader(7, 0, middle));
    ASSERT_TRUE(r.rangeReader(2, 2, middle));
    EXPECT_EQ(r.position(), 0u) << "a range reader does not move its parent";
    std::uint16_t v = 0;
    ASSERT_TRUE(middle.u16be(v));
    EXPECT_EQ(v, 0x0304);
    std::uint8_t past = 0;
    EXPECT_FALSE(middle.u8(past)) << "the byte after the range is not the sub-reader's";

    ByteReader head;
    ASSERT_TRUE(r.subReader(5, head));
    EXPECT_EQ(r.position(), 5u);
    EXPECT_FALSE(r.subReader(2, head));
    EXPECT_EQ(head.size(), 5u) << "a failed sub-read leaves the last one";
}

TEST(ByteReader, TheByteOrderCanBeChosenAtRunTime) {
    const std::uint8_t bytes[] = {0x3F, 0x80, 0, 0, 0, 0, 0x80, 0x3F};
    for (auto order : {std::endian::big, std::endian::little}) {
        ByteReader r(bytes, sizeof bytes);
        float first = 0, second = 0;
        ASSERT_TRUE(r.f32(first, order) && r.f32(second, order));
        EXPECT_EQ(order == std::endian::big ? first : second, 1.0f);
    }
    ByteReader r(bytes, sizeof bytes);
    std::int16_t s = 0;
    std::uint32_t u = 0;
    ASSERT_TRUE(r.i16(s, std::endian::little) && r.u32(u, std::endian::big));
    EXPECT_EQ(s, static_cast<std::int16_t>(0x803F));
    EXPECT_EQ(u, 0u);
}

TEST(ByteWriter, RoundTripsThroughTheReader) {
    ByteWriter w;
    w.u16be(0xABCD);
    w.i32le(-2);
    w.f32le(1.5f);
    w.cstring("hi");
    w.text("tool");
    w.zeros(2);
    ByteReader r(w.bytes());
    std::uint16_t a;
    std::int32_t b;
    float c;
    std::string d, e;
    ASSERT_TRUE(r.u16be(a) && r.i32le(b) && r.f32le(c) && r.cstring(d) && r.fixedString(4, e));
    EXPECT_EQ(a, 0xABCD);
    EXPECT_EQ(b, -2);
    EXPECT_EQ(c, 1.5f);
    EXPECT_EQ(d, "hi");
    EXPECT_EQ(e, "tool");
    EXPECT_EQ(w.bytes().back(), 0);
}

}  // namespace
}  // namespace tryster::io
