#pragma once
// The software 3D device: Direct3D immediate-mode behaviour for the calls
// the program makes, drawing into a system-memory surface with a float
// depth buffer of its own.

#include "platform/GraphicsDevice.h"
#include "softgpu/Clipper.h"
#include "softgpu/Rasterizer.h"
#include "softgpu/SoftwareSurface.h"
#include "softgpu/VertexProcessor.h"

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tryster::softgpu {

class SoftwareDevice final : public platform::GraphicsDevice {
public:
    // `zBuffer` only says that depth is wanted; the depth values live in
    // the device.
    SoftwareDevice(std::shared_ptr<SoftwareSurface> target, std::shared_ptr<SoftwareSurface> zBuffer,
                   bool indexedPrimitives);

    bool supportsIndexedPrimitives() const override { return indexedPrimitives_; }
    // A scene that starts a while after the last one ended first reads
    // once, in order, the texels of the textures the last one drew with
    // (see lastSceneTextures()).
    platform::DeviceResult beginScene() override;
    platform::DeviceResult endScene() override;
    platform::DeviceResult setRenderTarget(std::shared_ptr<platform::Surface> target, std::shared_ptr<platform::Surface> zBuffer) override;

    platform::DeviceResult createViewport(platform::ViewportHandle& out) override;
    platform::DeviceResult releaseViewport(platform::ViewportHandle viewport) override;
    platform::DeviceResult setViewport(platform::ViewportHandle viewport, const platform::ViewportDesc& desc) override;
    platform::DeviceResult setCurrentViewport(platform::ViewportHandle viewport) override;
    platform::DeviceResult setBackground(platform::ViewportHandle viewport, platform::MaterialHandle material) override;
    platform::DeviceResult addLight(platform::ViewportHandle viewport, platform::LightHandle light) override;
    platform::DeviceResult removeLight(platform::ViewportHandle viewport, platform::LightHandle light) override;
    platform::DeviceResult clear(platform::ViewportHandle viewport, std::span<const platform::ScreenRect> rects,
                       std::uint32_t flags) override;

    platform::DeviceResult createMaterial(platform::MaterialHandle& out) override;
    platform::DeviceResult setMaterial(platform::MaterialHandle material, const platform::MaterialDesc& desc) override;
    platform::DeviceResult releaseMaterial(platform::MaterialHandle material) override;
    platform::DeviceResult createTexture(std::shared_ptr<platform::Surface> surface, platform::TextureHandle& out) override;
    platform::DeviceResult releaseTexture(platform::TextureHandle texture) override;
    platform::DeviceResult createLight(platform::LightHandle& out) override;
    platform::DeviceResult setLight(platform::LightHandle light, const platform::LightDesc& desc) override;
    platform::DeviceResult releaseLight(platform::LightHandle light) override;

    platform::DeviceResult setRenderState(std::uint32_t state, std::uint32_t value) override;
    platform::DeviceResult renderState(std::uint32_t state, std::uint32_t& value) const override;
    platform::DeviceResult setLightState(std::uint32_t state, std::uint32_t value) override;
    platform::DeviceResult setTransform(std::uint32_t state, const platform::DeviceMatrix& matrix) override;

    void setClipStatus(const platform::ClipStatus& status) override { clipStatus_ = status; }
    platform::ClipStatus clipStatus() const override { return clipStatus_; }

    platform::DeviceResult drawIndexedPrimitive(platform::PrimitiveType type, std::uint32_t vertexFormat, const void* vertices,
                                      std::uint32_t vertexCount, const std::uint16_t* indices,
                                      std::uint32_t indexCount, std::uint32_t flags) override;
    // The textures the last finished scene drew with, the first few of
    // them, in the order first drawn with.
    std::span<const platform::TextureHandle> lastSceneTextures() const {
        return std::span(lastSceneTextures_).first(lastSceneTextureCount_);
    }

    platform::DeviceResult execute(std::span<const std::uint8_t> buffer, const platform::ExecuteData& data,
                         platform::ExecuteClipping clipping) override;

    platform::DeviceResult limitRedraw(const platform::RedrawBlocks* blocks) override;
    bool limitHeld() const override { return redraw_.held(); }

private:
    struct Viewport {
        bool live = false;
        bool placed = false;
        platform::ViewportDesc desc;
        platform::MaterialHandle background = 0;
        std::vector<platform::LightHandle> lights;
    };
    struct Texture {
        std::shared_ptr<SoftwareSurface> surface;
        TextureView view;
    };

    Viewport* viewport(platform::ViewportHandle handle);
    // The texels a handle names; null for none, an unknown handle or a
    // lost texture.
    const TextureView* textureView(platform::TextureHandle handle);
    // The depth buffer for the target's size, every value far.
    void makeDepth();
    // Readies the rasterizer, screen mapping and matrices for a draw on
    // the current viewport.
    platform::DeviceResult prepareDraw();
    void prepareLighting();
    void process(const platform::DeviceVertex* in, std::uint32_t count, ProcessedVertex* out, bool lit);
    // Indices are checked against `vertexCount`.
    template <typename IndexAt>
    void drawTriangles(std::uint32_t triangleCount, std::uint32_t vertexCount, IndexAt indexAt);
    // A triangle with a vertex outside the view volume.
    void drawClipped(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c);
    void uniteExtent();
    // Clears `r` of a target and depth known clear outside the touched
    // bands: only the touched columns of each band.
    void clearTouched(const platform::ScreenRect& r, std::uint32_t colour);
    void clearDepth(const platform::ScreenRect& r);
    // A limited scene's clear of `r`: the redrawn blocks in it, and of a
    // target known clear, only their touched columns.
    void clearRedrawn(const platform::ScreenRect& r, std::uint32_t colour, std::uint32_t flags, bool known);
    // A new target: nothing known of it.
    void forgetClear();

    std::shared_ptr<SoftwareSurface> target_;
    std::vector<float> depth_;
    bool hasDepth_;
    // Clearing the figure's box each frame, most of it already clear: once
    // a clear of the whole target is known to hold outside the columns the
    // draws touched since (while nothing else wrote the target), a clear
    // in that colour writes only those columns.
    std::vector<ColumnSpan> touched_;  // one per band of kTouchedBandRows rows
    bool clearKnown_ = false;
    std::uint32_t clearColour_ = 0;
    std::uint64_t targetWrites_ = 0;  // the target's writes() when it was last known
    bool indexedPrimitives_;
    bool inScene_ = false;
    RedrawGuard redraw_;

    std::vector<Viewport> viewports_;
    std::vector<std::optional<platform::MaterialDesc>> materials_;
    std::vector<std::optional<Texture>> textures_;
    std::vector<std::optional<platform::LightDesc>> lights_;
    platform::ViewportHandle current_ = 0;

    std::array<std::uint32_t, platform::render_state::kCount> renderStates_{};
    std::array<std::uint32_t, platform::light_state::kCount> lightStates_{};
    platform::DeviceMatrix world_, view_, projection_;
    platform::DeviceMatrix worldViewProjection_;
    bool matricesChanged_ = true;

    platform::ClipStatus clipStatus_;
    ScreenMapping mapping_;
    LightingSetup lighting_;
    std::vector<platform::LightDesc> activeLights_;
    Rasterizer rasterizer_;
    Clipper clipper_;
    // The textures this scene draws with, and the last scene's.
    static constexpr std::size_t kSceneTextures = 8;
    void noteSceneTexture(platform::TextureHandle texture);
    void readLastSceneTextures();
    std::array<platform::TextureHandle, kSceneTextures> sceneTextures_{}, lastSceneTextures_{};
    std::size_t sceneTextureCount_ = 0, lastSceneTextureCount_ = 0;
    // Scenes closer together than this find the texels in cache still.
    static constexpr std::uint32_t kCachesColdAfterMs = 2;
    std::uint32_t lastSceneEndMs_ = 0;

    std::vector<ProcessedVertex> processed_;  // reused between draws
    std::vector<platform::DeviceVertex> sourceScratch_;
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

}  // namespace tryster::softgpu
