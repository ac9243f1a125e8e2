#include "PreviewHarness.h"

#include "formats/ImageLibrary.h"
#include "render/Pictures.h"

#include <algorithm>

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
    shoot(whole, "framing-zoom2");

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
    shoot(whole, "framing-zoom4");
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

}  // namespace
}  // namespace tryster::test
