#include "io/ByteReader.h"
#include "io/ByteWriter.h"

#include <gtest/gtest.h>

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

TEST(ByteReader, AShortReadFailsWithoutMoving) {
    const std::uint8_t bytes[] = {1, 2, 3};
    ByteReader r(bytes, sizeof bytes);
    std::uint32_t v = 99;
    EXPECT_FALSE(r.u32le(v));
    EXPECT_EQ(v, 99u);
    EXPECT_EQ(r.position(), 0u);
    EXPECT_FALSE(r.skip(4));
    EXPECT_FALSE(r.seek(4));
    EXPECT_TRUE(r.seek(3));
    std::uint8_t b;
    EXPECT_FALSE(r.u8(b));
}

TEST(ByteReader, CStringNeedsItsZero) {
    const std::uint8_t bytes[] = {'a', 'b', 0, 'c'};
    ByteReader r(bytes, sizeof bytes);
    std::string s;
    ASSERT_TRUE(r.cstring(s));
    EXPECT_EQ(s, "ab");
    EXPECT_FALSE(r.cstring(s));
    EXPECT_EQ(r.position(), 3u);
}

TEST(ByteWriter, RoundTripsThroughTheReader) {
    ByteWriter w;
    w.u16be(0xABCD);
    w.i32le(-2);
    w.f32le(1.5f);
    w.cstring("hi");
    w.fixedString("toolong", 4);
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
}

}  // namespace
}  // namespace tryster::io
