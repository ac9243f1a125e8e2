// The window's live preview on the demo game folder.

#include "AppFixture.h"

#include "app/CTrysterApp.h"
#include "app/PreviewPane.h"
#include "platform/DisplaySystem.h"
#include "preview/FramePacing.h"
#include "preview/PreviewEngine.h"
#include "preview/PreviewPresenter.h"

#include <QBackingStore>

namespace tryster::app::tests {
namespace {

const QString kReady = QStringLiteral("The Ploms Tryster: Ready!");

// The figure's bounding box in the pane's picture: every pixel that is not
// the dark red background.
QRect figureExtent(const QImage& picture) {
    QRect box;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (!(qRed(row[x]) > 100 && qGreen(row[x]) < 20 && qBlue(row[x]) < 20)) box |= QRect(x, y, 1, 1);
    }
    return box;
}

class LivePreview : public WindowTest {
protected:
    void SetUp() override {
        showWindow = false;
        WindowTest::SetUp();
        QObject::connect(dialog.get(), &QWidget::windowTitleChanged, [this] {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            waitCursorAt << (cursor && cursor->shape() == Qt::WaitCursor);
        });
    }
    app::LivePreview& live() { return dialog->livePreview(); }
    PreviewPane& pane() { return *live().pane(); }
    // The picture after the pane has shown `count` more frames. Frames are
    // drawn once per display refresh and the test's clock stands still,
    // so it moves on by a refresh while waiting, and stops at the last
    // frame's time: a redraw right after shows the same pose.
    QImage nextPicture(int count = 2) {
        const int target = pane().framesShown() + count;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                if (pane().framesShown() >= target) return true;
                clock.ticks += kRefreshMs;
                return false;
            },
            10'000));
        return pane().picture();
    }
    static constexpr std::uint32_t kRefreshMs = 17;
    QImage grabbed() { return pane().grab(pane().surfaceRect()).toImage().convertToFormat(QImage::Format_RGB32); }
    // What the window's backing store holds where the pane's surface lies:
    // what the player sees, painted frame by frame.
    QImage painted() {
        QWidget* window = pane().window();
        const auto* store = dynamic_cast<const QImage*>(window->backingStore()->paintDevice());
        if (!store) return {};
        const double ratio = static_cast<double>(store->width()) / window->width();
        const QRect surface(pane().mapTo(window, pane().surfaceRect().topLeft()), pane().surfaceRect().size());
        const QRect device(qRound(surface.x() * ratio), qRound(surface.y() * ratio), qRound(surface.width() * ratio),
                           qRound(surface.height() * ratio));
        return store->copy(device).convertToFormat(QImage::Format_RGB32);
    }

    QList<bool> waitCursorAt;
};

TEST_F(LivePreview, TheSetUpShowsEachStepInTheTitleUnderTheWaitCursorThenGreets) {
    ASSERT_TRUE(waitUntilReady()) << titles.join(QLatin1Char('\n')).toStdString();
    QStringList expected;
    for (const char* step :
         {"Initializing DDD:", "Making AnimDevice", "Initing Anim Device", "Making Direct3D Device", "Making Viewport",
          "Changing Background to Glimmer Red", "Initializing Render State", "Creating Camera", "Positioning Camera",
          "Making lights", "Making Skeleton", "Building directory", "Loading data - This takes a while...",
          "Setting default button states", "Creating the plom", "Ready!"})
        expected << "The Ploms Tryster: " + QString::fromLatin1(step);
    EXPECT_EQ(titles, expected);
    EXPECT_FALSE(waitCursorAt.contains(false)) << "the wait cursor stands from the first step";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "and goes after the last";
    EXPECT_EQ(std::count(sounds.events.begin(), sounds.events.end(),
                         Sound{Sound::Resource, "Vox_heyshM2", platform::PlayMode::Async}),
              1);
    EXPECT_EQ(control<QComboBox>("Body Type")->currentText(), "Fit");
    EXPECT_EQ(control<QComboBox>("Skin Type")->currentText(), "Medium");
    EXPECT_EQ(live().preview().animationName(), "a2o-heyyou1") << "the figure waves first";
}

