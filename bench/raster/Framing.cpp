#include "RasterBench.h"

#include "render/Camera.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tryster::bench {

Framing frameMesh(const BenchMesh& mesh, int width, int height) {
    Framing f;
    const render::Box& b = mesh.box;
    f.centre = (b.min + b.max) * 0.5f;
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    // The turning mesh stays within this radius of its vertical axis.
    const render::Vector3 size = b.max - b.min;
    const float radius = 0.5f * std::sqrt(size.x * size.x + size.z * size.z);
    const float viewWidth = 1.1f * std::max(2 * radius, size.y * aspect);  // A world units across
    const float distance = 4 * radius + 1, far = distance + 2 * radius + 1;
    // The camera stands in front of the centre, looking along +z.
    f.view = render::Matrix4::translation({-f.centre.x, -f.centre.y, distance - f.centre.z});
    f.projection = render::parallelProjection(viewWidth, aspect, far);
    return f;
}

render::Matrix4 Framing::turn(int frame) const {
    const float angle = 0.01f * static_cast<float>(frame);
    return render::Matrix4::translation(centre * -1.0f) * render::Matrix4::rotationY(angle) *
           render::Matrix4::translation(centre);
}

void report(const std::string& config, std::vector<double> ms) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    double median = ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
    std::printf("config=%s median_ms=%.3f min_ms=%.3f max_ms=%.3f\n", config.c_str(), median, ms.front(),
                ms.back());
    std::fflush(stdout);
}

}  // namespace tryster::bench
