#pragma once
// Draws screen-space triangles into a surface: fixed-point (28.4) edge
// functions walked over 8 × 8 pixel blocks, with a depth test, Gouraud
// colour, perspective-correct texturing (nearest, or bilinear where a
// triangle magnifies its texture and the filter asks for it), texture
// modulation, and blending.
//
// Pixel centres sit at (x + 0.5, y + 0.5); edges follow the top-left rule,
// so triangles that share an edge touch every pixel once.

#include "platform/DeviceTypes.h"
#include "softgpu/ProcessedVertex.h"
#include "softgpu/RedrawGuard.h"
#include "softgpu/SoftwareSurface.h"

#include <cmath>
#include <cstdint>

namespace tryster::softgpu {

struct TextureView {
    // 0xAARRGGBB, rows top first; at least one texel past the last is
    // readable (a surface's spare rows), for the bilinear stamps' pairs.
    const std::uint32_t* texels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;  // texels per row
    bool hasAlpha = false;
};

// Columns [left, right) of a band of rows; none when left >= right.
struct ColumnSpan {
    int left = 0;
    int right = 0;
    bool empty() const { return left >= right; }
};

// Rows go in bands of this many for the columns the draws touched.
constexpr int kTouchedBandRows = 8;

struct RasterState {
    SoftwareSurface* target = nullptr;
    float* depth = nullptr;  // one float per pixel, `depthPitch` floats per row
    int depthPitch = 0;
    platform::ScreenRect clip;  // the viewport
    bool depthTest = true;
    bool depthWrite = true;
    std::uint32_t depthFunc = 4;  // compare_func
    std::uint32_t cull = 3;       // cull_mode
    bool gouraud = true;
    bool perspective = true;
    const TextureView* texture = nullptr;
    std::uint32_t magFilter = 1;  // texture_filter
    std::uint32_t minFilter = 1;
    bool blend = false;
    std::uint32_t srcBlend = 2;  // blend_factor
    std::uint32_t destBlend = 1;
    // Where given, one span per band of the target's rows: each draw adds
    // the columns it may change in the bands it covers.
    ColumnSpan* touchedBands = nullptr;
    // Where given, the scene is limited to its redrawn blocks.
    RedrawGuard* redraw = nullptr;
};

// Triangles waiting to be drawn together, in drawing order.
struct TriangleBatch {
    static constexpr int kSize = 8;
    using Corners = const ProcessedVertex* [kSize][3];
    Corners corners;
    int count = 0;

    void add(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c) {
        corners[count][0] = &a;
        corners[count][1] = &b;
        corners[count][2] = &c;
        ++count;
    }
    bool full() const { return count == kSize; }
};

class Rasterizer {
public:
    // Screen positions snap to 1/16 pixel (28.4 fixed point).
    static constexpr int kSubpixels = 16;

    // With AVX2 the common case goes eight pixels at a time, and batches
    // are set up eight triangles at once; tests turn that off to compare
    // with four of each at a time, as on SSE2 alone (the pictures are the
    // same). Read by setState().
    static void forbidEightWide(bool forbidden);

    void setState(const RasterState& state);
    // The vertices' screen fields must be set. Vertices inside every clip
    // plane are always usable; clipped ones must be checked first.
    static bool usable(const ProcessedVertex& v);
    void drawTriangle(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c);
    // Draws the batch's triangles, whose vertices all lie inside every
    // clip plane, as drawTriangle would one by one, and empties it. Their
    // positions, culling, bounds and edges are worked out together, eight
    // at a time with AVX2, four on SSE2 alone.
    void drawBatch(TriangleBatch& batch);

    // The pixels touched since the last reset (bounding rectangles of the
    // triangles, clipped to the viewport).
    void resetExtent() { hasExtent_ = false; }
    bool hasExtent() const { return hasExtent_; }
    const platform::ScreenRect& extent() const { return extent_; }

    struct Setup;  // per-triangle edge and attribute planes (PixelPipeline.h)
    struct BatchLanes;  // a batch's position stage, triangle by lane (TriangleBatch.cpp)

private:
    // A triangle's snapped positions as its attribute planes take them, in
    // pixels: the second and third vertex from the first, the area and its
    // inverse, and the first pixel centre from the first vertex.
    struct Positions {
        float dx1, dy1, dx2, dy2;
        float areaPixels, inverseArea;
        float ox, oy;
    };

    // How a triangle samples its texture.
    struct TextureLook {
        bool perspective = false;
        bool bilinear = false;
    };
    // Texture coordinates up to this size convert to fixed point safely as
    // they are; larger ones are first moved by whole repeats towards 0 and
    // bounded by kMaxTexCoord.
    static constexpr float kSafeTexCoord = 4096.0f;
    static constexpr float kMaxTexCoord = 8192.0f;

    // The rest of a triangle's set-up once its positions (clockwise),
    // bounds and edges are known, and its drawing.
    void finish(Setup& s, const ProcessedVertex* const v[3], const Positions& p);
    // Looks at the vertices' (sz, rhw, u, v) and makes them ready for the
    // plane through them: large coordinates moved, u and v times rhw when
    // perspective-correct.
    TextureLook textureLook(float (&values)[3][4], float areaPixels) const;
    std::uint32_t filterFor(const float u[3], const float w[3], float areaPixels) const {
        if (state_.magFilter == state_.minFilter) return state_.magFilter;
        // Magnified where a texel covers more than a pixel.
        const float texels = std::fabs((u[1] - u[0]) * (w[2] - w[0]) - (u[2] - u[0]) * (w[1] - w[0])) *
                             textureWidth_ * textureHeight_;
        return texels < areaPixels ? state_.magFilter : state_.minFilter;
    }
    static void normaliseTexCoords(float& c0, float& c1, float& c2);
    // The same for the triangle in lane `k` of a batch, drawn by quads;
    // false when it needs finish() after all.
    bool finishQuads(const ProcessedVertex* const v[3], const BatchLanes& lanes, int k);
    void uniteExtent(int left, int top, int right, int bottom);
    // Whether a triangle with these pixel bounds (inclusive) is drawn in
    // a limited scene; see RedrawGuard::admit.
    bool admitted(int xmin, int xmax, int ymin, int ymax) {
        return !state_.redraw || state_.redraw->admit(xmin, xmax, ymin, ymax, depthRejects_);
    }

    RasterState state_;
    bool fast_ = false;   // 32-bit target, no blending, depth LESSEQUAL with writes
    bool quads_ = false;   // fast_ with SSE2: quads draw the pixels
    bool eightWide_ = false;  // AVX2: stamps of two quads, batches set up together
    bool depthRejects_ = false;  // the depth test fails against minus infinity
    float textureWidth_ = 0, textureHeight_ = 0;
    bool hasExtent_ = false;
    platform::ScreenRect extent_;
};

}  // namespace tryster::softgpu
