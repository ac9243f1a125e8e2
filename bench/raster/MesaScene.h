#pragma once
// Mesa's off-screen OpenGL (llvmpipe, fixed function) set up as the
// preview sets up its scene: the background, two white directional lights,
// the ambient light, a white material, depth test and Gouraud shading. The
// benchmarks draw their triangles through it as the baseline.
//
// llvmpipe reads LP_NUM_THREADS once per process, when the first context
// is made.

#include "formats/ImageDecoder.h"
#include "render/Math3D.h"

#include <cstdint>
#include <vector>

namespace tryster::bench {

class MesaScene {
public:
    // `cull`: back faces (counter-clockwise on screen) are not drawn.
    MesaScene(int width, int height, bool cull);
    ~MesaScene();
    MesaScene(const MesaScene&) = delete;
    MesaScene& operator=(const MesaScene&) = delete;

    // False when Mesa could not make the context.
    bool ok() const { return context_ != nullptr; }

    // Row-vector matrices as the engine keeps them (Direct3D depth 0..1).
    void setProjection(const render::Matrix4& projection);
    void setModelView(const render::Matrix4& modelView);
    // The lights shine along world directions: they are placed under the
    // view matrix.
    void placeLights(const render::Matrix4& view);

    // A texture of the image; 0 when it cannot be made.
    unsigned addTexture(const formats::DecodedImage& image);
    // The whole frame (colour and depth), or only the pixels from (left,
    // top) up to (right, bottom), y down, through the scissor test.
    void clear();
    void clear(int left, int top, int right, int bottom);
    // Vertices of 8 floats (x y z nx ny nz u v), textured by `texture`.
    void drawTriangles(const float* vertices, const std::uint16_t* indices, std::size_t indexCount,
                       unsigned texture);
    // Waits until every drawing call has finished.
    void finish();

    const std::vector<std::uint32_t>& pixels() const { return frame_; }

private:
    void* context_ = nullptr;
    int height_ = 0;
    std::vector<std::uint32_t> frame_;
    std::vector<unsigned> textures_;
};

}  // namespace tryster::bench
