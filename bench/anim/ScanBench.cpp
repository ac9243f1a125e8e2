// Scanning a generated install of 3000 character files (half text, half
// binary; 10 000 outfits, 2 000 animations) against reading the same files'
// bytes raw.

#include "../BenchRatios.h"
#include "BenchFolder.h"

#include "anim/CharacterLibrary.h"

#include <cstdlib>
#include <memory>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

using namespace tryster;

constexpr int kFiles = 3000;
constexpr int kTracks = 30;
const char* const kBones[] = {"PELVIS",      "SPINE",       "SPINE1",    "NECK",       "HEAD",       "L_ARM",
                              "L_FOREARM",   "L_HAND",      "R_ARM",     "R_FOREARM",  "R_HAND",     "L_LEG",
                              "L_THIGH",     "L_FOOT",      "R_LEG",     "R_THIGH",    "R_FOOT",     "L_TOE",
                              "R_TOE",       "L_FINGER0",   "R_FINGER0", "L_CLAVICLE", "R_CLAVICLE", "ROOT",
                              "L_HAND_PROP", "R_HAND_PROP", "JAW",       "L_EYE",      "R_EYE",      "BROW"};

anim::CharacterFileContents fileContents(int i) {
    anim::CharacterFileContents c;
    if (i % 300 == 0) {
        auto s = anim::Skeleton::create("skeleton" + std::to_string(i));
        for (const char* bone : kBones) {
            anim::Bone b;
            b.name = bone;
            b.parentName = b.name == "ROOT" ? "NULL" : "PELVIS";
            b.translation = {0.1f, 0.2f, 0.3f};
            b.rotation = {0, 0.1f, 0, 0.995f};
            s->addBone(b);
        }
        c.skeletons.push_back(s);
    }
    const int outfits = 3 + (i % 3 == 0 ? 1 : 0);
    for (int k = 0; k < outfits; ++k) {
        auto o = anim::Outfit::create();
        o->name = "b" + std::to_string(i) + "ma" + std::to_string(k) + "fit_01";
        if (k == 0) {
            o->properties = anim::PropertyList::create();
            o->properties->set("age", "adult");
        }
        for (const char* bone : {"PELVIS", "HEAD", "L_HAND"}) {
            anim::OutfitPart p;
            p.boneName = bone;
            p.meshName = "xskin-" + o->name + "-" + bone;
            p.censorFlags = 1;
            o->parts.push_back(std::move(p));
        }
        c.outfits.push_back(o);
    }
    if (i % 3 != 2) {
        auto a = anim::Animation::create();
        a->name = "a2o-anim" + std::to_string(i);
        a->dataName = a->name + "-data";
        a->duration = 2000;
        a->translationCount = 60;
        a->rotationCount = 60 * kTracks;
        for (int t = 0; t < kTracks; ++t) {
            anim::BoneTrack track;
            track.boneName = kBones[t];
            track.frameCount = 60;
            track.duration = 2000;
            track.hasTranslation = t == 0;
            track.hasRotation = 1;
            track.rotationOffset = 60 * t;
            if (t == 0) {
                track.timedProperties = anim::TimedPropertyList::create();
                auto props = anim::PropertyList::create();
                props->set("sound", "step.wav");
                track.timedProperties->set(500, props);
            }
            a->tracks.push_back(std::move(track));
        }
        c.animations.push_back(a);
    }
    return c;
}

struct Install {
    bench::BenchFolder folder{"tryster-bench-scan"};
    std::vector<std::string> paths;
    std::size_t bytes = 0;

    Install() {
        for (int i = 0; i < kFiles; ++i) {
            std::string dir = "GameData/cmx" + (i % 10 ? std::to_string(i % 10 + 1) : std::string());
            std::string name = dir + "/file" + std::to_string(i) + (i % 2 ? ".bcf" : ".cmx");
            anim::CharacterFileContents c = fileContents(i);
            std::vector<std::uint8_t> out;
            if (i % 2) {
                (void)anim::writeCharacterBinary(c, out);
            } else {
                std::string text;
                (void)anim::writeCharacterText(c, text);
                out.assign(text.begin(), text.end());
            }
            folder.write(name, out.data(), out.size());
            paths.push_back(name);
            bytes += out.size();
        }
    }
};

Install& install() {
    static Install i;
    return i;
}

// The program scans once, at start-up, on a fresh heap: every page of the
// index is new to the process. Between rounds the benchmark gives the heap
// back as such a process has it: the blocks the last index freed are merged
// (a large request does that) and the memory they held is returned to the
// system, so the next round pays for its pages again.
//
// The second figure keeps that memory mapped between rounds (a warm heap,
// which the program's single scan never has), for comparison.
enum class Heap { Fresh, Warm };

void mergeFreedBlocks() {
#ifdef __GLIBC__
    std::free(std::malloc(64 * 1024));
#endif
}

void prepareHeap(Heap heap) {
#ifdef __GLIBC__
    // A threshold this high keeps free() from trimming on its own, so only
    // the explicit trim below returns memory.
    static const bool configured = mallopt(M_TRIM_THRESHOLD, 1 << 30) == 1;
    (void)configured;
    mergeFreedBlocks();
    if (heap == Heap::Fresh) malloc_trim(0);
#else
    (void)heap;
#endif
}

void scanInstall(benchmark::State& state, Heap heap) {
    install();
    prepareHeap(heap);
    std::size_t outfits = 0, animations = 0;
    for (auto _ : state) {
        auto library = std::make_unique<anim::CharacterLibrary>();
        library->loadCharacterFiles(anim::kCharacterSearchPath);
        outfits = library->outfits().size();
        animations = library->animations().size();
        state.PauseTiming();  // tearing the index down is not scanning
        library.reset();
        prepareHeap(heap);
        state.ResumeTiming();
    }
    state.counters["outfits"] = static_cast<double>(outfits);
    state.counters["animations"] = static_cast<double>(animations);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * install().bytes));
}

void BM_ScanInstall(benchmark::State& state) {
    scanInstall(state, Heap::Fresh);
}
void BM_ScanInstallWarmHeap(benchmark::State& state) {
    scanInstall(state, Heap::Warm);
}

void BM_ReadSameBytesRaw(benchmark::State& state) {
    const Install& in = install();
    for (auto _ : state) {
        std::size_t total = 0;
        for (const std::string& p : in.paths)
            if (auto bytes = platform::readWholeFile(p)) total += bytes->size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["files"] = static_cast<double>(in.paths.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.bytes));
}

BENCHMARK(BM_ScanInstall)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ScanInstallWarmHeap)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadSameBytesRaw)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return tryster::bench::runWithRatios(
        argc, argv,
        {{"BM_ScanInstall", "BM_ReadSameBytesRaw", 3, 0, "scan of 3000 files, fresh heap / raw read"},
         {"BM_ScanInstallWarmHeap", "BM_ReadSameBytesRaw", 0, 0,
          "scan of 3000 files, warm heap / raw read"}});
}
