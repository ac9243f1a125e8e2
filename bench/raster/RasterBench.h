#pragma once
// Shared parts of the raster benchmark: the mesh it draws, how it frames
// it, the timing summary of one configuration, and the checks beside the
// timings (the pictures of both sides agree; the memory-bandwidth floor).

#include "formats/ImageDecoder.h"
#include "render/Math3D.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tryster::bench {

struct BenchMesh {
    std::vector<float> vertices;  // 8 floats each: x y z nx ny nz u v
    std::vector<std::uint16_t> indices;
    render::Box box;
    std::size_t vertexCount() const { return vertices.size() / 8; }
};

struct Setup {
    BenchMesh mesh;
    formats::DecodedImage texture;
    std::string texturePath;  // the BMP as given
    int width = 0, height = 0, frames = 0;
    std::string out;                // PNG of the last frame, or empty
    std::vector<std::string> only;  // configurations to run; empty: all
    bool runs(const std::string& config) const;
};

// The last frame of a configuration: 0xXXRRGGBB, rows top first.
using Picture = std::vector<std::uint32_t>;

// The view: an orthographic camera framing the turning mesh from the
// front, with the preview's parallel projection.
struct Framing {
    render::Matrix4 view, projection;
    // The model matrix of frame `i`: a small turn about the mesh's centre.
    render::Matrix4 turn(int frame) const;
    render::Vector3 centre;
};
Framing frameMesh(const BenchMesh& mesh, int width, int height);

// The pixels that the mesh's box covers on screen at frame `i` (what a
// clear limited to the drawn area must clear before frame i + 1), as
// left, top, right, bottom with y down.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
PixelRect boxOnScreen(const Setup& setup, const Framing& framing, int frame);

// Median, min and max of per-frame milliseconds, printed as one line.
void report(const std::string& config, std::vector<double> frameMs);

// Prints how far `picture` is from the engine's and returns whether it is
// close enough to count as the same picture: rasterization rules and
// texture sampling differ at edges and texel boundaries, so a few pixels
// may differ widely, but not many.
bool samePicture(const std::string& config, const Picture& engine, const Picture& picture);

// Bytes a frame must write at least (colour and depth of every pixel, 4
// bytes each) over the memcpy rate measured now: the floor no drawing of
// the frame gets under. Printed as one line.
void reportBandwidthFloor(int width, int height);

// Each runs the configuration and reports it; `picture` receives its last
// frame. They return false when the configuration cannot run.
enum class Clear { Dirty, Full, Scissored };
bool runEngine(const Setup& setup, bool indexed, bool cull, Clear clear, const std::string& config,
               Picture& picture);
bool runMesa(const Setup& setup, bool cull, Clear clear, const std::string& config, Picture& picture);

}  // namespace tryster::bench
