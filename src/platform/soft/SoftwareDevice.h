#pragma once
// The software 3D device: Direct3D immediate-mode behaviour for the calls
// the program makes, drawing into a system-memory surface with a float
// depth buffer of its own.

#include "platform/GraphicsDevice.h"
#include "platform/soft/Clipper.h"
#include "platform/soft/Rasterizer.h"
#include "platform/soft/SoftwareSurface.h"
#include "platform/soft/VertexProcessor.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace tryster::platform::soft {

class SoftwareDevice final : public GraphicsDevice {
public:
    // `zBuffer` only says that depth is wanted; the depth values live in
    // the device.
    SoftwareDevice(std::shared_ptr<SoftwareSurface> target, std::shared_ptr<SoftwareSurface> zBuffer,
                   bool indexedPrimitives);

    bool supportsIndexedPrimitives() const override { return indexedPrimitives_; }
    DeviceResult beginScene() override;
    DeviceResult endScene() override;
    DeviceResult setRenderTarget(std::shared_ptr<Surface> target, std::shared_ptr<Surface> zBuffer) override;

    DeviceResult createViewport(ViewportHandle& out) override;
    DeviceResult releaseViewport(ViewportHandle viewport) override;
    DeviceResult setViewport(ViewportHandle viewport, const ViewportDesc& desc) override;
    DeviceResult setCurrentViewport(ViewportHandle viewport) override;
    DeviceResult setBackground(ViewportHandle viewport, MaterialHandle material) override;
    DeviceResult addLight(ViewportHandle viewport, LightHandle light) override;
    DeviceResult removeLight(ViewportHandle viewport, LightHandle light) override;
    DeviceResult clear(ViewportHandle viewport, std::span<const ScreenRect> rects,
                       std::uint32_t flags) override;

    DeviceResult createMaterial(MaterialHandle& out) override;
    DeviceResult setMaterial(MaterialHandle material, const MaterialDesc& desc) override;
    DeviceResult releaseMaterial(MaterialHandle material) override;
    DeviceResult createTexture(std::shared_ptr<Surface> surface, TextureHandle& out) override;
    DeviceResult releaseTexture(TextureHandle texture) override;
    DeviceResult createLight(LightHandle& out) override;
    DeviceResult setLight(LightHandle light, const LightDesc& desc) override;
    DeviceResult releaseLight(LightHandle light) override;

    DeviceResult setRenderState(std::uint32_t state, std::uint32_t value) override;
    DeviceResult renderState(std::uint32_t state, std::uint32_t& value) const override;
    DeviceResult setLightState(std::uint32_t state, std::uint32_t value) override;
    DeviceResult setTransform(std::uint32_t state, const DeviceMatrix& matrix) override;
    DeviceResult transform(std::uint32_t state, DeviceMatrix& out) const override;

    void setClipStatus(const ClipStatus& status) override { clipStatus_ = status; }
    ClipStatus clipStatus() const override { return clipStatus_; }

    DeviceResult drawIndexedPrimitive(PrimitiveType type, std::uint32_t vertexFormat, const void* vertices,
                                      std::uint32_t vertexCount, const std::uint16_t* indices,
                                      std::uint32_t indexCount, std::uint32_t flags) override;
    DeviceResult execute(std::span<const std::uint8_t> buffer, const ExecuteData& data,
                         ExecuteClipping clipping) override;

private:
    struct Viewport {
        bool live = false;
        bool placed = false;
        ViewportDesc desc;
        MaterialHandle background = 0;
        std::vector<LightHandle> lights;
    };
    struct Texture {
        std::shared_ptr<SoftwareSurface> surface;
        TextureView view;
    };

    Viewport* viewport(ViewportHandle handle);
    // The depth buffer for the target's size, every value far.
    void makeDepth();
    // Readies the rasterizer, screen mapping and matrices for a draw on
    // the current viewport.
    DeviceResult prepareDraw();
    void prepareLighting();
    void process(const DeviceVertex* in, std::uint32_t count, ProcessedVertex* out, bool lit);
    // Indices are checked against `vertexCount`.
    template <typename IndexAt>
    void drawTriangles(std::uint32_t triangleCount, std::uint32_t vertexCount, IndexAt indexAt);
    // A triangle with a vertex outside the view volume.
    void drawClipped(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c);
    void uniteExtent();

    std::shared_ptr<SoftwareSurface> target_;
    std::vector<float> depth_;
    bool hasDepth_;
    bool indexedPrimitives_;
    bool inScene_ = false;

    std::vector<Viewport> viewports_;
    std::vector<std::optional<MaterialDesc>> materials_;
    std::vector<std::optional<Texture>> textures_;
    std::vector<std::optional<LightDesc>> lights_;
    ViewportHandle current_ = 0;

    std::array<std::uint32_t, render_state::kCount> renderStates_{};
    std::array<std::uint32_t, light_state::kCount> lightStates_{};
    DeviceMatrix world_, view_, projection_;
    DeviceMatrix worldViewProjection_;
    bool matricesChanged_ = true;

    ClipStatus clipStatus_;
    ScreenMapping mapping_;
    LightingSetup lighting_;
    std::vector<LightDesc> activeLights_;
    Rasterizer rasterizer_;
    Clipper clipper_;
    std::vector<ProcessedVertex> processed_;  // reused between draws
    std::vector<DeviceVertex> sourceScratch_;
};

// Both device paths feed their triangles through here. Triangles wholly
// inside the view volume go to the rasterizer a batch at a time; the batch
// is drawn before any triangle that needs clipping, to keep the order.
template <typename IndexAt>
void SoftwareDevice::drawTriangles(std::uint32_t triangleCount, std::uint32_t vertexCount, IndexAt indexAt) {
    TriangleBatch batch;
    for (std::uint32_t t = 0; t < triangleCount; ++t) {
        std::uint32_t i0, i1, i2;
        indexAt(t, i0, i1, i2);
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount) continue;
        const ProcessedVertex &a = processed_[i0], &b = processed_[i1], &c = processed_[i2];
        if ((a.clip | b.clip | c.clip) == 0) {
            batch.add(a, b, c);
            if (batch.full()) rasterizer_.drawBatch(batch);
            continue;
        }
        rasterizer_.drawBatch(batch);
        drawClipped(a, b, c);
    }
    rasterizer_.drawBatch(batch);
}

}  // namespace tryster::platform::soft
