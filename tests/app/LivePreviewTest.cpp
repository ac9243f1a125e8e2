// The window's live preview on the demo game folder: the set-up seen in the
// title, the figure in the pane, the view controls, the timer's pace, and
// the window's states in which nothing is drawn.

#include "AppFixture.h"

#include "app/CTrysterApp.h"
#include "app/CTrysterDlg.h"
#include "app/ControlIds.h"
#include "app/PreviewPane.h"
#include "demoworld/DemoFolder.h"
#include "platform/Clock.h"
#include "platform/DisplaySystem.h"

#include <QComboBox>
#include <QSlider>
#include <QTest>

namespace tryster::app::tests {
namespace {

using platform::PlayMode;

const QString kReady = QStringLiteral("The Ploms Tryster: Ready!");
constexpr int kSetUpTimeoutMs = 60'000;

// The figure's bounding box in the pane's picture: every pixel that is not
// the dark red background.
QRect figureExtent(const QImage& picture) {
    QRect box;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = row[x];
            const bool background = qRed(p) > 100 && qGreen(p) < 20 && qBlue(p) < 20;
            if (!background) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

class LivePreview : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        addTemplate();
        pointRegistryAt(test::demoFolder());
        platform::installClockSource(&clock);
        dialog = std::make_unique<CTrysterDlg>(startDir.str());
        QObject::connect(dialog.get(), &QWidget::windowTitleChanged, [this](const QString& title) {
            titles << title;
            const QCursor* cursor = QGuiApplication::overrideCursor();
            waitCursorAt << (cursor && cursor->shape() == Qt::WaitCursor);
        });
        dialog->initDialog();
        titles.clear();
        waitCursorAt.clear();
    }
    void TearDown() override {
        dialog.reset();
        platform::installClockSource(nullptr);
        AppTest::TearDown();
    }