// The pane paints the frames it is given inside its frame. The screen's
// pixel ratio sets the render scale (ctest runs this once more
// with QT_SCALE_FACTOR=2); a change of scale gives pictures of the new size
// with the same framing, and the pane still shows the whole figure.
TEST_F(LivePreview, TheRenderScaleFollowsTheScreenAndKeepsTheFraming) {
    ASSERT_TRUE(waitUntilReady());
    const float screen = pane().renderScale();
    EXPECT_EQ(live().preview().renderScale(), screen);
    auto sizeAt = [](float scale) {
        const platform::ScreenRect area =
            preview::Preview::scaledArea(preview::kPreviewWidth, preview::kPreviewHeight, scale);
        return QSize(area.width(), area.height());
    };
    const QImage first = nextPicture();
    EXPECT_EQ(first.size(), sizeAt(screen));
    EXPECT_EQ(pane().surfaceRect().size(), QSize(preview::kPreviewWidth, preview::kPreviewHeight))
        << "the frame lies around the surface";
    EXPECT_GT(figureExtent(first).height(), 60 * screen);
    if (screen == 1.0f) {
        EXPECT_EQ(figureExtent(grabbed()), figureExtent(first)) << "painted one to one";
    }

    const float other = screen == 1.0f ? 2.0f : 1.0f;
    ASSERT_TRUE(live().preview().setRenderScale(other));
    live().redrawNow();  // the same pose at the new scale
    const QImage second = pane().picture();
    EXPECT_EQ(second.size(), sizeAt(other));
    const QRect a = figureExtent(first), b = figureExtent(second);
    const double ratio = static_cast<double>(other) / screen;
    EXPECT_NEAR(b.height(), a.height() * ratio, 4 * ratio) << "the same framing at the new scale";
    EXPECT_NEAR(b.center().x(), a.center().x() * ratio, 4 * ratio);

    // Painted into the pane's own size, never cropped (the outermost device
    // pixels of a scaled picture blend with the frame).
    const QImage shown = grabbed();
    const QRect inPane = figureExtent(shown.copy(shown.rect().adjusted(0, 0, -2, -2)));
    const double toPane = shown.width() / static_cast<double>(second.width());
    EXPECT_NEAR(inPane.height(), b.height() * toPane, 4);
    EXPECT_NEAR(inPane.bottom(), b.bottom() * toPane, 4);
}

// The view controls set the preview's view (the pictures of each view are
// the preview's own tests): a facing stops the rotation while the rotate
// list keeps its choice; the lists click, the slider does not.
TEST_F(LivePreview, TheViewControlsTurnAndZoomTheFigure) {
    ASSERT_TRUE(waitUntilReady());
    auto* rotate = control<QComboBox>("Rotate");
    auto* facing = control<QComboBox>("Facing");
    const preview::CameraView& view = live().preview().view();
    sounds.events.clear();
    control<QSlider>("Zoom")->setValue(preview::kMaxZoomLevel);
    EXPECT_EQ(view.zoomLevel, preview::kMaxZoomLevel);
    EXPECT_TRUE(sounds.events.empty());
    rotate->setCurrentIndex(rotate->findText(QStringLiteral("Fast")));
    const QImage before = nextPicture();
    clock.ticks += 300;  // a little under half a quarter turn
    EXPECT_NE(before, nextPicture());
    EXPECT_GT(view.facing, 0.4f);

    facing->setCurrentIndex(facing->findText(QStringLiteral("North West")));
    EXPECT_EQ(rotate->currentText(), "Fast");
    clock.ticks += 500;
    (void)nextPicture();
    EXPECT_FLOAT_EQ(view.facing, 2.0f);
    EXPECT_EQ(sounds.events, (std::vector<Sound>{kClick, kClick}));
}

