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

PixelRect boxOnScreen(const Setup& s, const Framing& f, int frame) {
    const render::Matrix4 m = f.turn(frame) * f.view * f.projection;
    float left = 1e30f, top = 1e30f, right = -1e30f, bottom = -1e30f;
    for (int i = 0; i < 8; ++i) {
        const render::Vector3 c = s.mesh.box.corner(i);
        const render::Vector3 clip = m.transformPoint(c);
        const float w = c.x * m.m[0][3] + c.y * m.m[1][3] + c.z * m.m[2][3] + m.m[3][3];
        const float x = (clip.x / w + 1) * 0.5f * static_cast<float>(s.width);
        const float y = (1 - clip.y / w) * 0.5f * static_cast<float>(s.height);
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    // A pixel of margin each way covers rounding.
    PixelRect r;
    r.left = std::clamp(static_cast<int>(std::floor(left)) - 1, 0, s.width);
    r.top = std::clamp(static_cast<int>(std::floor(top)) - 1, 0, s.height);
    r.right = std::clamp(static_cast<int>(std::ceil(right)) + 1, 0, s.width);
    r.bottom = std::clamp(static_cast<int>(std::ceil(bottom)) + 1, 0, s.height);
    return r;
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
