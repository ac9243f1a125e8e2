// A refill of the four appearance lists over a generated install of
// 20 000 textures and 5 000 outfits, against listing the folders the
// refill looks in. The target: the refill takes at most twice the listing.

#include "../BenchRatios.h"
#include "../anim/BenchFolder.h"

#include "anim/CharacterFile.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"
#include "preview/Preview.h"

#include <fmt/format.h>

#include <cstdio>
#include <memory>

namespace {

using namespace tryster;

constexpr int kTextures = 20000;
constexpr int kOutfits = 5000;

class NullWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return {0, 0, 0, 0}; }
    void showFrame(const platform::LockedSurface&, const platform::ScreenRect&) override {}
};

// Names in the game's scheme: heads, bodies and extra bodies of every
// gender, build and tone, and a few the rules ignore.
std::string textureName(int i) {
    static const char* kTones[] = {"lgt", "med", "drk"};
    static const char* kBuilds[] = {"Fit", "Fat", "Skn"};
    const char* tone = kTones[i % 3];
    const char gender = i / 3 % 2 ? 'F' : 'M';
    switch (i % 7) {
    case 0:
    case 1: return fmt::format("C{:03}{}A{}_t{}", i / 7 % 400, gender, tone, i);
    case 2:
    case 3:
    case 4: return fmt::format("B{:03}{}A{}{}_t{}", i / 7 % 300, gender, kBuilds[i / 6 % 3], tone, i);
    case 5: return fmt::format("u{:03}{}_t{}", i / 7 % 300, gender, i);
    default: return fmt::format("H{:03}_t{}", i % 100, i);
    }
}

std::string outfitName(int i) {
    static const char* kBuilds[] = {"fit", "fat", "skn"};
    const char gender = i % 2 ? 'f' : 'm';
    switch (i % 5) {
    case 0:
    case 1: return fmt::format("c{:03}{}a_o{}", i % 400, gender, i);
    case 2:
    case 3: return fmt::format("b{:03}{}a{}_o{}", i % 300, gender, kBuilds[i / 5 % 3], i);
    default: return fmt::format("acc{:04}", i);
    }
}

void writeInstall(const bench::BenchFolder& folder) {
    // Textures along both folder lists: the index-file folders first.
    const char* folders[] = {"GameData/Skins", "GameData/Textures", "GameData/Textures2", "GameData/Animation"};
    for (int i = 0; i < kTextures; ++i)
        folder.write(fmt::format("{}/{}.bmp", folders[i % 4], textureName(i)), "", 0);
    anim::CharacterFileContents c;
    auto skeleton = anim::Skeleton::create("adult");
    anim::Bone root;
    root.name = "ROOT";
    root.parentName = "NULL";
    skeleton->addBone(root);
    c.skeletons.push_back(skeleton);
    for (int i = 0; i < kOutfits; ++i) {
        auto o = anim::Outfit::create();
        o->name = outfitName(i);
        c.outfits.push_back(o);
    }
    std::string text;
    if (!anim::writeCharacterText(c, text).ok) std::exit(1);
    folder.write("GameData/Skins/outfits.cmx", text.data(), text.size());
}

class Rig {
public:
    Rig() : folder_("tryster-catalog-bench"), preview_(look_, presenter_) {
        writeInstall(folder_);
        if (!preview::startPreview(preview_, look_, &window_, 64, 64)) {
            std::fprintf(stderr, "bench_preview_catalog: the preview cannot start\n");
            std::exit(1);
        }
    }
    ~Rig() { preview_.tearDown(); }
    preview::Preview& preview() { return preview_; }
    preview::LookModel& look() { return look_; }
    static Rig& instance() {
        static Rig rig;
        return rig;
    }

private:
    bench::BenchFolder folder_;
    NullWindow window_;
    preview::SilentPresenter presenter_;
    Character character_;
    preview::LookModel look_{character_};
    preview::Preview preview_;
};

// Both lists refilled and the character dressed again, as the Reload
// command does.
void BM_RefillCatalog(benchmark::State& state) {
    preview::Preview& p = Rig::instance().preview();
    preview::LookModel& look = Rig::instance().look();
    for (auto _ : state) look.rescan();
    const preview::SkinCatalog& c = look.catalog();
    state.counters["textures"] = static_cast<double>(c.textureNames().size());
    state.counters["outfits"] = static_cast<double>(p.library()->outfits().size());
    state.counters["listed"] = static_cast<double>(c.headMeshes.size() + c.bodyMeshes.size() +
                                                   c.headTextures.size() + c.bodyTextures.size());
}

// What the refill cannot do without: the folders' entries.
void BM_ListFolders(benchmark::State& state) {
    Rig::instance();
    std::size_t entries = 0;
    for (auto _ : state) {
        entries = 0;
        for (std::string_view list : {anim::kAnimationSearchPath, anim::kCharacterSearchPath})
            for (const std::string& folder : platform::splitFolderList(list))
                entries += platform::fileSystem().list(folder).size();
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = static_cast<double>(entries);
}

BENCHMARK(BM_RefillCatalog)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ListFolders)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return tryster::bench::runWithRatios(
        argc, argv, {{"BM_RefillCatalog", "BM_ListFolders", 2, 0, "catalog refill / listing its folders"}});
}
