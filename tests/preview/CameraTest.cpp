#include "PreviewHarness.h"

#include "preview/CameraPlacement.h"

#include <cmath>

namespace tryster::test {
namespace {

using preview::Preview;

// Where the viewport's view and projection put a world point, in pixels.
struct ScreenPoint {
    float x, y;
};
ScreenPoint project(const render::Viewport3D& v, render::Vector3 world) {
    const render::Matrix4 m = v.view() * v.projection();
    const float x = world.x * m.m[0][0] + world.y * m.m[1][0] + world.z * m.m[2][0] + m.m[3][0];
    const float y = world.x * m.m[0][1] + world.y * m.m[1][1] + world.z * m.m[2][1] + m.m[3][1];
    const float w = world.x * m.m[0][3] + world.y * m.m[1][3] + world.z * m.m[2][3] + m.m[3][3];
    return {(x / w + 1) / 2 * static_cast<float>(v.width()), (1 - y / w) / 2 * static_cast<float>(v.height())};
}

// Facing 0.5 looks straight along -z: world x is the screen's horizontal.
TEST_F(PreviewTest, WideAndTallPreviewsKeepSquarePixelsAndTheCharacterNearTheTopLeft) {
    for (auto [width, height] : {std::pair{600, 300}, {300, 600}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        Preview& p = start(width, height);
        p.setFacing(0.5f);
        p.setZoomLevel(2);
        (void)p.frame(nullptr, false);
        const render::Viewport3D& v = *viewport(p);
        const float pixelsPerUnit = 256 / (1.5f * std::sqrt(2.0f) * 3);
        const ScreenPoint origin = project(v, {0, 0, 0});
        EXPECT_NEAR(origin.x, 166.7f, 0.5f);
        EXPECT_NEAR(origin.y, 213.3f + static_cast<float>(height) / 6, 0.5f);
        const ScreenPoint right = project(v, {1, 0, 0});
        EXPECT_NEAR(std::abs(right.x - origin.x), pixelsPerUnit, 0.1f);
        EXPECT_NEAR(right.y, origin.y, 0.01f);
        // One unit along the camera's up (world up tilted by the 30 degree pitch).
        const ScreenPoint up = project(v, {0, std::cos(0.5236f), -std::sin(0.5236f)});
        EXPECT_NEAR(origin.y - up.y, pixelsPerUnit, 0.1f);
        EXPECT_NEAR(up.x, origin.x, 0.01f);
        preview.reset();
    }
}

TEST(CameraPlacement, ZoomScalesTheViewAndOutOfRangeLevelsAreClamped) {
    const float unit = std::sqrt(2.0f) * 3;
    EXPECT_NEAR(preview::placeCamera(0, 0, 332, 432).viewWidth, 498 * unit / 128, 1e-3f);
    EXPECT_NEAR(preview::placeCamera(0, 4, 333, 432).viewWidth, 499 * unit / 512, 1e-3f);
    EXPECT_EQ(preview::placeCamera(0, 9, 332, 432).viewWidth, preview::placeCamera(0, 4, 332, 432).viewWidth);
    EXPECT_EQ(preview::placeCamera(0, -1, 332, 432).viewWidth, preview::placeCamera(0, 0, 332, 432).viewWidth);
}

}  // namespace
}  // namespace tryster::test
