// The baseline: the same figure, texture, lights and projection through
// Mesa's off-screen OpenGL with the fixed-function pipeline.

#include "MesaScene.h"
#include "RasterBench.h"

#include "platform/PngImage.h"

#include <chrono>

namespace tryster::bench {
namespace {

constexpr int kWarmUpFrames = 5;

}  // namespace

void runMesa(const Setup& s, int, bool cull, const std::string& config, bool writeOut) {
    MesaScene scene(s.width, s.height, cull);
    if (!scene.ok()) return;
    Framing framing = frameMesh(s.mesh, s.width, s.height);
    scene.setProjection(framing.projection);
    scene.placeLights(framing.view);
    const unsigned texture = scene.addTexture(s.texture);

    std::vector<double> times;
    for (int i = -kWarmUpFrames; i < s.frames; ++i) {
        auto start = std::chrono::steady_clock::now();
        scene.setModelView(framing.turn(i) * framing.view);
        scene.clear();
        scene.drawTriangles(s.mesh.vertices.data(), s.mesh.indices.data(), s.mesh.indices.size(), texture);
        scene.finish();
        auto end = std::chrono::steady_clock::now();
        if (i >= 0) times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    report(config, times);
    if (writeOut) {
        std::string path = s.out;
        std::size_t dot = path.rfind('.');
        path.insert(dot == std::string::npos ? path.size() : dot, "-" + config);
        platform::writePng(path, s.width, s.height, scene.pixels().data(), static_cast<std::size_t>(s.width));
    }
}

}  // namespace tryster::bench
