// Installing a shared date with ten skins, beside two ways of putting the
// same bytes in place without any check, measured in the same run:
//   install (read the archive, check every file, stage, sync, move, ledger)
//   unpack  (what a player did by hand: the same archive's entries written
//            to their places as they come out, nothing checked; each file
//            then synced and each folder once, as every write of ours is)
//   copy    (the same files copied from a folder where they lie unpacked,
//            nothing synced)
// The target is against unpacking: getting the bytes out of a pack takes
// its decompression, and putting them on the disk its syncs, whatever else
// is done. On a disk the syncs are most of both times.
// The pack is made from the demo folder when the program starts: Rosa's
// date and the eight skins of her look, and two more skins. Each round
// takes away what it added, paused, so every round installs afresh.

#include "BenchRatios.h"
#include "demoworld/DemoWorld.h"
#include "formats/ArchiveReader.h"
#include "formats/ZipWriter.h"
#include "platform/FileSystem.h"
#include "formats/Sha256.h"
#include "share/Installer.h"
#include "share/PackManifest.h"
#include "share/SharedDate.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <set>

using namespace tryster;
namespace fs = std::filesystem;

namespace {

const char* const kPackFiles[] = {
    "TemplateNPCs/Date_Rosa.iff",
    "GameData/Skins/b006fafit_01.cmx",
    "GameData/Skins/xskin-b006fafit_01-BODY.skn",
    "GameData/Skins/B006FAFitmed_dots.bmp",
    "GameData/Skins/B006FAFitlgt_dots.bmp",
    "GameData/Skins/c021fa_long.cmx",
    "GameData/Skins/xskin-c021fa_long-HEAD-HEAD.skn",
    "GameData/Skins/C021famed_blnd.bmp",
    "GameData/Skins/C021falgt_blnd.bmp",
    "GameData/Skins/c022fa_bob.cmx",
    "GameData/Skins/xskin-c022fa_bob-HEAD-HEAD.skn",
};

struct Setup {
    fs::path dir;
    std::string archive;
    std::string unpacked;
    std::string game;
    std::uint64_t bytes = 0;

    ~Setup() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Setup* g_setup = nullptr;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "bench_share: %s\n", what);
    std::exit(1);
}