TEST_F(LivePreview, AnotherActiveApplicationSlowsTheTimerToOneFiftyMilliseconds) {
    ASSERT_TRUE(waitUntilReady());
    live().setApplicationActive(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return live().frameTimerActive(); }, 1000)) << "started again";
    EXPECT_EQ(live().frameTimerIntervalMs(), 150);
    live().setApplicationActive(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return live().frameTimerActive(); }, 1000));
    // Every 10 ms again, or a little more where frames cost more than
    // half that (as a checked build's may).
    EXPECT_EQ(std::optional(live().frameTimerIntervalMs()), live().pacing().nextFrameDelayMs(clock.ticks));
    EXPECT_LT(live().frameTimerIntervalMs(), 150) << "faster again";

    // Ten ticks 10 ms apart on the test's clock span six refreshes of a
    // 60 Hz display: the turning figure is drawn at each, and only then.
    live().preview().setRotationSpeed(1.0f);
    (void)nextPicture(1);
    const int before = pane().framesShown();
    for (int i = 0; i < 10; ++i) {
        clock.ticks += 10;
        live().tick();
    }
    const int drawn = pane().framesShown() - before;
    EXPECT_GE(drawn, 5) << "drawn at every refresh";
    EXPECT_LE(drawn, 7) << "drawn at most once per display refresh";

    // Woken once per refresh, the window runs the tick it slept through in
    // each, then draws.
    const std::uint32_t steps = live().preview().clock().frameCount();
    const int shown = pane().framesShown();
    for (int i = 0; i < 6; ++i) {
        clock.ticks += kRefreshMs;
        live().tick();
    }
    EXPECT_EQ(live().preview().clock().frameCount() - steps, 12u) << "every 10 ms on the clock";
    EXPECT_EQ(pane().framesShown() - shown, 6) << "one picture per wake-up";
}

// Receives a headless preview's whole frames as the pane keeps them.
class PictureWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return {0, 0, 0, 0}; }
    void showFrame(const platform::LockedSurface& frame, const platform::ScreenRect&) override {
        ASSERT_EQ(frame.format.bitsPerPixel, 32);
        picture = QImage(frame.pixels, frame.width, frame.height, frame.pitch, QImage::Format_RGB32).copy();
    }
    QImage picture;
};

