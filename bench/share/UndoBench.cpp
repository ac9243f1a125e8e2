// Undoing a townie replacement on the demo folder, beside putting the same
// file back by hand, measured in the same run:
//   undo       (hold the folder, read the history, check the file and its
//               backup by digest, journal, move the backup back, sync,
//               record the undo)
//   copy back  (the backup's bytes written over the townie's file through a
//               staged name, synced, renamed, the folder synced: the least
//               any write of ours does)
//   plain copy (the same bytes written over it, nothing synced)
// The target is against the synced copy back: a player's file is only
// ever replaced that way. Each round puts the replaced townie, its backup
// and the history back as they were after the replacement, paused, so
// every round undoes the same change.

#include "BenchRatios.h"
#include "demoworld/DemoWorld.h"
#include "exchange/ExchangeReporter.h"
#include "exchange/TownieReplacement.h"
#include "platform/FileSystem.h"
#include "share/GameChange.h"
#include "share/History.h"
#include "share/Undo.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>

using namespace tryster;
namespace fs = std::filesystem;

namespace {

class Quiet final : public exchange::ExchangeReporter {
public:
    void showMessage(std::string_view, std::string_view) override {}
    void showStatus(std::string_view) override {}
    void stepProgress() override {}
    void redrawPreview() override {}
};

struct Setup {
    fs::path dir;
    std::string game, townie, backup, history;
    std::vector<std::uint8_t> replaced, kept, recorded;  // the three files after the replacement
    std::int64_t id = 0;

    ~Setup() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Setup* g_setup = nullptr;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench_undo: %s\n", what.c_str());
    std::exit(1);
}

std::vector<std::uint8_t> bytesOf(const std::string& path) {
    auto bytes = platform::readWholeFile(path);
    if (!bytes) fail("cannot read " + path);
    return std::move(*bytes);
}

void setUp() {
    g_setup = new Setup;
    Setup& s = *g_setup;
    s.dir = fs::temp_directory_path() / ("tryster-bench-" + std::to_string(std::random_device{}()));
    s.game = (s.dir / "game").string();
    std::string error;
    if (!demoworld::writeDemoWorld(s.game, error)) fail(error);
    s.townie = (fs::path(s.game) / "UserData/Characters/User00001.iff").string();
    {
        share::GameChange change(s.game, share::ChangeKind::TownieReplaced);
        Quiet quiet;
        const auto result = exchange::replaceTownie(s.townie, (fs::path(s.game) / "TemplateNPCs/Date_Rosa.iff").string(),
                                                    quiet, change);
        if (!result.replaced() || !change.recordedId()) fail("the townie could not be replaced: " + change.problem());
        s.id = change.recordedId();
        s.backup = result.backupPath;
    }
    s.history = share::historyPath(s.game);
    s.replaced = bytesOf(s.townie);
    s.kept = bytesOf(s.backup);
    s.recorded = bytesOf(s.history);
    std::printf("townie: %zu bytes, its backup %zu bytes\n", s.replaced.size(), s.kept.size());
}

void put(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (!platform::writeWholeFile(path, bytes.data(), bytes.size())) fail("cannot write " + path);
}

// The folder as the replacement left it.
void replacedAgain(benchmark::State& state) {
    state.PauseTiming();
    put(g_setup->townie, g_setup->replaced);
    put(g_setup->backup, g_setup->kept);
    put(g_setup->history, g_setup->recorded);
    state.ResumeTiming();
}

void BM_PlainCopyBack(benchmark::State& state) {
    for (auto _ : state) {
        auto bytes = platform::readWholeFile(g_setup->backup);
        if (!bytes || !platform::writeWholeFile(g_setup->townie, bytes->data(), bytes->size())) state.SkipWithError("copy");
        replacedAgain(state);
    }
}

void BM_CopyBackSynced(benchmark::State& state) {
    auto& files = platform::fileSystem();
    const std::string staged = g_setup->townie + ".staged";
    const std::string folder = fs::path(g_setup->townie).parent_path().string();
    for (auto _ : state) {
        auto bytes = platform::readWholeFile(g_setup->backup);
        if (!bytes || !platform::writeWholeFile(staged, bytes->data(), bytes->size()) || !files.syncFile(staged) ||
            !files.rename(staged, g_setup->townie) || !files.syncFolder(folder))
            state.SkipWithError("copy back");
        replacedAgain(state);
    }
}

void BM_UndoTownieReplacement(benchmark::State& state) {
    for (auto _ : state) {
        const share::UndoOutcome outcome = share::undoChange(g_setup->game, g_setup->id, false);
        if (!outcome.done) {
            state.SkipWithError(outcome.problem.c_str());
            break;
        }
        replacedAgain(state);
    }
}

}  // namespace

BENCHMARK(BM_PlainCopyBack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyBackSynced)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoTownieReplacement)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setUp();
    const int status = bench::runWithRatios(
        argc, argv,
        {{"BM_UndoTownieReplacement", "BM_CopyBackSynced", 3, 0, "undo a townie replacement / copy its file back, synced"},
         {"BM_UndoTownieReplacement", "BM_PlainCopyBack", 0, 0, "undo a townie replacement / copy its file back, unsynced"}});
    delete g_setup;
    return status;
}
