// The preview on the demo game folder: the body snapshot of the figure users
// first see shows it textured and lit.

#include "PreviewHarness.h"

#include "demoworld/DemoWorld.h"
#include "formats/ImageLibrary.h"
#include "platform/FileSystem.h"

#include <set>

namespace tryster::test {
namespace {

using preview::kBodySnapshotRect;

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
            Character child;
            child.appearance.isAdult = false;
            child.appearance.assign(kChildDefaults);
            look.describe(child);
        }
        return *preview;
    }

    static TempDir* folder_;
    std::string saved_;
};

TempDir* DemoFigure::folder_ = nullptr;

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

}  // namespace
}  // namespace tryster::test
