// The preview ticking in the real window under Qt's offscreen platform, on
// the demo game folder's character, against the headless preview's frame
// of the same character in the same run. The tick adds what the window
// does around the frame: the copy of the presented part into the pane
// and the pane's painting of that part. Target: a tick that draws within 1.2 times the
// frame. With --cpu, the window left idle: its processor use against the
// headless frame's cost times the frames it drew, the frames drawn back to
// back and each after a display refresh asleep.

#include "../BenchRatios.h"

#include "app/CTrysterDlg.h"
#include "app/ModalRunner.h"
#include "app/PreviewPane.h"
#include "demoworld/DemoWorld.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "preview/FramePacing.h"
#include "preview/Preview.h"
#include "preview/PreviewEngine.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace tryster;

// A tick a display refresh (60 Hz) after the last, so that every tick
// draws; ticks in between only move the clock and the pose.
constexpr std::uint32_t kFramePeriodMs = 17;
// The figure turns slowly in both, as every frame must draw.
constexpr float kTurnsPerSecond = 0.25f;
// The idle window's share of one core at most, at scale 1.
constexpr double kIdleCoreShare = 0.03;
constexpr int kWarmUpFrames = 50;

// Dialogs are answered at once (the splash would wait six seconds).
class AnsweringRunner final : public app::ModalRunner {
public:
    int run(QDialog&) override { return QDialog::Accepted; }
};

class NullWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return {0, 0, 0, 0}; }
    void showFrame(const platform::LockedSurface&, const platform::ScreenRect&) override {}
};

// Counts the paint events of the object it watches.
class PaintCounter final : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

std::string gameFolder;
platform::FixedClock steppedClock{1'000'000};

// The scale the window draws at, as the run gives it: a run with
// QT_SCALE_FACTOR=2 draws twice the pixels, and its figures are rows of
// their own.
std::string scaleText() {
    return qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") ? "1" : qEnvironmentVariable("QT_SCALE_FACTOR").toStdString();
}