// The window moves the figure at every tick but draws only some ticks and
// presents only the figure's boxes, painted straight into the window; what
// the window shows is still, pixel for pixel, the whole picture a headless
// preview draws at the same clock time, while the figure turns (its box
// moving), zooms and breathes. So is the pane's picture, made anew when
// asked for. Run at both scales (see above).
TEST_F(LivePreview, ThePaneHoldsTheWholePictureOfEachClockTime) {
    ASSERT_TRUE(waitUntilReady());
    preview::Preview& shown = live().preview();
    preview::SilentPresenter presenter;
    preview::PreviewClock headlessClock;
    Character character;
    preview::LookModel look{character};
    look.setInstallFolder(game);
    preview::Preview headless(look, presenter, headlessClock);
    PictureWindow window;
    ASSERT_TRUE(preview::startPreview(headless, look, &window, preview::kPreviewWidth, preview::kPreviewHeight,
                                      shown.renderScale()));

    // Both step `ms` on, the window at its next tick: the facing adds up the
    // turn of each step, so the headless preview takes the same steps.
    auto stepBoth = [&](std::uint32_t ms, bool draw = true) {
        clock.ticks += ms;
        if (!QTest::qWaitFor([&] { return shown.clock().lastRealTimeMs() == clock.ticks; }, 10'000)) return false;
        // The ticks the window ran late, at their own times.
        while (const auto missed = preview::FramePacing::missedTick(headlessClock.lastRealTimeMs(), clock.ticks))
            headless.missedTick(*missed);
        return !headless.frame(nullptr, draw, true);
    };
    ASSERT_TRUE(stepBoth(kRefreshMs));
    shown.standStill();
    headless.standStill();
    ASSERT_TRUE(stepBoth(900));  // any blending out of the greeting is over
    for (preview::Preview* p : {&shown, &headless}) {
        p->keepPlaying("a2o-idle-armsdown-breathe");
        p->setRotationSpeed(1.0f);
    }
    int compared = 0;
    for (std::uint32_t step : {5u, 40u, 3u, 120u, 17u, 260u, 9u, 33u, 700u, 25u}) {
        if (step < kRefreshMs) {
            ASSERT_TRUE(stepBoth(step, false));  // a tick that may not draw
            continue;
        }
        const int frames = pane().framesShown();
        ASSERT_TRUE(stepBoth(step));
        ASSERT_GT(pane().framesShown(), frames) << "the figure moved";
        EXPECT_TRUE(pane().pictureBehind()) << "painted straight";
        const QImage seen = painted();
        ASSERT_EQ(seen.size(), window.picture.size());
        EXPECT_TRUE(seen == window.picture) << "after a step of " << step << " ms";
        if (compared % 3 == 0) {  // not every time: the pane's own copy is made anew for it
            ASSERT_EQ(pane().picture().size(), window.picture.size());
            EXPECT_TRUE(pane().picture() == window.picture) << "after a step of " << step << " ms";
        }
        if (compared++ == 3) {
            shown.setZoomLevel(preview::kMaxZoomLevel);
            headless.setZoomLevel(preview::kMaxZoomLevel);
        }
    }
    EXPECT_EQ(compared, 7);
    headless.tearDown();
}

// (A hidden window is the automation close's case in StartUp.)
TEST_F(LivePreview, NothingIsDrawnWhileMinimised) {
    ASSERT_TRUE(waitUntilReady());
    (void)nextPicture();
    const int frames = pane().framesShown();
    dialog->showMinimized();
    QTest::qWait(100);
    if (dialog->isMinimized()) {  // some platforms refuse to minimise
        EXPECT_FALSE(live().frameTimerActive());
        EXPECT_EQ(pane().framesShown(), frames);
    }
    dialog->showNormal();
    (void)nextPicture();  // the timer starts again when shown
}

TEST_F(LivePreview, ASetUpThatStopsIsTriedAgainWithoutStackingCursors) {
    platform::installDisplaySystemFactory([] { return std::unique_ptr<platform::DisplaySystem>(); });
    dialog->show();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return titles.count("The Ploms Tryster: Initing Anim Device") >= 3; }, 10'000));
    EXPECT_FALSE(live().preview().initialised());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    platform::installDisplaySystemFactory({});
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->windowTitle() == kReady; }, 60'000));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(LivePreview, TeardownReleasesThePreviewAndMayRunTwice) {
    ASSERT_TRUE(waitUntilReady());
    live().tearDown();
    EXPECT_FALSE(live().preview().initialised());
    EXPECT_FALSE(live().frameTimerActive());
    live().tearDown();
    dialog->close();  // and the close's own teardown
    EXPECT_EQ(animDevice(live().preview()), nullptr);
}

using MissingGame = AppTest;

TEST_F(MissingGame, TheFirstTickShowsTheErrorAndTheProgramEndsWithMinusOne) {
    addTemplate();
    pointRegistryAt(configDir.file("empty"));
    configDir.write("empty/readme.txt", "not a game");
    RecordingAutomation automation;
    CTrysterApp app(automation);
    EXPECT_EQ(app.initInstance({"tryster"}), -1);
    ASSERT_FALSE(runner.shown.empty());
    const ShownDialog& box = runner.shown.back();
    EXPECT_EQ(box.className, "tryster::app::CPlomSaved");
    EXPECT_EQ(box.caption, "Tryster Error");
    EXPECT_EQ(box.message, QString::fromLatin1(preview::kGameMissingText.data()));
    EXPECT_EQ(box.ownerTitle, "The Ploms Tryster: Building directory");
}

}  // namespace
}  // namespace tryster::app::tests
