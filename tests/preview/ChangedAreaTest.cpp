// The preview as the window drives it: each present shows only what
// changed, and a frame like the last one drawn is not drawn at all. A
// window that keeps what it was shown must still hold the whole picture.

#include "PreviewHarness.h"

#include <cstring>

namespace tryster::test {
namespace {

// Keeps a copy of the surface, updated only where a present shows it.
class CopyingWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return {0, 0, 640, 480}; }
    void showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) override {
        ASSERT_EQ(frame.format.bitsPerPixel, 32);
        if (copy.width != frame.width || copy.height != frame.height) {
            copy.width = frame.width;
            copy.height = frame.height;
            copy.pixels.assign(static_cast<std::size_t>(frame.width * frame.height),
                               0x00FF00);  // never drawn
        }
        for (int y = source.top; y < source.bottom; ++y)
            std::memcpy(&copy.pixels[static_cast<std::size_t>(y * frame.width + source.left)],
                        frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + source.left * 4,
                        static_cast<std::size_t>(source.width()) * 4);
        shown.push_back(source);
    }
    Picture copy;
    std::vector<platform::ScreenRect> shown;
};

class ChangedArea : public PreviewTest {
protected:
    void SetUp() override {
        PreviewTest::SetUp();
        writeInstall();
        preview = std::make_unique<preview::Preview>(look, presenter, previewClock);
        preview->setPresentChangesOnly(true);
        ASSERT_TRUE(
            preview::startPreview(*preview, look, &copying, preview::kPreviewWidth, preview::kPreviewHeight));
    }
    // The window's copy against the surface, masked to 0xRRGGBB.
    bool copyIsWhole() {
        const Picture drawn = picture();
        if (copying.copy.width != drawn.width || copying.copy.height != drawn.height) return false;
        for (std::size_t i = 0; i < drawn.pixels.size(); ++i)
            if ((copying.copy.pixels[i] & 0xFFFFFF) != (drawn.pixels[i] & 0xFFFFFF)) return false;
        return true;
    }
    static bool whole(const platform::ScreenRect& r, const Picture& p) {
        return r.left == 0 && r.top == 0 && r.right == p.width && r.bottom == p.height;
    }

    CopyingWindow copying;
};

TEST_F(ChangedArea, TheWindowsCopyHoldsTheWholePictureWhileTheFigureTurnsZoomsAndChangesScale) {
    preview->setRotationSpeed(1.5f);
    for (int i = 0; i < 12; ++i) {
        run(40, 40);
        ASSERT_TRUE(copyIsWhole()) << "frame " << i;
        if (i == 4) preview->setZoomLevel(preview::kMaxZoomLevel);
        if (i == 8) preview->setZoomLevel(0);
    }
    EXPECT_FALSE(whole(copying.shown.back(), picture())) << "a turning figure shows only its boxes";
    EXPECT_GT(copying.shown.back().width(), 20);

    ASSERT_TRUE(preview->setRenderScale(2.0f));
    run(40, 40);
    EXPECT_TRUE(whole(copying.shown.back(), picture())) << "surfaces made anew show everything";
    run(40, 40);
    EXPECT_TRUE(copyIsWhole());
}

TEST_F(ChangedArea, AFigureStandingStillIsNotDrawnAgainUntilSomethingVisibleChanges) {
    preview->standStill();
    run(1500, 50);  // the greeting blends out
    const std::size_t presents = copying.shown.size();
    run(500, 50);
    EXPECT_EQ(copying.shown.size(), presents) << "the same pose, facing and zoom";

    preview->setZoomLevel(preview::kMaxZoomLevel);
    run(50, 50);
    EXPECT_EQ(copying.shown.size(), presents + 1) << "another zoom";
    preview->setFacing(1.0f);
    run(50, 50);
    EXPECT_EQ(copying.shown.size(), presents + 2) << "another facing";
    preview->holdFiles(nullptr);
    run(50, 50);
    EXPECT_EQ(copying.shown.size(), presents + 3) << "the clothes put on again";
    EXPECT_EQ(preview->frame(nullptr, true, true), render::render_error::kOk);
    EXPECT_EQ(copying.shown.size(), presents + 4) << "a whole frame asked for";
    EXPECT_TRUE(whole(copying.shown.back(), picture()));
    preview->keepPlaying("a2o-idle-armsdown-breathe");
    run(100, 50);
    EXPECT_EQ(copying.shown.size(), presents + 6) << "moving again";
    EXPECT_TRUE(copyIsWhole());
}

}  // namespace
}  // namespace tryster::test