    bool showAndWaitForReady() {
        dialog->show();
        return QTest::qWaitFor([&] { return dialog->windowTitle() == kReady; }, kSetUpTimeoutMs);
    }
    PreviewPane& pane() { return *dialog->previewPane(); }
    // The picture after the pane has shown `count` more frames.
    QImage nextPicture(int count = 2) {
        const int target = pane().framesShown() + count;
        EXPECT_TRUE(QTest::qWaitFor([&] { return pane().framesShown() >= target; }, 10'000));
        return pane().picture();
    }
    template <typename T>
    T* control(int id) {
        return qobject_cast<T*>(dialog->control(id));
    }

    platform::FixedClock clock{10'000'000};
    std::unique_ptr<CTrysterDlg> dialog;
    QStringList titles;
    QList<bool> waitCursorAt;
};

TEST_F(LivePreview, TheSetUpShowsEachStepInTheTitleUnderTheWaitCursorThenGreets) {
    ASSERT_TRUE(showAndWaitForReady()) << titles.join(QLatin1Char('\n')).toStdString();
    const QStringList expected = {"Initializing DDD:",
                                  "Making AnimDevice",
                                  "Initing Anim Device",
                                  "Making Direct3D Device",
                                  "Making Viewport",
                                  "Changing Background to Glimmer Red",
                                  "Initializing Render State",
                                  "Creating Camera",
                                  "Positioning Camera",
                                  "Making lights",
                                  "Making Skeleton",
                                  "Building directory",
                                  "Loading data - This takes a while...",
                                  "Setting default button states",
                                  "Creating the plom",
                                  "Ready!"};
    QStringList withCaption;
    for (const QString& step : expected) withCaption << "The Ploms Tryster: " + step;
    EXPECT_EQ(titles, withCaption);
    EXPECT_FALSE(waitCursorAt.contains(false)) << "the wait cursor stands from the first step";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "and goes after the last";

    int greetings = 0;
    for (const Sound& s : sounds.events)
        if (s == Sound{Sound::Resource, "Vox_heyshM2", PlayMode::Async}) ++greetings;
    EXPECT_EQ(greetings, 1);
    EXPECT_EQ(control<QComboBox>(IDC_BODY_TYPE_LIST)->currentText(), "Fit");
    EXPECT_EQ(control<QComboBox>(IDC_SKIN_TYPE_LIST)->currentText(), "Medium");
    EXPECT_EQ(dialog->preview().animationName(), "a2o-heyyou1") << "the figure waves first";
}

// The screen's pixel ratio sets the render scale (ctest runs this once more
// with QT_SCALE_FACTOR=2); a change of scale gives pictures of the new size
// with the same framing, and the pane still shows the whole figure.
TEST_F(LivePreview, TheRenderScaleFollowsTheScreenAndKeepsTheFraming) {
    ASSERT_TRUE(showAndWaitForReady());
    const float screen = pane().renderScale();
    EXPECT_EQ(dialog->preview().renderScale(), screen);
    auto sizeAt = [](float scale) {
        const platform::ScreenRect area =
            preview::Preview::scaledArea(preview::kPreviewWidth, preview::kPreviewHeight, scale);
        return QSize(area.width(), area.height());
    };
    const QImage first = nextPicture();
    EXPECT_EQ(first.size(), sizeAt(screen));

    const float other = screen == 1.0f ? 2.0f : 1.0f;
    ASSERT_TRUE(dialog->preview().setRenderScale(other));
    const QImage second = nextPicture();
    EXPECT_EQ(second.size(), sizeAt(other));
    const QRect a = figureExtent(first), b = figureExtent(second);
    const double ratio = static_cast<double>(other) / screen;
    EXPECT_NEAR(b.height(), a.height() * ratio, 4 * ratio) << "the same framing at the new scale";
    EXPECT_NEAR(b.center().x(), a.center().x() * ratio, 4 * ratio);

    // Painted into the pane's own size, never cropped.
    const QImage grabbed = pane().grab(pane().surfaceRect()).toImage().convertToFormat(QImage::Format_RGB32);
    // (the outermost device pixels of a scaled picture blend with the frame)
    const QRect shown = figureExtent(grabbed.copy(grabbed.rect().adjusted(0, 0, -2, -2)));
    const double toPane = grabbed.width() / static_cast<double>(second.width());
    EXPECT_NEAR(shown.height(), b.height() * toPane, 4);
    EXPECT_NEAR(shown.bottom(), b.bottom() * toPane, 4);
}

TEST_F(LivePreview, TheFigureIsDrawnInThePaneAtTheSurfaceSize) {
    ASSERT_TRUE(showAndWaitForReady());
    const QImage picture = nextPicture();
    EXPECT_EQ(picture.size(), QSize(preview::kPreviewWidth, preview::kPreviewHeight));
    EXPECT_EQ(pane().surfaceRect().size(), picture.size()) << "the frame lies around the surface";
    const QRect figure = figureExtent(picture);
    EXPECT_GT(figure.width(), 20);
    EXPECT_GT(figure.height(), 60);
    // The pane paints what it was given.
    const QImage grabbed = pane().grab(pane().surfaceRect()).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(figureExtent(grabbed), figure);
}

TEST_F(LivePreview, ZoomFourShowsALargerFigureThanZoomZero) {
    ASSERT_TRUE(showAndWaitForReady());
    auto* zoom = control<QSlider>(IDC_ZOOM_SLIDER);
    zoom->setValue(0);
    const QRect small = figureExtent(nextPicture());
    zoom->setValue(4);
    const QRect large = figureExtent(nextPicture());
    EXPECT_EQ(dialog->preview().view().zoomLevel, 4);
    EXPECT_GT(large.height(), small.height() * 2);
    EXPECT_GT(large.width(), small.width() * 2);
}

TEST_F(LivePreview, FastRotationTurnsTheFigureAndAFacingFreezesIt) {
    ASSERT_TRUE(showAndWaitForReady());
    auto* rotate = control<QComboBox>(IDC_ROTATE_LIST);
    auto* facing = control<QComboBox>(IDC_FACING_LIST);
    rotate->setCurrentIndex(rotate->findText(QStringLiteral("Fast")));
    const QImage before = nextPicture();
    clock.ticks += 300;  // a little under half a quarter turn
    const QImage after = nextPicture();
    EXPECT_NE(before, after);

    facing->setCurrentIndex(facing->findText(QStringLiteral("North West")));
    EXPECT_EQ(rotate->currentText(), "Fast") << "the rotate list keeps its choice";
    (void)nextPicture();
    const float frozen = dialog->preview().view().facing;
    EXPECT_FLOAT_EQ(frozen, 2.0f);
    clock.ticks += 500;
    (void)nextPicture();
    EXPECT_FLOAT_EQ(dialog->preview().view().facing, frozen);
}

TEST_F(LivePreview, TheFacingAndRotateListsClickAndTheZoomSliderDoesNot) {
    auto* rotate = control<QComboBox>(IDC_ROTATE_LIST);
    auto* facing = control<QComboBox>(IDC_FACING_LIST);
    sounds.events.clear();
    control<QSlider>(IDC_ZOOM_SLIDER)->setValue(1);
    EXPECT_TRUE(sounds.events.empty());
    facing->setCurrentIndex(0);
    rotate->setCurrentIndex(2);
    const Sound click{Sound::Resource, "Click", PlayMode::Async};
    EXPECT_EQ(sounds.events, (std::vector<Sound>{click, click}));
    EXPECT_FLOAT_EQ(dialog->preview().view().rotationSpeed, 1.5f);
    EXPECT_EQ(dialog->preview().view().zoomLevel, 1);
}

TEST_F(LivePreview, AnotherActiveApplicationSlowsTheTimerToOneFiftyMilliseconds) {
    ASSERT_TRUE(showAndWaitForReady());
    dialog->setApplicationActive(true);
    EXPECT_EQ(dialog->framePeriodMs(), 10);
    dialog->setApplicationActive(false);
    EXPECT_EQ(dialog->framePeriodMs(), 150);
    // The running timer was started again with the new period.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->frameTimerActive(); }, 1000));
    const int before = pane().framesShown();
    QTest::qWait(100);
    EXPECT_LE(pane().framesShown() - before, 1) << "at most one tick in 100 ms";
    dialog->setApplicationActive(true);
    EXPECT_EQ(dialog->framePeriodMs(), 10);
}

TEST_F(LivePreview, NothingIsDrawnWhileHiddenMinimisedOrSuspended) {
    ASSERT_TRUE(showAndWaitForReady());
    (void)nextPicture();
    dialog->hide();
    EXPECT_FALSE(dialog->frameTimerActive());
    int frames = pane().framesShown();
    QTest::qWait(100);
    EXPECT_EQ(pane().framesShown(), frames);

    dialog->showMinimized();
    QTest::qWait(100);
    if (dialog->isMinimized()) {  // some platforms refuse to minimise
        EXPECT_FALSE(dialog->frameTimerActive());
        EXPECT_EQ(pane().framesShown(), frames);
    }
    dialog->showNormal();
    (void)nextPicture();  // the timer starts again when shown

    dialog->preview().setSuspended(true);
    frames = pane().framesShown();
    QTest::qWait(100);
    EXPECT_EQ(pane().framesShown(), frames);
    EXPECT_TRUE(dialog->frameTimerActive()) << "ticks go on, doing nothing";
    dialog->preview().setSuspended(false);
    (void)nextPicture();
}

TEST_F(LivePreview, ASetUpThatStopsIsTriedAgainWithoutStackingCursors) {
    platform::installDisplaySystemFactory([] { return std::unique_ptr<platform::DisplaySystem>(); });
    dialog->show();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return titles.count("The Ploms Tryster: Initing Anim Device") >= 3; }, 10'000));
    EXPECT_FALSE(dialog->preview().initialised());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    platform::installDisplaySystemFactory({});
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->windowTitle() == kReady; }, kSetUpTimeoutMs));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(LivePreview, TeardownReleasesThePreviewAndMayRunTwice) {
    ASSERT_TRUE(showAndWaitForReady());
    dialog->tearDown();
    EXPECT_FALSE(dialog->preview().initialised());
    EXPECT_FALSE(dialog->frameTimerActive());
    dialog->tearDown();
    dialog->close();  // and the close's own teardown
    EXPECT_EQ(dialog->preview().animDevice(), nullptr);
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
    EXPECT_EQ(box.message, QString::fromLatin1(CTrysterDlg::kNotDetected));
    EXPECT_EQ(box.ownerTitle, "The Ploms Tryster: Building directory");
}

}  // namespace
}  // namespace tryster::app::tests
