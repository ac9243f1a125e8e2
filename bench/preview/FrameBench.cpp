// bench_preview_frame --game=DIR [benchmark options]
//
// One whole preview frame of the game's default character (director and
// clock, pose, skinning, drawing, present), its idles playing, at the
// preview's size (332 x 430) and at render scale 2 (664 x 860, a
// high-density screen), against Mesa's llvmpipe on one thread drawing the
// same triangles (the character as it stands at one moment) once at the
// same size, with the same lights, textures and projection and no
// animation work. The target: the whole frame takes less time than that
// draw alone.

#include "../BenchRatios.h"
#include "../raster/MesaScene.h"

#include "anim/SkinInstance.h"
#include "formats/ImageDecoder.h"
#include "platform/Clock.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"
#include "preview/Preview.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace tryster;

constexpr std::uint32_t kFramePeriodMs = 20;
// The greeting and a few idles run before timing starts.
constexpr int kWarmUpFrames = 300;

std::string gameFolder;

// Takes each frame as the preview widget would: a copy of its pixels.
class CopyingWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return {0, 0, 0, 0}; }
    void showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) override {
        pixels.resize(static_cast<std::size_t>(source.width()) * static_cast<std::size_t>(source.height()));
        const std::size_t row = static_cast<std::size_t>(source.width()) * 4;
        for (int y = source.top; y < source.bottom; ++y)
            std::memcpy(pixels.data() + static_cast<std::size_t>(y - source.top) * static_cast<std::size_t>(source.width()),
                        frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + source.left * 4, row);
    }
    std::vector<std::uint32_t> pixels;
};

class Rig {
public:
    explicit Rig(float scale) : preview_(look_, presenter_, previewClock_) {
        platform::installClockSource(&clock_);
        platform::seedRandom(1);  // the same idles for each scale
        if (!platform::fileSystem().setCurrentDirectory(gameFolder) ||
            !preview::startPreview(preview_, look_, &window_, preview::kPreviewWidth, preview::kPreviewHeight,
                                   scale)) {
            std::fprintf(stderr, "bench_preview_frame: no preview on %s\n", gameFolder.c_str());
            std::exit(1);
        }
        for (int i = 0; i < kWarmUpFrames; ++i) frame();
    }
    ~Rig() {
        preview_.tearDown();
        platform::installClockSource(nullptr);
    }
    void frame() {
        platform::installClockSource(&clock_);
        clock_.ticks += kFramePeriodMs;
        (void)preview_.frame();
    }
    preview::Preview& preview() { return preview_; }

    // One for each scale, made when first asked for; each frame runs on
    // its own clock.
    static Rig& instance(int scale) {
        if (scale == 1) {
            static Rig single(1);
            return single;
        }
        static Rig twice(2);
        return twice;
    }

private:
    platform::FixedClock clock_{1'000'000, 1};
    CopyingWindow window_;
    preview::SilentPresenter presenter_;
    preview::PreviewClock previewClock_;
    Character character_;
    preview::LookModel look_{character_};
    preview::Preview preview_;
};

// The character's triangles as drawn in the last frame, for Mesa.
struct Batch {
    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;
    unsigned texture = 0;
};

formats::DecodedImage textureImage(const std::string& name) {
    formats::DecodedImage image;
    const auto path = platform::FileFinder::instance().find(name, "BMP", preview::kTextureSearchPath);
    if (path)
        if (auto bytes = platform::readWholeFile(*path); bytes && formats::decodeBmp(*bytes, image)) return image;
    image = {1, 1, {0xFFFFFFFF}};
    return image;
}

std::vector<Batch> characterBatches(bench::MesaScene& scene, preview::Preview& p) {
    std::vector<Batch> out;
    for (const auto& worn : p.character()->skeleton()->wornOutfits())
        for (const anim::WornPart& part : worn->parts()) {
            const render::RenderMesh& mesh = part.skin->renderMesh();
            Batch b;
            const auto vertices = mesh.vertices();
            b.vertices.resize(vertices.size() * 8);
            std::memcpy(b.vertices.data(), vertices.data(), b.vertices.size() * sizeof(float));
            b.indices.assign(mesh.indices().begin(), mesh.indices().end());
            b.texture = scene.addTexture(textureImage(part.skin->textureName()));
            out.push_back(std::move(b));
        }
    return out;
}

void previewFrame(benchmark::State& state, int scale) {
    Rig& rig = Rig::instance(scale);
    std::size_t triangles = 0;
    for (const auto& worn : rig.preview().character()->skeleton()->wornOutfits())
        for (const anim::WornPart& part : worn->parts()) triangles += part.skin->renderMesh().indices().size() / 3;
    for (auto _ : state) rig.frame();
    state.counters["triangles"] = static_cast<double>(triangles);
}

void mesaDraw(benchmark::State& state, int scale, bool cull) {
    Rig& rig = Rig::instance(scale);
    preview::Preview& p = rig.preview();
    bench::MesaScene scene(p.animDevice()->width(), p.animDevice()->height(), cull);
    if (!scene.ok()) {
        state.SkipWithError("Mesa cannot start");
        return;
    }
    const render::Viewport3D& v = *p.viewport();
    scene.setProjection(v.projection());
    scene.placeLights(v.view());
    scene.setModelView(p.character()->renderGroup().matrix() * v.view());
    const std::vector<Batch> batches = characterBatches(scene, p);
    for (auto _ : state) {
        scene.clear();
        for (const Batch& b : batches) scene.drawTriangles(b.vertices.data(), b.indices.data(), b.indices.size(), b.texture);
        scene.finish();
    }
}

void BM_PreviewFrame332x430(benchmark::State& state) { previewFrame(state, 1); }
void BM_PreviewFrame664x860(benchmark::State& state) { previewFrame(state, 2); }
void BM_MesaDrawCulled332x430(benchmark::State& state) { mesaDraw(state, 1, true); }
void BM_MesaDrawCulled664x860(benchmark::State& state) { mesaDraw(state, 2, true); }
void BM_MesaDrawAll332x430(benchmark::State& state) { mesaDraw(state, 1, false); }
void BM_MesaDrawAll664x860(benchmark::State& state) { mesaDraw(state, 2, false); }

BENCHMARK(BM_PreviewFrame332x430)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MesaDrawCulled332x430)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MesaDrawAll332x430)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PreviewFrame664x860)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MesaDrawCulled664x860)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MesaDrawAll664x860)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    // One llvmpipe thread: the preview draws on one thread too.
    setenv("LP_NUM_THREADS", "0", 1);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--game=", 7) == 0) {
            // Absolute: the first preview made moves into the folder.
            gameFolder = std::filesystem::absolute(argv[i] + 7).string();
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }
    if (gameFolder.empty()) {
        std::fprintf(stderr, "usage: bench_preview_frame --game=DIR [benchmark options]\n");
        return 2;
    }
    return tryster::bench::runWithRatios(argc, argv,
                                         {{"BM_PreviewFrame332x430", "BM_MesaDrawCulled332x430", 1},
                                          {"BM_PreviewFrame332x430", "BM_MesaDrawAll332x430", 1},
                                          {"BM_PreviewFrame664x860", "BM_MesaDrawCulled664x860", 1},
                                          {"BM_PreviewFrame664x860", "BM_MesaDrawAll664x860", 1}});
}
