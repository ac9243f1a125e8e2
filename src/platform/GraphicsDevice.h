#pragma once
// The 3D device: what the program uses of Direct3D immediate mode, behind
// one interface with a software implementation (soft/SoftwareDevice).
//
// Both device kinds are reached through this one object: indexed
// primitives (`drawIndexedPrimitive`) and execute buffers (`execute`). A
// device may decline indexed primitives (`supportsIndexedPrimitives`);
// execute buffers always work. Handles are small non-zero numbers; 0 means
// none. State values are Direct3D's.

#include "platform/DeviceTypes.h"
#include "platform/ExecuteBufferFormat.h"
#include "platform/RedrawBlocks.h"
#include "platform/Surface.h"

#include <cstdint>
#include <memory>
#include <span>

namespace tryster::platform {

using ViewportHandle = std::uint32_t;
using MaterialHandle = std::uint32_t;
using TextureHandle = std::uint32_t;
using LightHandle = std::uint32_t;

namespace render_state {
inline constexpr std::uint32_t kTextureHandle = 1;
inline constexpr std::uint32_t kAntialias = 2;
inline constexpr std::uint32_t kTexturePerspective = 4;
inline constexpr std::uint32_t kZEnable = 7;
inline constexpr std::uint32_t kFillMode = 8;
inline constexpr std::uint32_t kShadeMode = 9;
inline constexpr std::uint32_t kZWriteEnable = 14;
inline constexpr std::uint32_t kTextureMag = 17;
inline constexpr std::uint32_t kTextureMin = 18;
inline constexpr std::uint32_t kSrcBlend = 19;
inline constexpr std::uint32_t kDestBlend = 20;
inline constexpr std::uint32_t kTextureMapBlend = 21;
inline constexpr std::uint32_t kCullMode = 22;
inline constexpr std::uint32_t kZFunc = 23;
inline constexpr std::uint32_t kDitherEnable = 26;
inline constexpr std::uint32_t kAlphaBlendEnable = 27;
inline constexpr std::uint32_t kFogEnable = 28;
inline constexpr std::uint32_t kSpecularEnable = 29;
inline constexpr std::uint32_t kFogColor = 34;
inline constexpr std::uint32_t kCount = 40;  // states 0..39 are kept
}  // namespace render_state

namespace light_state {
inline constexpr std::uint32_t kMaterial = 1;
inline constexpr std::uint32_t kAmbient = 2;  // 0xAARRGGBB
inline constexpr std::uint32_t kColorModel = 3;
inline constexpr std::uint32_t kFogMode = 4;
inline constexpr std::uint32_t kFogStart = 5;  // float bits
inline constexpr std::uint32_t kFogEnd = 6;    // float bits
inline constexpr std::uint32_t kCount = 9;
}  // namespace light_state

namespace transform_state {
inline constexpr std::uint32_t kWorld = 1;
inline constexpr std::uint32_t kView = 2;
inline constexpr std::uint32_t kProjection = 3;
}  // namespace transform_state

// Values of the states above.
namespace compare_func {
inline constexpr std::uint32_t kNever = 1, kLess = 2, kEqual = 3, kLessEqual = 4, kGreater = 5, kNotEqual = 6,
                               kGreaterEqual = 7, kAlways = 8;
}
namespace blend_factor {
inline constexpr std::uint32_t kZero = 1, kOne = 2, kSrcColor = 3, kInvSrcColor = 4, kSrcAlpha = 5,
                               kInvSrcAlpha = 6;
}
namespace texture_filter {
inline constexpr std::uint32_t kNearest = 1, kLinear = 2;
}
namespace shade_mode {
inline constexpr std::uint32_t kFlat = 1, kGouraud = 2;
}
namespace fill_mode {
inline constexpr std::uint32_t kSolid = 3;
}
namespace cull_mode {
inline constexpr std::uint32_t kNone = 1, kClockwise = 2, kCounterClockwise = 3;
}

enum class PrimitiveType : std::uint32_t { TriangleList = 4 };

// drawIndexedPrimitive flags.
inline constexpr std::uint32_t kDrawDoNotClip = 0x4;
inline constexpr std::uint32_t kDrawDoNotUpdateExtents = 0x8;

enum class ExecuteClipping : std::uint32_t { Clipped = 1, Unclipped = 2 };

// Viewport clear flags.
inline constexpr std::uint32_t kClearTarget = 0x1;
inline constexpr std::uint32_t kClearZBuffer = 0x2;

struct MaterialDesc {
    ColourValue diffuse;
    ColourValue ambient;
    // Specular colour and power are kept but not drawn: every material the
    // program makes reflects no specular light.
    ColourValue specular;
    ColourValue emissive;
    float power = 0;
    TextureHandle texture = 0;
};

enum class LightType : std::uint32_t { Point = 1, Spot = 2, Directional = 3 };

// Only directional lights are drawn; other kinds light nothing.
struct LightDesc {
    LightType type = LightType::Directional;
    ColourValue colour;
    DeviceVector position;
    DeviceVector direction{0, 0, 1};  // the way the light travels
};

struct ViewportDesc {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The screen area that drawing touched since the status was last set
// (`hasExtent` false while nothing was drawn), and status flags.
struct ClipStatus {
    std::uint32_t status = 0;
    bool hasExtent = false;
    ScreenRect extent;
};

class GraphicsDevice {
public:
    virtual ~GraphicsDevice() = default;

