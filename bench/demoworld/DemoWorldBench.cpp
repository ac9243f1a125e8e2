// Writing the demo game folder against writing the same files' bytes (the
// least any writer of that folder does), in the same run, and against the
// folder's budget of 5 s.

#include "../BenchRatios.h"

#include "demoworld/DemoAssets.h"
#include "demoworld/DemoWorld.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <filesystem>

namespace {

using namespace tryster;
namespace fs = std::filesystem;

constexpr double kBudgetMs = 5000;

void BM_WriteDemoWorld(benchmark::State& state) {
    test::TempDir dir;
    int n = 0;
    for (auto _ : state) {
        const std::string folder = dir.file("world" + std::to_string(n++));
        std::string error;
        if (!demoworld::writeDemoWorld(folder, error)) state.SkipWithError(error.c_str());
        state.PauseTiming();
        fs::remove_all(folder);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteDemoWorld)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_MakeAssetFiles(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<demoworld::DemoFile> files;
        std::string error;
        if (!demoworld::makeAssetFiles(files, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(files.data());
    }
}
BENCHMARK(BM_MakeAssetFiles)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The baseline: the bytes of a written folder, written again file by file.
void BM_WriteSameBytes(benchmark::State& state) {
    test::TempDir dir;
    std::string error;
    if (!demoworld::writeDemoWorld(dir.file("source"), error)) state.SkipWithError(error.c_str());
    std::vector<std::pair<fs::path, std::vector<std::uint8_t>>> files;
    for (const auto& e : fs::recursive_directory_iterator(dir.file("source")))
        if (e.is_regular_file())
            files.emplace_back(fs::relative(e.path(), dir.file("source")), *platform::readWholeFile(e.path().string()));
    int n = 0;
    for (auto _ : state) {
        const fs::path folder = dir.file("copy" + std::to_string(n++));
        for (const auto& [path, bytes] : files) {
            const fs::path target = folder / path;
            (void)platform::fileSystem().createDirectories(target.parent_path().string());
            (void)platform::writeWholeFile(target.string(), bytes.data(), bytes.size());
        }
        state.PauseTiming();
        fs::remove_all(folder);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteSameBytes)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return tryster::bench::runWithRatios(
        argc, argv,
        {{"BM_WriteDemoWorld", "BM_WriteSameBytes", 0, 0, "demo folder / writing the same bytes"}},
        {{"BM_WriteDemoWorld", kBudgetMs, "demo folder written"}});
}
