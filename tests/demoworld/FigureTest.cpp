// The demo figure's pictures, encoded as the game reads them.

#include "demoworld/Picture.h"
#include "render/ImageDecoder.h"

#include <gtest/gtest.h>

namespace tryster::demoworld {
namespace {

Picture gradient(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.at(x, y) = static_cast<std::uint32_t>((x * 255 / (w - 1)) << 16 | (y * 255 / (h - 1)) << 8 | ((x + y) & 255));
    return p;
}

TEST(Bmp, TwentyFourBitsReadBackExactlyAtOddWidths) {
    const Picture p = gradient(5, 3);  // rows padded to 16 bytes
    const auto bytes = encodeBmp24(p);
    render::DecodedImage out;
    ASSERT_TRUE(render::decodeBmp(bytes, out));
    ASSERT_EQ(out.width, 5);
    ASSERT_EQ(out.height, 3);
    for (std::size_t i = 0; i < p.pixels.size(); ++i) EXPECT_EQ(out.pixels[i] & 0xFFFFFF, p.pixels[i]) << i;
}

}  // namespace
}  // namespace tryster::demoworld
