// The baseline: the same figure, texture, lights and projection through
// Mesa's off-screen OpenGL with the fixed-function pipeline.

#include "MesaScene.h"
#include "RasterBench.h"

#include <chrono>

namespace tryster::bench {
namespace {

constexpr int kWarmUpFrames = 5;

}  // namespace

bool runMesa(const Setup& s, bool cull, Clear clear, const std::string& config, Picture& picture) {
    MesaScene scene(s.width, s.height, cull);
    if (!scene.ok()) return false;
    Framing framing = frameMesh(s.mesh, s.width, s.height);
    scene.setProjection(framing.projection);
    scene.placeLights(framing.view);
    const unsigned texture = scene.addTexture(s.texture);

    std::vector<double> times;
    for (int i = -kWarmUpFrames; i < s.frames; ++i) {
        auto start = std::chrono::steady_clock::now();
        scene.setModelView(framing.turn(i) * framing.view);
        if (clear == Clear::Scissored && i > -kWarmUpFrames) {
            const PixelRect r = boxOnScreen(s, framing, i - 1);
            scene.clear(r.left, r.top, r.right, r.bottom);
        } else {
            scene.clear();
        }
        scene.drawTriangles(s.mesh.vertices.data(), s.mesh.indices.data(), s.mesh.indices.size(), texture);
        scene.finish();
        auto end = std::chrono::steady_clock::now();
        if (i >= 0) times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    report(config, times);
    picture = scene.pixels();
    return true;
}

}  // namespace tryster::bench