void setUp() {
    g_setup = new Setup;
    g_setup->dir = fs::temp_directory_path() / ("tryster-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(g_setup->dir);
    const std::string demo = (g_setup->dir / "demo").string();
    std::string error;
    if (!demoworld::writeDemoWorld(demo, error)) fail(error.c_str());

    // The game to install into: the demo's other dates, no skins yet.
    g_setup->game = (g_setup->dir / "game").string();
    fs::create_directories(fs::path(g_setup->game) / "GameData/Skins");
    fs::copy(fs::path(demo) / "TemplateNPCs", fs::path(g_setup->game) / "TemplateNPCs");
    fs::remove(fs::path(g_setup->game) / "TemplateNPCs/Date_Rosa.iff");
    g_setup->unpacked = (g_setup->dir / "unpacked").string();

    share::PackManifest manifest;
    manifest.name = "Rosa Marsh";
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    for (const char* name : kPackFiles) {
        auto bytes = platform::readWholeFile((fs::path(demo) / name).string());
        if (!bytes) fail("a demo file is missing");
        fs::create_directories((fs::path(g_setup->unpacked) / name).parent_path());
        if (!platform::writeWholeFile((fs::path(g_setup->unpacked) / name).string(), bytes->data(), bytes->size()))
            fail("cannot unpack");
        std::string path = name;
        for (char& c : path)
            if (c == '/') c = '\\';
        manifest.files.push_back({path, bytes->size(), formats::sha256Hex(*bytes)});
        g_setup->bytes += bytes->size();
        files.emplace_back(name, std::move(*bytes));
    }
    g_setup->archive = (g_setup->dir / "Date_Rosa.zip").string();
    auto out = platform::fileSystem().open(g_setup->archive, platform::OpenMode::CreateNew);
    auto zip = out ? formats::openZipWriter(*out, error) : nullptr;
    const std::string text = share::encodeManifest(manifest);
    bool ok = zip && zip->add("manifest.json", std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    for (const auto& [name, bytes] : files) ok = ok && zip->add(name, bytes);
    if (!ok || !zip->finish()) fail("cannot write the pack");
    std::printf("pack: %ju bytes of %ju in 11 files and a manifest\n",
                static_cast<std::uintmax_t>(fs::file_size(g_setup->archive)), static_cast<std::uintmax_t>(g_setup->bytes));
}

std::set<fs::path> gameFiles() {
    std::set<fs::path> out;
    for (const auto& e : fs::recursive_directory_iterator(g_setup->game))
        if (e.is_regular_file()) out.insert(e.path());
    return out;
}

void removeAdded(benchmark::State& state, const std::set<fs::path>& before) {
    state.PauseTiming();
    for (const fs::path& f : gameFiles())
        if (!before.count(f)) fs::remove(f);
    state.ResumeTiming();
}

void BM_CopyUnpackedFiles(benchmark::State& state) {
    const auto before = gameFiles();
    for (auto _ : state) {
        for (const char* name : kPackFiles) {
            auto bytes = platform::readWholeFile((fs::path(g_setup->unpacked) / name).string());
            if (!bytes || !platform::writeWholeFile((fs::path(g_setup->game) / name).string(), bytes->data(),
                                                    bytes->size()))
                state.SkipWithError("copy");
        }
        removeAdded(state, before);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_setup->bytes));
}

void BM_UnpackArchive(benchmark::State& state) {
    const auto before = gameFiles();
    std::vector<std::uint8_t> bytes;
    std::set<std::string> folders;
    for (auto _ : state) {
        std::string error;
        auto reader = formats::openArchiveReader(platform::fileSystem().open(g_setup->archive, platform::OpenMode::Read),
                                                  error);
        formats::ArchiveEntryHeader entry;
        while (reader && reader->next(entry) == formats::ArchiveReader::Step::Entry) {
            bytes.clear();
            while (true) {
                const auto got = reader->readData(bytes, std::size_t{1} << 20);
                if (!got || *got == 0) break;
            }
            if (entry.name == "manifest.json") continue;
            const std::string path = (fs::path(g_setup->game) / entry.name).string();
            if (!platform::writeWholeFile(path, bytes.data(), bytes.size()) || !platform::fileSystem().syncFile(path))
                state.SkipWithError("unpack");
            folders.insert(fs::path(path).parent_path().string());
        }
        for (const std::string& folder : folders) (void)platform::fileSystem().syncFolder(folder);
        folders.clear();
        removeAdded(state, before);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_setup->bytes));
}

void BM_InstallPack(benchmark::State& state) {
    const auto before = gameFiles();
    for (auto _ : state) {
        share::SharedDateOpening opened = share::openSharedDate(g_setup->archive);
        if (!opened.date) {
            state.SkipWithError(opened.problem.c_str());
            break;
        }
        const share::InstallPlan plan = share::planInstall(*opened.date, g_setup->game, {});
        if (!share::installSharedDate(*opened.date, plan).installed) state.SkipWithError("install");
        removeAdded(state, before);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_setup->bytes));
}

}  // namespace

BENCHMARK(BM_CopyUnpackedFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnpackArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InstallPack)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setUp();
    const int status = bench::runWithRatios(
        argc, argv, {{"BM_InstallPack", "BM_UnpackArchive", 3, 0, "install a pack of 10 skins / unpack it, synced, unchecked"},
                    {"BM_InstallPack", "BM_CopyUnpackedFiles", 0, 0, "install a pack of 10 skins / copy its files, unsynced"}});
    delete g_setup;
    return status;
}
