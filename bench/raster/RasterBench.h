#pragma once
// Shared parts of the raster benchmark: the mesh it draws, how it frames
// it, and the timing summary of one configuration.

#include "render/ImageDecoder.h"
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
    render::DecodedImage texture;
    std::string texturePath;  // the BMP as given
    int width = 0, height = 0, frames = 0;
    std::string out;  // PNG of the last frame, or empty
};

// The view: an orthographic camera framing the turning mesh from the
// front, with the preview's parallel projection.
struct Framing {
    render::Matrix4 view, projection;
    // The model matrix of frame `i`: a small turn about the mesh's centre.
    render::Matrix4 turn(int frame) const;
    render::Vector3 centre;
};
Framing frameMesh(const BenchMesh& mesh, int width, int height);

// Median, min and max of per-frame milliseconds, printed as one line.
void report(const std::string& config, std::vector<double> frameMs);

// Each runs the configuration and reports it (nothing when it cannot run).
void runEngine(const Setup& setup, bool indexed, bool cull, const std::string& config, bool writeOut);
void runMesa(const Setup& setup, int threads, bool cull, const std::string& config, bool writeOut);

}  // namespace tryster::bench
