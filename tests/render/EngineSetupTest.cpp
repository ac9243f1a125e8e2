#include "Scene.h"

#include "render/RenderDIPMesh.h"
#include "render/RenderError.h"

#include <gtest/gtest.h>

namespace tryster::render {
namespace {

using softgpu::SoftwareDisplay;

RenderResult initialise(AnimDevice& anim, test::RecordingWindow& window, int depth, int colourModel = 1,
                        bool hardware = false, int width = 64, int height = 48) {
    return anim.initialise(&window, false, hardware, width, height, depth, colourModel, 0);
}

TEST(AnimDeviceSetup, NoDisplayLibraryMeansNoDevice) {
    platform::installDisplaySystemFactory([] { return std::unique_ptr<platform::DisplaySystem>(); });
    AnimDevice anim;
    test::RecordingWindow window;
    EXPECT_EQ(initialise(anim, window, 32).code(), 0x9B0B0001u);
    platform::installDisplaySystemFactory({});
}

TEST(Camera, ThePreviewsParallelProjectionScalesEachAxis) {
    const float a = 334.0f / 400.0f, width = 6.0f;
    Matrix4 p = parallelProjection(width, a, 347.0f);
    for (Vector3 v : {Vector3{3, 0, 0}, Vector3{0, 3 / a, 0}, Vector3{1, 2, 173.5f}}) {
        float x = v.x * p.m[0][0], y = v.y * p.m[1][1], z = v.z * p.m[2][2], w = p.m[3][3];
        EXPECT_FLOAT_EQ(x / w, v.x / 3);
        EXPECT_FLOAT_EQ(y / w, v.y * a / 3);
        EXPECT_FLOAT_EQ(z / w, v.z / 347.0f);
    }
}

}  // namespace
}  // namespace tryster::render
