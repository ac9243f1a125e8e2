#pragma once
// Draws screen-space triangles into a surface: fixed-point (28.4) edge
// functions walked over 8 × 8 pixel blocks, with a depth test, Gouraud
// colour, perspective-correct texturing (nearest, or bilinear where a
// triangle magnifies its texture and the filter asks for it), texture
// modulation, specular, and blending.
//
// Pixel centres sit at (x + 0.5, y + 0.5); edges follow the top-left rule,
// so triangles that share an edge touch every pixel once.

#include "platform/DeviceTypes.h"
#include "platform/soft/ProcessedVertex.h"
#include "platform/soft/SoftwareSurface.h"

#include <cstdint>

namespace tryster::platform::soft {

struct TextureView {
    const std::uint32_t* texels = nullptr;  // 0xAARRGGBB, rows top first
    int width = 0;
    int height = 0;
    int pitch = 0;  // texels per row
    bool hasAlpha = false;
};

struct RasterState {
    SoftwareSurface* target = nullptr;
    float* depth = nullptr;  // one float per pixel, `depthPitch` floats per row
    int depthPitch = 0;
    ScreenRect clip;  // the viewport
    bool depthTest = true;
    bool depthWrite = true;
    std::uint32_t depthFunc = 4;  // compare_func
    std::uint32_t cull = 3;       // cull_mode
    bool gouraud = true;
    bool perspective = true;
    bool specular = false;
    const TextureView* texture = nullptr;
    std::uint32_t magFilter = 1;  // texture_filter
    std::uint32_t minFilter = 1;
    bool blend = false;
    std::uint32_t srcBlend = 2;  // blend_factor
    std::uint32_t destBlend = 1;
};

class Rasterizer {
public:
    void setState(const RasterState& state);
    // The vertices' screen fields must be set. Vertices inside every clip
    // plane are always usable; clipped ones must be checked first.
    static bool usable(const ProcessedVertex& v);
    void drawTriangle(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c);

    // The pixels touched since the last reset (bounding rectangles of the
    // triangles, clipped to the viewport).
    void resetExtent() { hasExtent_ = false; }
    bool hasExtent() const { return hasExtent_; }
    const ScreenRect& extent() const { return extent_; }

    struct Setup;  // per-triangle edge and attribute planes (Rasterizer.cpp)

private:
    void uniteExtent(int left, int top, int right, int bottom);

    RasterState state_;
    bool fast_ = false;  // 32-bit target, no blending, depth LESSEQUAL with writes
    bool hasExtent_ = false;
    ScreenRect extent_;
};

}  // namespace tryster::platform::soft
