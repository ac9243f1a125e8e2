// What the preview presents: on a high-density screen the same view with
// more pixels and the snapshots as at scale 1; as the window drives it,
// only what changed.

#include "PreviewHarness.h"
#include "demoworld/DemoFolder.h"
#include "render/Scene.h"

#include "formats/ImageLibrary.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tryster::test {
namespace {

using preview::kPreviewHeight;
using preview::kPreviewWidth;

class RenderScale : public PreviewTest {
protected:
    static constexpr std::uint32_t kStart = 5'000'000;

    // A fresh preview at `scale`, turning slowly, after the same 400 ms of
    // its clock whatever came before; `switchTo`, when given, is the scale
    // it changes to halfway.
    Picture drawnAt(float scale, float switchTo = 0) {
        writeInstall();
        clock.ticks = kStart;
        previewClocks.emplace_back(std::make_unique<preview::PreviewClock>());
        preview = std::make_unique<preview::Preview>(look, presenter, *previewClocks.back());
        EXPECT_TRUE(preview::startPreview(*preview, look, &window, kPreviewWidth, kPreviewHeight, scale));
        preview->setRotationSpeed(0.1f);
        run(200);
        if (switchTo > 0) {
            EXPECT_TRUE(preview->setRenderScale(switchTo));
        }
        run(200);
        return picture();
    }

    std::vector<std::unique_ptr<preview::PreviewClock>> previewClocks;
};

// Each 2 × 2 block of `p` averaged into one pixel.
Picture halved(const Picture& p) {
    Picture out;
    out.width = p.width / 2;
    out.height = p.height / 2;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            int sum[3] = {};
            for (int k = 0; k < 4; ++k) {
                const std::uint32_t q = p.at(2 * x + k % 2, 2 * y + k / 2);
                sum[0] += red(q);
                sum[1] += green(q);
                sum[2] += blue(q);
            }
            out.pixels.push_back(static_cast<std::uint32_t>((sum[0] / 4) << 16 | (sum[1] / 4) << 8 | sum[2] / 4));
        }
    return out;
}

TEST_F(RenderScale, TwiceThePixelsShowTheSamePicture) {
    const Picture single = drawnAt(1);
    const Picture twice = drawnAt(2);
    ASSERT_EQ(single.width, kPreviewWidth);
    ASSERT_EQ(twice.width, 2 * kPreviewWidth);
    ASSERT_EQ(twice.height, 2 * kPreviewHeight);

    // Averaged down, the pixels match but for the edges, which the finer
    // raster draws a little differently.
    const Picture reduced = halved(twice);
    int differing = 0;
    for (int y = 0; y < single.height; ++y)
        for (int x = 0; x < single.width; ++x)
            differing += channelDifference(single.at(x, y), reduced.at(x, y)) > 48;
    EXPECT_LT(differing, single.width * single.height / 100);

    // The figure stands in the same place, twice as large.
    const platform::ScreenRect one = figureExtent(single), two = figureExtent(twice);
    EXPECT_GT(one.right - one.left, 20) << "a figure is there";
    for (auto [a, b] : {std::pair{one.left, two.left}, {one.top, two.top}, {one.right, two.right},
                        {one.bottom, two.bottom}})
        EXPECT_NEAR(b, 2 * a, 2);
}

TEST_F(RenderScale, ChangingTheScaleDrawsAsIfSetUpWithIt) {
    const Picture setUpAtTwo = drawnAt(2);
    const Picture switched = drawnAt(1, 2);
    EXPECT_EQ(switched.width, setUpAtTwo.width);
    EXPECT_EQ(switched.pixels, setUpAtTwo.pixels);
    const Picture back = drawnAt(2, 1);
    EXPECT_EQ(back.pixels, drawnAt(1).pixels);
}

TEST_F(RenderScale, SnapshotsAreTheSameAtEveryScale) {
    formats::ImageLibrarySession images;
    std::vector<std::string> shots;
    for (float scale : {1.0f, 2.0f, 1.5f}) {
        drawnAt(scale);
        const std::string head = "head" + std::to_string(shots.size()) + ".jpg",
                          body = "body" + std::to_string(shots.size()) + ".jpg";
        ASSERT_EQ(preview->takeSnapshots(dir.file(head), dir.file(body)).size(), 2u);
        shots.push_back(dir.read(head) + dir.read(body));
        EXPECT_EQ(picture().width, preview::Preview::scaledArea(kPreviewWidth, kPreviewHeight, scale).width())
            << "the preview draws at its scale again";
    }
    EXPECT_EQ(shots[1], shots[0]);
    EXPECT_EQ(shots[2], shots[0]);
}