// Shows the window and lets its deferred set-up run to "Ready!" (a minute at most).
void showUntilReady(app::CTrysterDlg& dialog) {
    dialog.initDialog();
    dialog.show();
    QElapsedTimer waited;
    waited.start();
    while (dialog.windowTitle() != QLatin1String("The Ploms Tryster: Ready!") && waited.elapsed() < 60'000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Ticks of the real window once it is ready: with `paint`, each tick as
// the program runs it (the frame, the copy into the pane, the painting);
// without, only the preview's frame inside the window (with the copy).
void runWindow(benchmark::State& state, bool paint) {
    AnsweringRunner runner;
    app::installModalRunner(&runner);
    app::CTrysterDlg dialog(gameFolder);
    showUntilReady(dialog);
    if (!dialog.livePreview().preview().initialised()) {
        state.SkipWithError("the preview did not start");
        return;
    }
    // Turning, so that no frame shows the last picture again (the window
    // would not draw it).
    dialog.livePreview().preview().setRotationSpeed(kTurnsPerSecond);
    app::PreviewPane& pane = *dialog.livePreview().pane();
    PaintCounter paints;
    pane.installEventFilter(&paints);
    auto tick = [&] {
        steppedClock.ticks += kFramePeriodMs;
        if (paint) {
            // The pane's update of the presented part is painted when the
            // event loop comes to it, as in the program.
            dialog.livePreview().tick();
            QCoreApplication::sendPostedEvents(&dialog, QEvent::UpdateRequest);
        } else {
            dialog.livePreview().drawFrame();
        }
    };
    for (int i = 0; i < kWarmUpFrames; ++i) tick();
    const int before = pane.framesShown();
    const int paintsBefore = paints.count;
    for (auto _ : state) tick();
    if (pane.framesShown() - before != static_cast<int>(state.iterations()))
        state.SkipWithError("a tick drew no frame");
    else if (paint && paints.count - paintsBefore < static_cast<int>(state.iterations()))
        state.SkipWithError("a frame was not painted");
    dialog.livePreview().tearDown();
    app::installModalRunner(nullptr);
}

void BM_WindowTick(benchmark::State& state) { runWindow(state, true); }
void BM_WindowFrame(benchmark::State& state) { runWindow(state, false); }

// The headless preview of the same character, each frame presenting the
// whole surface.
class HeadlessPreview {
public:
    HeadlessPreview() : preview_(look_, presenter_, clock_) {
        (void)platform::fileSystem().setCurrentDirectory(gameFolder);
        look_.setInstallFolder(gameFolder);
        // At the window's scale.
        started_ = preview::startPreview(preview_, look_, &window_, preview::kPreviewWidth, preview::kPreviewHeight,
                                         std::stof(scaleText()));
        preview_.setRotationSpeed(kTurnsPerSecond);
    }
    ~HeadlessPreview() { preview_.tearDown(); }
    bool started() const { return started_; }
    void frame() {
        steppedClock.ticks += kFramePeriodMs;
        (void)preview_.frame(nullptr, true, true);
    }

private:
    preview::SilentPresenter presenter_;
    preview::PreviewClock clock_;
    NullWindow window_;
    Character character_;
    preview::LookModel look_{character_};
    preview::Preview preview_;
    bool started_ = false;
};

void BM_HeadlessFrame(benchmark::State& state) {
    HeadlessPreview preview;
    if (!preview.started()) {
        state.SkipWithError("the preview did not start");
        return;
    }
    for (int i = 0; i < kWarmUpFrames; ++i) preview.frame();
    for (auto _ : state) preview.frame();
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Processor seconds of one headless frame: drawn back to back, or each
// after sleeping a display refresh as the idle window's frames are. The
// sleeping frame finds the caches cold (on the machine we measure on it
// costs about twice the other), so the idle window is weighed against both.
struct HeadlessFrameCost {
    double warm = 0;
    double asleep = 0;
};

HeadlessFrameCost headlessFrameCpuSeconds() {
    constexpr int kFrames = 200;
    HeadlessPreview preview;
    if (!preview.started()) return {};
    for (int i = 0; i < kWarmUpFrames; ++i) preview.frame();
    HeadlessFrameCost cost;
    double start = cpuSeconds();
    for (int i = 0; i < kFrames; ++i) preview.frame();
    cost.warm = (cpuSeconds() - start) / kFrames;
    start = cpuSeconds();
    for (int i = 0; i < kFrames; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kFramePeriodMs));
        preview.frame();
    }
    cost.asleep = (cpuSeconds() - start) / kFrames;
    return cost;
}

// The program's processor time while its timer paces the preview for
// `seconds` in each state: active (a frame every 10 ms), another
// application active (150 ms), and hidden (no frames). Then, still
// hidden, a timer that does nothing every 10 ms: what the ticks cost
// before any work, the floor under the active state's share.
void measureProcessorUse(double seconds) {
    AnsweringRunner runner;
    app::installModalRunner(&runner);
    platform::installClockSource(nullptr);  // real time: the timer paces real frames
    app::CTrysterDlg dialog(gameFolder);
    showUntilReady(dialog);
    QTimer bareTimer;
    bareTimer.setTimerType(Qt::PreciseTimer);  // as the frame timer
    QObject::connect(&bareTimer, &QTimer::timeout, [] {});
    struct State {
        const char* name;
        std::function<void()> enter;
    };
    const State states[] = {
        {"active", [&] { dialog.livePreview().setApplicationActive(true); }},
        {"another application active", [&] { dialog.livePreview().setApplicationActive(false); }},
        {"hidden", [&] { dialog.hide(); }},
        {"hidden, a bare 10 ms timer", [&] { bareTimer.start(preview::FramePacing::kActivePeriodMs); }},
    };
    std::printf("\nprocessor use of the window over %.0f s each:\n", seconds);
    double idleShare = 0, idleFramesPerSecond = 0, timerShare = 0;
    // Each state's share is the median of its shares over windows of about
    // a second: a spell of a busy host in one window (the host's other
    // work slows the window's own) does not count for the whole.
    const int windows = std::max(1, static_cast<int>(std::lround(seconds)));
    for (const State& state : states) {
        state.enter();
        const int frames = dialog.livePreview().pane()->framesShown();
        QElapsedTimer total;
        total.start();
        std::vector<double> shares;
        for (int w = 0; w < windows; ++w) {
            const double cpu = cpuSeconds();
            QElapsedTimer clock;
            clock.start();
            QEventLoop loop;  // sleeps between events, as the program's own loop does
            QTimer::singleShot(static_cast<int>(seconds * 1000 / windows), &loop, &QEventLoop::quit);
            loop.exec();
            shares.push_back((cpuSeconds() - cpu) / (static_cast<double>(clock.elapsed()) / 1000));
        }
        const double wall = static_cast<double>(total.elapsed()) / 1000;
        std::vector<double> sorted = shares;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t middle = sorted.size() / 2;
        const double share = sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
        const double framesPerSecond = (dialog.livePreview().pane()->framesShown() - frames) / wall;
        std::printf("  %-30s %5.1f %% of one core, %6.1f frames drawn a second (each second:", state.name,
                    100 * share, framesPerSecond);
        for (double each : shares) std::printf(" %.1f", 100 * each);
        std::printf(")\n");
        if (&state == &states[0]) {
            idleShare = share;
            idleFramesPerSecond = framesPerSecond;
        }
        if (&state == &states[3]) timerShare = share;
    }
    bareTimer.stop();
    dialog.livePreview().tearDown();
    app::installModalRunner(nullptr);
    platform::installClockSource(&steppedClock);

    const HeadlessFrameCost frame = headlessFrameCpuSeconds();
    const double drawnShare = frame.warm * idleFramesPerSecond, asleepShare = frame.asleep * idleFramesPerSecond;
    std::printf("  headless frame %.3f ms: %.1f %% of one core at the frames drawn\n", frame.warm * 1000,
                100 * drawnShare);
    std::printf("  headless frame after a refresh asleep %.3f ms: %.1f %% of one core at the frames drawn\n",
                frame.asleep * 1000, 100 * asleepShare);
    const std::string scale = scaleText();
    const double target = kIdleCoreShare * std::stod(scale);
    bench::detail::TableFile table("bench_window_tick");
    const bool met = idleShare <= target;
    table.row("idle window at scale " + scale + ": share of one core", "window idle", idleShare, "one core", 1.0,
              idleShare, bench::detail::targetText(0, target), met ? "met" : "missed");
    if (drawnShare > 0)
        table.row("idle window at scale " + scale + " / headless frames drawn", "window idle", idleShare,
                  "headless frames", drawnShare, idleShare / drawnShare, "", "-");
    table.row("idle window at scale " + scale + ": a bare 10 ms timer's share of one core", "bare timer",
              timerShare, "one core", 1.0, timerShare, "", "-");
    if (asleepShare > 0)
        table.row("idle window at scale " + scale + " / headless frames drawn after a refresh asleep", "window idle",
                  idleShare, "headless frames asleep", asleepShare, idleShare / asleepShare, "", "-");
}

BENCHMARK(BM_HeadlessFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_WindowFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_WindowTick)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

static void initAssets() {
    Q_INIT_RESOURCE(tryster_assets);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    initAssets();

    const auto root =
        std::filesystem::temp_directory_path() / ("tryster-bench-window-" + std::to_string(::getpid()));
    gameFolder = (root / "game").string();
    std::string error;
    if (!tryster::demoworld::writeDemoWorld(gameFolder, error)) {
        std::fprintf(stderr, "bench_window_tick: %s\n", error.c_str());
        return 1;
    }
    const std::string registry = (root / "registry.ini").string();
    const std::string key =
        "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nPLOMS_DATA=" + gameFolder + "\n";
    (void)tryster::platform::writeWholeFile(registry, key.data(), key.size());
    ::setenv("TRYSTER_REGISTRY", registry.c_str(), 1);
    tryster::platform::installClockSource(&steppedClock);

    // --cpu=SECONDS: the processor use in each state after the benchmarks.
    double cpuSeconds = 0;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--cpu=", 6) == 0) {
            cpuSeconds = std::atof(argv[i] + 6);
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }

    const std::string scale = scaleText() == "1" ? "" : " at scale " + scaleText();
    const int status = tryster::bench::runWithRatios(
        argc, argv, {{"BM_WindowTick", "BM_HeadlessFrame", 1.2, 0, "window tick / headless frame" + scale}});

    if (cpuSeconds > 0) measureProcessorUse(cpuSeconds);
    tryster::platform::installClockSource(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return status;
}
