// The preview on the demo game folder: the figure users first see has to
// sit in the snapshot rectangles and stay in the picture at every zoom.

#include "PreviewHarness.h"

#include "demoworld/DemoWorld.h"
#include "platform/FileSystem.h"
#include "platform/ImageLibrary.h"

#include <set>

namespace tryster::test {
namespace {

using preview::kBodySnapshotRect;
using preview::kHeadSnapshotRect;

std::string describe(const platform::ScreenRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

int figurePixels(const Picture& p) {
    return static_cast<int>(std::count_if(p.pixels.begin(), p.pixels.end(),
                                          [](std::uint32_t px) { return !isBackground(px & 0xFFFFFF); }));
}

class DemoFigure : public ::testing::Test, protected PreviewDoubles {
protected:
    // One demo folder for the whole suite: writing it is the slow part.
    static void SetUpTestSuite() {
        folder_ = new TempDir;
        std::string error;
        ASSERT_TRUE(demoworld::writeDemoWorld(folder_->file("game"), error)) << error;
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }

    void SetUp() override {
        saved_ = platform::fileSystem().currentDirectory();
        ASSERT_TRUE(platform::fileSystem().setCurrentDirectory(folder_->file("game")));
        installDoubles();
    }
    void TearDown() override {
        removeDoubles();
        (void)platform::fileSystem().setCurrentDirectory(saved_);
    }

    // The preview as the program starts it: the default adult (or child)
    // look after the gender buttons' refills, greeting under way.
    preview::Preview& start(bool adult = true) {
        preview = std::make_unique<preview::Preview>(look, presenter, previewClock);
        look.setInstallFolder(folder_->file("game"));
        EXPECT_TRUE(preview::startPreview(*preview, look, &window, preview::kPreviewWidth, preview::kPreviewHeight));
        if (!adult) {
            preview->keepPlaying(kChildDefaults.animation);
            Appearance child;
            child.assign(kChildDefaults);
            look.describe(child, kMale, false, kFit, kMedium);
        }
        return *preview;
    }

    static TempDir* folder_;
    std::string saved_;
};

TempDir* DemoFigure::folder_ = nullptr;

// In the greeting and in the three postures the idles rest in: the crown
// and the whole head within the head rectangle, the whole figure within
// the body rectangle.
TEST_F(DemoFigure, AtZoomTwoFromTheFrontTheRectanglesFrameTheHeadAndTheWholeBody) {
    preview::Preview& p = start();
    p.setZoomLevel(2);
    p.setFacing(0);
    // Mid-greeting the waving hand is up beside the head.
    const struct {
        const char* animation;
        int frames;
        bool handsBelowTheHead;
    } moments[] = {{nullptr, 1, true},
                   {nullptr, 60, false},
                   {"a2o-idle-armsdown-breathe", 40, true},
                   {"a2o-idle-handships-breathe", 40, true},
                   {"a2o-idle-armscrossed-breathe", 40, true}};
    for (const auto& m : moments) {
        const std::string name = m.animation ? m.animation : "greeting";
        SCOPED_TRACE(name + " after " + std::to_string(m.frames) + " frames");
        if (m.animation) {
            ASSERT_TRUE(p.playAnimation(m.animation));
        }
        run(20 * static_cast<std::uint32_t>(m.frames));
        const Picture whole = picture();
        shoot(whole, "demo-zoom2-" + name + "-" + std::to_string(m.frames));

        const platform::ScreenRect figure = figureExtent(whole);
        EXPECT_GE(figure.left, kBodySnapshotRect.left) << describe(figure);
        EXPECT_GE(figure.top, kBodySnapshotRect.top) << describe(figure);
        EXPECT_LE(figure.right, kBodySnapshotRect.right) << describe(figure);
        EXPECT_LE(figure.bottom, kBodySnapshotRect.bottom) << describe(figure);
        EXPECT_GT(figure.height(), kBodySnapshotRect.height() * 9 / 10) << "the figure fills the body rectangle";

        // The head: from the crown down to above the chin nothing of the
        // figure lies outside the head rectangle's columns; a round head
        // fills a little over half of its square.
        EXPECT_LT(figure.top, kHeadSnapshotRect.top + 8) << "the crown at the head rectangle's top";
        if (m.handsBelowTheHead) {
            const platform::ScreenRect head = figureExtent(whole, figure.top, figure.top + 30);
            EXPECT_GE(head.left, kHeadSnapshotRect.left) << describe(head);
            EXPECT_LE(head.right, kHeadSnapshotRect.right) << describe(head);
        }
        const Picture headShot = picture(&kHeadSnapshotRect);
        EXPECT_GT(figurePixels(headShot), headShot.width * headShot.height / 2) << "the head fills it";
    }
}

// A dressed, lit, textured figure shows many colours; a missing texture or
// light would leave a few flat ones.
TEST_F(DemoFigure, TheBodySnapshotShowsATexturedLitFigure) {
    start();
    preview->setZoomLevel(2);
    run(200);
    const Picture body = picture(&kBodySnapshotRect);
    std::set<std::uint32_t> colours;
    for (std::uint32_t px : body.pixels)
        if (!isBackground(px & 0xFFFFFF)) colours.insert(px & 0xFFFFFF);
    EXPECT_GT(colours.size(), 300u);
    EXPECT_GT(figurePixels(body), body.width * body.height / 5);
}

// Smaller zooms keep a margin around the whole figure; the largest keeps
// the head and the width, and the feet run off the bottom (the camera
// scales about a point below the hips, and both figures stand on the same
// floor).
TEST_F(DemoFigure, EveryZoomKeepsTheFigureInThePicture) {
    for (bool adult : {true, false}) {
        start(adult);
        for (int zoom = 0; zoom <= 4; ++zoom) {
            SCOPED_TRACE((adult ? "adult at zoom " : "child at zoom ") + std::to_string(zoom));
            preview->setZoomLevel(zoom);
            run(40);
            const Picture whole = picture();
            shoot(whole, std::string(adult ? "demo-adult" : "demo-child") + "-zoom" + std::to_string(zoom));
            const platform::ScreenRect figure = figureExtent(whole);
            EXPECT_GE(figure.top, 4) << describe(figure);
            EXPECT_GE(figure.left, 4) << describe(figure);
            EXPECT_LE(figure.right, whole.width - 4) << describe(figure);
            if (zoom < 4) {
                EXPECT_LE(figure.bottom, whole.height - 4) << describe(figure);
            } else if (adult) {
                EXPECT_GT(figure.height(), whole.height * 9 / 10) << describe(figure);
            }
        }
        preview->tearDown();
    }
}

// The snapshots of the save command hold what the preview showed at zoom 2
// from the front, whatever view the user had.
TEST_F(DemoFigure, SnapshotsAreWrittenFromTheFrontAtZoomTwo) {
    platform::ImageLibrarySession images;
    preview::Preview& p = start();
    p.setZoomLevel(0);
    p.setFacing(2);
    run(100);
    const std::string head = folder_->file("Demohead.jpg"), body = folder_->file("Demobody.jpg");
    EXPECT_EQ(p.takeSnapshots(head, body), (std::vector<std::string>{head, body}));
    EXPECT_GT(folder_->read("Demohead.jpg").size(), 500u);
    EXPECT_GT(folder_->read("Demobody.jpg").size(), 2000u);
    EXPECT_EQ(p.view().zoomLevel, 0);
    EXPECT_FLOAT_EQ(p.view().facing, 2.0f);
    platform::fileSystem().remove(head);
    platform::fileSystem().remove(body);
}

}  // namespace
}  // namespace tryster::test
