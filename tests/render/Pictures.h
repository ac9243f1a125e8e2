#pragma once
// Compares a picture with a stored PNG in tests/render/data (with
// TRYSTER_UPDATE_PICTURES set the picture is stored instead), and reads
// the size of a written JPEG.

#include "formats/JpegImage.h"
#include "formats/PngImage.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tryster::test {

inline int channelDifference(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255));
        worst = std::max(worst, d);
    }
    return worst;
}

// Every pixel within `tolerance` per channel.
inline void expectPicture(const std::string& name, const std::vector<std::uint32_t>& pixels, int width,
                          int height, int tolerance = 2) {
    std::string path = std::string(TRYSTER_TEST_DATA) + "/" + name + ".png";
    if (std::getenv("TRYSTER_UPDATE_PICTURES")) {
        ASSERT_TRUE(formats::writePng(path, width, height, pixels.data(), static_cast<std::size_t>(width)));
        return;
    }
    formats::PngPicture stored;
    ASSERT_TRUE(formats::readPng(path, stored)) << path;
    ASSERT_EQ(stored.width, width);
    ASSERT_EQ(stored.height, height);
    int bad = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        if (channelDifference(pixels[i], stored.pixels[i]) > tolerance && bad++ < 5)
            ADD_FAILURE() << name << ": pixel " << i % static_cast<std::size_t>(width) << ","
                          << i / static_cast<std::size_t>(width) << std::hex << " is "
                          << (pixels[i] & 0xFFFFFF) << ", stored " << (stored.pixels[i] & 0xFFFFFF);
    EXPECT_EQ(bad, 0) << name;
}

// Width and height of a whole JPEG; {0, 0} when the bytes do not decode.
inline std::pair<int, int> jpegSize(const std::string& bytes) {
    formats::JpegPicture picture;
    if (!formats::decodeJpeg({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, 4096,
                             picture))
        return {0, 0};
    return {picture.width, picture.height};
}

}  // namespace tryster::test
