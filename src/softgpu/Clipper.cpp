#include "softgpu/Clipper.h"

#include <cmath>
#include <utility>

namespace tryster::softgpu {
namespace {

float distance(const ProcessedVertex& v, std::uint32_t plane) {
    switch (plane) {
        case kClipLeft:
            return v.cw + v.cx;
        case kClipRight:
            return v.cw - v.cx;
        case kClipBottom:
            return v.cw + v.cy;
        case kClipTop:
            return v.cw - v.cy;
        case kClipFront:
            return v.cz;
        default:
            return v.cw - v.cz;
    }
}

ProcessedVertex lerp(const ProcessedVertex& a, const ProcessedVertex& b, float t) {
    auto mix = [t](float x, float y) { return x + (y - x) * t; };
    ProcessedVertex r{};
    r.cx = mix(a.cx, b.cx);
    r.cy = mix(a.cy, b.cy);
    r.cz = mix(a.cz, b.cz);
    r.cw = mix(a.cw, b.cw);
    r.r = mix(a.r, b.r);
    r.g = mix(a.g, b.g);
    r.b = mix(a.b, b.b);
    r.a = mix(a.a, b.a);
    r.u = mix(a.u, b.u);
    r.v = mix(a.v, b.v);
    return r;
}

}  // namespace

std::size_t Clipper::clip(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c,
                          std::uint32_t planes, const ScreenMapping& mapping) {
    polygon_[0] = a;
    polygon_[1] = b;
    polygon_[2] = c;
    std::size_t count = 3;
    for (std::uint32_t plane = kClipLeft; plane <= kClipBack; plane <<= 1) {
        if (!(planes & plane)) continue;
        std::size_t out = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const ProcessedVertex& p = polygon_[i];
            const ProcessedVertex& q = polygon_[(i + 1) % count];
            float dp = distance(p, plane), dq = distance(q, plane);
            if (std::isnan(dp) || std::isnan(dq)) return 0;
            if (dp >= 0 && out < kMaxVertices) scratch_[out++] = p;
            if ((dp >= 0) != (dq >= 0) && out < kMaxVertices) scratch_[out++] = lerp(p, q, dp / (dp - dq));
        }
        std::swap(polygon_, scratch_);
        count = out;
        if (count < 3) return 0;
    }
    for (std::size_t i = 0; i < count; ++i) {
        ProcessedVertex& v = polygon_[i];
        v.clip = 0;
        if (!(v.cw > 0)) return 0;
        mapping.project(v);
    }
    return count;
}

}  // namespace tryster::softgpu
