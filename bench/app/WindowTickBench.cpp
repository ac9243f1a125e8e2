// The preview ticking in the real window under Qt's offscreen platform, on
// the demo game folder's character, against the headless preview's frame
// of the same character in the same run. The tick adds what the window
// does around the frame: the copy of the presented frame into the pane
// and the pane's painting. Target: a tick within 1.3 times the frame.

#include "../BenchRatios.h"

#include "app/CTrysterDlg.h"
#include "app/ModalRunner.h"
#include "app/PreviewPane.h"
#include "demoworld/DemoWorld.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "preview/Preview.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

using namespace tryster;

constexpr std::uint32_t kFramePeriodMs = 10;
constexpr int kWarmUpFrames = 50;

class SteppedClock final : public platform::ClockSource {
public:
    std::uint32_t tickCountMs() override { return ticks; }
    std::int64_t calendarSeconds() override { return 1'700'000'000; }
    std::uint32_t ticks = 1'000'000;
};

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

std::string gameFolder;
SteppedClock steppedClock;

void BM_WindowTick(benchmark::State& state) {
    AnsweringRunner runner;
    app::installModalRunner(&runner);
    app::CTrysterDlg dialog(gameFolder);
    dialog.initDialog();
    dialog.show();
    QElapsedTimer waited;
    waited.start();
    while (dialog.windowTitle() != QLatin1String("The Ploms Tryster: Ready!") && waited.elapsed() < 60'000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!dialog.preview().initialised()) {
        state.SkipWithError("the preview did not start");
        return;
    }
    app::PreviewPane& pane = *dialog.previewPane();
    auto tick = [&] {
        steppedClock.ticks += kFramePeriodMs;
        dialog.tick();
        pane.repaint();
    };
    for (int i = 0; i < kWarmUpFrames; ++i) tick();
    const int before = pane.framesShown();
    for (auto _ : state) tick();
    if (pane.framesShown() - before != static_cast<int>(state.iterations()))
        state.SkipWithError("a tick drew no frame");
    dialog.tearDown();
    app::installModalRunner(nullptr);
}

void BM_HeadlessFrame(benchmark::State& state) {
    preview::SilentPresenter presenter;
    preview::PreviewClock clock;
    NullWindow window;
    preview::Preview preview(presenter, clock);
    (void)platform::fileSystem().setCurrentDirectory(gameFolder);
    preview.setInstallFolder(gameFolder);
    if (!preview.setUp(&window, preview::kPreviewWidth, preview::kPreviewHeight)) {
        state.SkipWithError("the preview did not start");
        return;
    }
    auto frame = [&] {
        steppedClock.ticks += kFramePeriodMs;
        (void)preview.frame();
    };
    for (int i = 0; i < kWarmUpFrames; ++i) frame();
    for (auto _ : state) frame();
    preview.tearDown();
}

BENCHMARK(BM_HeadlessFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
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

    const int status =
        tryster::bench::runWithRatios(argc, argv, {{"BM_WindowTick", "BM_HeadlessFrame", 1.3, 0, "window tick / headless frame"}});

    tryster::platform::installClockSource(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return status;
}
