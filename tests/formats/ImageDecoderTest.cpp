#include "formats/ImageFiles.h"

#include "formats/ImageDecoder.h"

#include <gtest/gtest.h>

namespace tryster::formats {
namespace {

using test::bmpHeaders;
using test::Bytes;

TEST(Bmp, OneFourTwentyFourAndThirtyTwoBits) {
    DecodedImage img;
    Bytes one = bmpHeaders(3, 1, 1, 0, 2, 8);
    one.u32(0x000000).u32(0xFFFFFF).u8(0b10100000).u8(0).u8(0).u8(0);
    ASSERT_TRUE(decodeBmp(one.data, img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}));

    Bytes four = bmpHeaders(3, 1, 4, 0, 0, 64);
    for (int i = 0; i < 16; ++i) four.u32(static_cast<std::uint32_t>(i * 0x111111 & 0xFFFFFF));
    four.u8(0x1F).u8(0x20).u8(0).u8(0);
    ASSERT_TRUE(decodeBmp(four.data, img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFF111111, 0xFFFFFFFF, 0xFF222222}));

    std::vector<std::uint32_t> pixels{0x102030, 0x405060, 0x708090};
    ASSERT_TRUE(decodeBmp(test::bmp24(3, 1, pixels), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFF102030, 0xFF405060, 0xFF708090}));

    Bytes thirtyTwo = bmpHeaders(1, 1, 32, 0, 0, 0);
    thirtyTwo.u32(0x00ABCDEF);
    ASSERT_TRUE(decodeBmp(thirtyTwo.data, img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFFABCDEF}));
}

TEST(Bmp, RunLengthEncodedEightBits) {
    Bytes b = bmpHeaders(4, 2, 8, 1, 2, 8);
    b.u32(0x000000).u32(0x0000FF);
    b.u8(4).u8(1).u8(0).u8(0);                          // bottom row: four of colour 1, end of line
    b.u8(0).u8(3).u8(0).u8(1).u8(0).u8(0).u8(0).u8(1);  // top row: literal 0 1 0 (padded), end of bitmap
    DecodedImage img;
    ASSERT_TRUE(decodeBmp(b.data, img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFF000000, 0xFF0000FF, 0xFF000000, 0xFF000000,
                                                      0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF}));
}

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

TEST(Ppm, TextAndBinaryWithCommentsAndSixteenBitSamples) {
    DecodedImage img;
    ASSERT_TRUE(decodePpm(bytesOf("P3\n# made by hand\n2 1\n255\n255 0 0   0 0 255\n"), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0xFF0000FF}));
    ASSERT_TRUE(decodePpm(bytesOf(std::string("P6 1 1 255\n\x10\x20\x30", 14)), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFF102030}));
    ASSERT_TRUE(decodePpm(bytesOf(std::string("P6\n1 1\n65535\n\xFF\xFF\x80\x00\x00\x00", 20)), img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFFFF7F00}));
    ASSERT_TRUE(decodeImage(bytesOf("P3 1 1 1 1 0 1"), "ppm", img));
    EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{0xFFFF00FF}));
}

TEST(Ppm, DamagedFilesAreRefused) {
    DecodedImage img;
    for (const char* text : {"", "P5 1 1 255 x", "P3 1 1 255 1 2", "P3 2 1 255 1 2 3 4 5", "P3 1 1 10 11 0 0",
                             "P3 1 1 0 0 0 0", "P6 2 2 255\nabc", "P6 1 1 255", "P3 99999 1 255 0 0 0",
                             "P3 1 1 2555555555555 0 0 0", "P3 -1 1 255 0 0 0"})
        EXPECT_FALSE(decodePpm(bytesOf(text), img)) << text;
    EXPECT_EQ(img.width, 0);
}

}  // namespace
}  // namespace tryster::formats
