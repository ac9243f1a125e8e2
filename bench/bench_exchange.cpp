// Timing of new date creation, beside a plain copy of the template file
// measured in the same run:
//   one new date from a template of 300 resources (about 1 MB) ... plain copy
//   the save command's steps (web export, skin list, new date) .... plain copy
// Snapshots are not part of either. The files are made in a temporary
// folder when the program starts; the ratios are printed after the table.

#include "BenchRatios.h"
#include "exchange/DateTemplate.h"
#include "share/GameChange.h"
#include "exchange/NewDate.h"
#include "exchange/SaveSequence.h"
#include "platform/FileSystem.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <string>

using namespace tryster;
using namespace tryster::exchange;

namespace {

// With the template's own 13 resources, 300 in all and about 1 MB.
constexpr int kFillerCount = 287;
constexpr std::size_t kFillerSize = 3600;

struct Setup {
    std::filesystem::path dir;
    std::string templatePath;
    Character character;

    ~Setup() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string file(const char* name) const { return (dir / name).string(); }
};

Setup* g_setup = nullptr;

class SilentReporter final : public ExchangeReporter {
public:
    void showMessage(std::string_view caption, std::string_view text) override {
        std::fprintf(stderr, "bench_exchange: %.*s %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        failed = true;
    }
    void showStatus(std::string_view) override {}
    void stepProgress() override {}
    void redrawPreview() override {}
    bool failed = false;
};

void setUp() {
    g_setup = new Setup;
    g_setup->dir = std::filesystem::temp_directory_path() / ("tryster-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(g_setup->dir / "game/GameData/Skins");
    std::filesystem::create_directories(g_setup->dir / "game/TemplateNPCs");
    g_setup->templatePath = g_setup->file("TR_Template.iff");
    DateTemplateOptions options;
    options.fillerCount = kFillerCount;
    options.fillerSize = kFillerSize;
    if (buildDateTemplate(g_setup->templatePath, options) != resfile::kNoError) {
        std::fprintf(stderr, "bench_exchange: cannot make the template\n");
        std::exit(1);
    }
    const Appearance& a = g_setup->character.appearance;
    platform::writeWholeFile(g_setup->file(("game/GameData/Skins/" + a.bodyMesh + ".cmx").c_str()), "xskin-body\n", 11);
    platform::writeWholeFile(g_setup->file("game/GameData/Skins/xskin-body.skn"), "xskin-body\nbodytexture\n", 23);
    platform::writeWholeFile(g_setup->file("game/GameData/Skins/bodytexture.bmp"), "BM", 2);
    g_setup->character.record.setName("Bench");
    g_setup->character.record.setDescription("A date made again and again.");
    std::printf("template: %ju bytes\n", static_cast<std::uintmax_t>(std::filesystem::file_size(g_setup->templatePath)));
}

void BM_PlainCopyOfTemplate(benchmark::State& state) {
    const std::string copy = g_setup->file("game/TemplateNPCs/Copy.iff");
    for (auto _ : state) {
        auto bytes = platform::readWholeFile(g_setup->templatePath);
        if (!bytes || !platform::writeWholeFile(copy, bytes->data(), bytes->size())) state.SkipWithError("copy");
    }
}

// The game folder's files, so a round can take away what it added: each
// round then makes its date afresh, as a player does, instead of keeping a
// backup of the last round's date (and, for the save, growing its skin list).
std::set<std::filesystem::path> gameFiles() {
    std::set<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(g_setup->dir / "game"))
        if (entry.is_regular_file()) files.insert(entry.path());
    return files;
}

void removeAddedFiles(benchmark::State& state, const std::set<std::filesystem::path>& before) {
    state.PauseTiming();
    for (const auto& file : gameFiles())
        if (before.count(file) == 0) std::filesystem::remove(file);
    state.ResumeTiming();
}

void BM_NewDate(benchmark::State& state) {
    const std::string base = g_setup->file("game/TemplateNPCs/Date");
    SilentReporter reporter;
    const auto before = gameFiles();
    for (auto _ : state) {
        share::GameChange placement("", share::ChangeKind::NewDate);
        if (!createNewDate(base, g_setup->templatePath, g_setup->character, reporter, placement))
            state.SkipWithError("new date");
        removeAddedFiles(state, before);
    }
}

void BM_SaveSequence(benchmark::State& state) {
    SaveRequest request;
    request.chosenPath = g_setup->file("game/TemplateNPCs/Saved.srf");
    request.gameFolder = g_setup->file("game");
    request.templatePath = g_setup->templatePath;
    SilentReporter reporter;
    const auto before = gameFiles();
    for (auto _ : state) {
        SkinFileList skinFiles;
        share::GameChange placement("", share::ChangeKind::NewDate);
        SaveResult result = runSaveSequence(request, g_setup->character, skinFiles, reporter, nullptr, placement);
        if (!result.dateWritten || !result.webExchangeWritten) state.SkipWithError("save");
        removeAddedFiles(state, before);
    }
}

}  // namespace

BENCHMARK(BM_PlainCopyOfTemplate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSequence)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setUp();
    const int status = bench::runWithRatios(
        argc, argv,
        {
            {"BM_NewDate", "BM_PlainCopyOfTemplate", 5, 0, "new date / plain copy of the template"},
            {"BM_SaveSequence", "BM_PlainCopyOfTemplate", 5, 0, "save steps / plain copy of the template"},
        });
    delete g_setup;
    return status;
}