TEST_F(RenderScale, ScalesOutsideTheRangeAreRefused) {
    drawnAt(1);
    for (float bad : {0.0f, -1.0f, 0.25f, 8.0f, std::nanf("")}) {
        EXPECT_FALSE(preview->setRenderScale(bad)) << bad;
        EXPECT_FLOAT_EQ(preview->renderScale(), 1.0f);
    }
    EXPECT_EQ(preview::Preview::scaledArea(kPreviewWidth, kPreviewHeight, 1.25f),
              (platform::ScreenRect{0, 0, 414, 538}))
        << "each side rounded and made even";
    preview::Preview later(look, presenter, previewClock);
    EXPECT_FALSE(later.setUp(&window, kPreviewWidth, kPreviewHeight, 5.0f));
}

// The preview as the window drives it: each present shows only what
// changed, and a frame like the last one drawn is not drawn at all. A
// window that keeps what it was shown must still hold the whole picture.
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
    EXPECT_FALSE(preview->frame(nullptr, true, true));
    EXPECT_EQ(copying.shown.size(), presents + 4) << "a whole frame asked for";
    EXPECT_TRUE(whole(copying.shown.back(), picture()));
    preview->keepPlaying("a2o-idle-armsdown-breathe");
    run(100, 50);
    EXPECT_EQ(copying.shown.size(), presents + 6) << "moving again";
    EXPECT_TRUE(copyIsWhole());
}

// Drawing only the blocks the moving triangles cross: the same pictures
// as whole redraws at the same clock times, in the window's copy as on the
// surface, through idles of the demo figure, a turn, a zoom and a change
// of scale.
class RedrawnBlocks : public ::testing::Test, protected PreviewDoubles {
protected:
    RedrawnBlocks() { installDoubles(); }
    ~RedrawnBlocks() override { removeDoubles(); }

    struct Run {
        std::vector<Picture> frames;
        std::vector<platform::ScreenRect> shown;
        bool copyWhole = true;
    };
    Run framesOf(float scale, bool limited) {
        clock.ticks = 5'000'000;
        platform::seedRandom(7);  // the same voices and idles
        previewClocks.emplace_back(std::make_unique<preview::PreviewClock>());
        CopyingWindow copying;
        preview = std::make_unique<preview::Preview>(look, presenter, *previewClocks.back());
        look.setInstallFolder(demoFolder());
        preview->setPresentChangesOnly(true);
        preview->setRedraw(limited ? preview::Preview::Redraw::ChangedBlocks
                                   : preview::Preview::Redraw::Whole);
        EXPECT_TRUE(preview::startPreview(*preview, look, &copying, kPreviewWidth, kPreviewHeight, scale));
        preview->keepPlaying("a2o-idle3");  // the head turns, nothing else moves
        run(1000, 50);                      // once the greeting has blended out
        Run r;
        for (int i = 0; i < 60; ++i) {
            if (i == 30) preview->keepPlaying("a2o-idle8");  // a hand scratches the head
            if (i == 40) preview->setFacing(0.5f);
            if (i == 45) preview->setZoomLevel(preview::kMaxZoomLevel);
            if (i == 50) {
                EXPECT_TRUE(preview->setRenderScale(scale == 1 ? 2.0f : 1.0f));
            }
            run(20, 20);
            Picture p = picture();
            for (std::size_t k = 0; k < p.pixels.size(); ++k)
                r.copyWhole = r.copyWhole && (copying.copy.pixels[k] & 0xFFFFFF) == (p.pixels[k] & 0xFFFFFF);
            r.frames.push_back(std::move(p));
        }
        r.shown = copying.shown;
        preview.reset();
        return r;
    }

    InDemoFolder in;
    std::vector<std::unique_ptr<preview::PreviewClock>> previewClocks;
};

TEST_F(RedrawnBlocks, GiveThePicturesOfWholeRedrawsAtBothScales) {
    for (float scale : {1.0f, 2.0f}) {
        const Run whole = framesOf(scale, false), limited = framesOf(scale, true);
        ASSERT_EQ(limited.frames.size(), whole.frames.size());
        for (std::size_t i = 0; i < whole.frames.size(); ++i)
            ASSERT_TRUE(limited.frames[i].pixels == whole.frames[i].pixels)
                << "scale " << scale << ", frame " << i;
        EXPECT_TRUE(limited.copyWhole) << scale;
        // While only the head or an arm moves, the limited frames show a
        // part of the figure's boxes.
        ASSERT_EQ(limited.shown.size(), whole.shown.size());
        int smaller = 0;
        for (std::size_t i = 0; i < whole.shown.size(); ++i)
            smaller += limited.shown[i].height() < whole.shown[i].height() / 2;
        EXPECT_GT(smaller, 10) << scale;
    }
}

}  // namespace
}  // namespace tryster::test
