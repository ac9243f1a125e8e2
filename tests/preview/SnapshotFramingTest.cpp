// Where the camera puts the figure, and the snapshots taken of it.

#include "PreviewHarness.h"
#include "demoworld/DemoFolder.h"

#include "formats/ImageLibrary.h"
#include "preview/CameraPlacement.h"
#include "render/Scene.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace tryster::test {
namespace {

using preview::kBodySnapshotRect;
using preview::kHeadSnapshotRect;

struct Census {
    int head = 0, body = 0, background = 0, total = 0;
};

Census census(const Picture& p) {
    Census c;
    for (std::uint32_t px : p.pixels) {
        px &= 0xFFFFFF;
        c.head += isHeadColour(px);
        c.body += isBodyColour(px);
        c.background += isBackground(px);
        ++c.total;
    }
    return c;
}

bool contains(const platform::ScreenRect& outer, const platform::ScreenRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST_F(PreviewTest, AtZoomTwoTheHeadRectangleFramesTheHeadAndTheBodyRectangleTheFigure) {
    preview::Preview& p = start();
    p.setZoomLevel(2);
    p.setFacing(0);
    run(100);
    const Picture whole = picture();

    const Census head = census(picture(&kHeadSnapshotRect));
    EXPECT_GT(head.head, head.total * 6 / 10) << "mostly head";
    EXPECT_LT(head.background, head.total / 3);
    EXPECT_LT(head.body, head.total / 10) << "a little of the shoulders";

    const platform::ScreenRect figure = figureExtent(whole);
    EXPECT_TRUE(contains(kBodySnapshotRect, figure))
        << "figure " << figure.left << "," << figure.top << " - " << figure.right << "," << figure.bottom;
    const Picture body = picture(&kBodySnapshotRect);
    EXPECT_TRUE(contains({1, 1, body.width - 1, body.height - 1}, figureExtent(body)))
        << "a margin all round";
    EXPECT_GT(census(body).body, body.width * body.height / 4);
}

TEST_F(PreviewTest, AtZoomFourTheWholeFigureStillFits) {
    preview::Preview& p = start();
    p.setZoomLevel(4);
    run(100);
    const Picture whole = picture();
    const platform::ScreenRect figure = figureExtent(whole);
    EXPECT_GT(figure.top, 0) << "the head is whole";
    EXPECT_GT(figure.bottom - figure.top, whole.height * 8 / 10) << "and the figure fills the height";
}

TEST_F(PreviewTest, SnapshotsAreTakenAtZoomTwoFromTheFrontAndTheViewComesBack) {
    formats::ImageLibrarySession images;
    preview::Preview& p = start();
    p.setZoomLevel(4);
    p.setFacing(1.5f);
    p.setRotationSpeed(0.1f);
    run(100);
    dir.write("Out/Bobhead.jpg", "stale");

    const std::vector<std::string> paths = {dir.file("Out/Bobhead.jpg"), dir.file("Out/Bobbody.jpg")};
    ASSERT_EQ(p.takeSnapshots(paths[0], paths[1]), paths);
    EXPECT_EQ(jpegSize(dir.read("Out/Bobhead.jpg")), std::make_pair(45, 45));
    EXPECT_EQ(jpegSize(dir.read("Out/Bobbody.jpg")), std::make_pair(100, 220));
    EXPECT_EQ(p.view().zoomLevel, 4);
    EXPECT_FLOAT_EQ(p.view().rotationSpeed, 0.1f);
    EXPECT_NEAR(p.view().facing, 1.5f, 0.02f) << "as it was, not turned further";
}

TEST_F(PreviewTest, WithoutADrawingSurfaceNoSnapshotIsWritten) {
    formats::ImageLibrarySession images;
    preview::Preview p(look, presenter, previewClock);
    EXPECT_TRUE(p.takeSnapshots(dir.file("Bobhead.jpg"), dir.file("Bobbody.jpg")).empty());
    EXPECT_FALSE(platform::fileSystem().exists(dir.file("Bobhead.jpg")));
}

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

// The preview on the demo game folder: the body snapshot of the figure users
// first see shows it textured and lit.
using preview::kBodySnapshotRect;

class DemoFigure : public ::testing::Test, protected PreviewDoubles {
protected:
    DemoFigure() { installDoubles(); }
    ~DemoFigure() override { removeDoubles(); }
    InDemoFolder in;
};

// A dressed, lit, textured figure shows many colours; a missing texture or
// light would leave a few flat ones.
TEST_F(DemoFigure, TheBodySnapshotShowsATexturedLitFigure) {
    preview = std::make_unique<preview::Preview>(look, presenter, previewClock);
    look.setInstallFolder(demoFolder());
    ASSERT_TRUE(preview::startPreview(*preview, look, &window, preview::kPreviewWidth, preview::kPreviewHeight));
    preview->setZoomLevel(2);
    run(200);
    const Picture body = picture(&kBodySnapshotRect);
    std::set<std::uint32_t> colours;
    int figure = 0;
    for (std::uint32_t px : body.pixels)
        if (!isBackground(px & 0xFFFFFF)) {
            colours.insert(px & 0xFFFFFF);
            ++figure;
        }
    EXPECT_GT(colours.size(), 300u);
    EXPECT_GT(figure, body.width * body.height / 5);
}

}  // namespace
}  // namespace tryster::test