    virtual bool supportsIndexedPrimitives() const = 0;

    [[nodiscard]] virtual DeviceResult beginScene() = 0;
    [[nodiscard]] virtual DeviceResult endScene() = 0;

    // Draws into other surfaces from now on (SetRenderTarget): `target` of
    // the display's format, `zBuffer` (or none) of its size. Everything
    // else the device holds stays; viewports that no longer fit in the new
    // target must be set again before they draw or clear. Not in a scene.
    [[nodiscard]] virtual DeviceResult setRenderTarget(std::shared_ptr<Surface> target,
                                                       std::shared_ptr<Surface> zBuffer) = 0;

    [[nodiscard]] virtual DeviceResult createViewport(ViewportHandle& out) = 0;
    virtual DeviceResult releaseViewport(ViewportHandle viewport) = 0;
    [[nodiscard]] virtual DeviceResult setViewport(ViewportHandle viewport, const ViewportDesc& desc) = 0;
    [[nodiscard]] virtual DeviceResult setCurrentViewport(ViewportHandle viewport) = 0;
    [[nodiscard]] virtual DeviceResult setBackground(ViewportHandle viewport, MaterialHandle material) = 0;
    [[nodiscard]] virtual DeviceResult addLight(ViewportHandle viewport, LightHandle light) = 0;
    virtual DeviceResult removeLight(ViewportHandle viewport, LightHandle light) = 0;
    // Clears the rectangles (clipped to the viewport) to the background
    // material's diffuse colour and/or the far depth.
    [[nodiscard]] virtual DeviceResult clear(ViewportHandle viewport, std::span<const ScreenRect> rects,
                                             std::uint32_t flags) = 0;

    [[nodiscard]] virtual DeviceResult createMaterial(MaterialHandle& out) = 0;
    [[nodiscard]] virtual DeviceResult setMaterial(MaterialHandle material, const MaterialDesc& desc) = 0;
    virtual DeviceResult releaseMaterial(MaterialHandle material) = 0;

    // The surface must hold 32-bit pixels; the device keeps it alive.
    [[nodiscard]] virtual DeviceResult createTexture(std::shared_ptr<Surface> surface,
                                                     TextureHandle& out) = 0;
    virtual DeviceResult releaseTexture(TextureHandle texture) = 0;

    [[nodiscard]] virtual DeviceResult createLight(LightHandle& out) = 0;
    [[nodiscard]] virtual DeviceResult setLight(LightHandle light, const LightDesc& desc) = 0;
    virtual DeviceResult releaseLight(LightHandle light) = 0;

    [[nodiscard]] virtual DeviceResult setRenderState(std::uint32_t state, std::uint32_t value) = 0;
    [[nodiscard]] virtual DeviceResult renderState(std::uint32_t state, std::uint32_t& value) const = 0;
    [[nodiscard]] virtual DeviceResult setLightState(std::uint32_t state, std::uint32_t value) = 0;
    [[nodiscard]] virtual DeviceResult setTransform(std::uint32_t state, const DeviceMatrix& matrix) = 0;

    virtual void setClipStatus(const ClipStatus& status) = 0;
    virtual ClipStatus clipStatus() const = 0;

    // Draws a triangle list with the current states on the current
    // viewport. Indices refer to `vertices`; a triangle with an index at or
    // past `vertexCount` is skipped. Only kVertexFormatXyzNormalTex1.
    [[nodiscard]] virtual DeviceResult drawIndexedPrimitive(PrimitiveType type, std::uint32_t vertexFormat,
                                                            const void* vertices, std::uint32_t vertexCount,
                                                            const std::uint16_t* indices,
                                                            std::uint32_t indexCount,
                                                            std::uint32_t flags) = 0;

    // Limits the next scene (up to its endScene) to the marked blocks of
    // the render target: its clears touch only them, and its draws leave
    // every pixel of the other blocks as it is. For a caller that knows
    // those pixels already hold what a whole redraw would give them. The
    // blocks are copied; null draws whole again. kUnsupported where the
    // device cannot; kInvalidParams when the blocks are not the target's
    // size.
    [[nodiscard]] virtual DeviceResult limitRedraw(const RedrawBlocks* blocks) {
        return blocks ? device_result::kUnsupported : device_result::kOk;
    }
    // False when a draw of the last limited scene could not keep the other
    // blocks as they were (it did not test depth), so that the scene has
    // to be drawn again whole.
    virtual bool limitHeld() const { return true; }

    // Interprets an execute buffer instruction by instruction on the
    // current viewport. Instructions and records that do not fit the
    // buffer end it with kInvalidParams.
    [[nodiscard]] virtual DeviceResult execute(std::span<const std::uint8_t> buffer, const ExecuteData& data,
                                               ExecuteClipping clipping) = 0;
};

}  // namespace tryster::platform
