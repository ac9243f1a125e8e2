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

// A model point of the character, placed as the frame places it.
render::Vector3 model(float y) { return {0, y - 1.75f, 0}; }

TEST_F(PreviewTest, TheFigureIsFramedAsTheSnapshotsExpect) {
    Preview& p = start();
    p.view().zoomLevel = 2;
    p.positionCamera();
    const render::Viewport3D& v = *p.viewport();
    EXPECT_NEAR(project(v, model(5.55f)).y, 153, 1) << "top of the head";
    EXPECT_NEAR(project(v, model(4.55f)).y, 188, 1) << "chin";
    EXPECT_NEAR(project(v, model(-0.35f)).y, 358, 1) << "feet";
    EXPECT_NEAR(project(v, model(2)).x, 166.7f, 1);

    p.view().zoomLevel = 4;
    p.positionCamera();
    EXPECT_NEAR(project(v, model(5.55f)).y, 21, 1);
    EXPECT_NEAR(project(v, model(-0.35f)).y, 431, 1);
}
}  // namespace
}  // namespace tryster::test
