#include "ImageFiles.h"

#include "render/ImageDecoder.h"

#include <gtest/gtest.h>

namespace tryster::render {
namespace {

using test::bmpHeaders;
using test::Bytes;

// Two rows of two pixels, stored bottom row first.
std::vector<std::uint8_t> bmp8(std::int32_t height) {
    Bytes b = bmpHeaders(2, height, 8, 0, 3, 12);
    b.u32(0x000000).u32(0xFF0000).u32(0x00FF00);  // palette: black, red, green
    b.u8(1).u8(2).u8(0).u8(0);                    // first stored row, padded
    b.u8(2).u8(1).u8(0).u8(0);
    return b.data;
}

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

TEST(Bmp, DamagedFilesAreRefused) {
    DecodedImage img;
    img.width = 7;
    auto good = bmp8(2);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Case> cases;
    for (std::size_t cut : {std::size_t{2}, std::size_t{20}, std::size_t{60}, good.size() - 1})
        cases.push_back(
            {"truncated", std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(cut))});
    auto bad = good;
    bad[0] = 'X';
    cases.push_back({"bad magic", bad});
    bad = good;
    bad[46] = 9;  // 9 palette colours for 8 bits is fine, but 300 is not
    bad[47] = 1;
    cases.push_back({"palette larger than the depth", bad});
    bad = good;
    bad[10] = 0xF0;  // data offset past the end
    cases.push_back({"data offset past the end", bad});
    bad = good;
    bad[18] = 0;  // width 0
    cases.push_back({"zero width", bad});
    bad = good;
    bad[28] = 7;  // 7 bits per pixel
    cases.push_back({"unknown depth", bad});
    Bytes rle = bmpHeaders(4, 2, 8, 1, 2, 8);
    rle.u32(0).u32(0xFF).u8(4).u8(1).u8(0).u8(0);  // no end-of-bitmap mark
    cases.push_back({"run-length data without its end", rle.data});
    Bytes huge = bmpHeaders(100000, 1, 24, 0, 0, 0);
    cases.push_back({"wider than the limit", huge.data});
    for (const Case& c : cases) {
        EXPECT_FALSE(decodeBmp(c.bytes, img)) << c.what;
        EXPECT_EQ(img.width, 7) << c.what << ": the output changed";
    }
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
}  // namespace tryster::render
