#pragma once
// A viewport of the device: its rectangle, background, ambient light,
// render-state block, camera, view and projection, the world transform of
// the object being drawn, and the dirty rectangles drawn since the last
// clear (the next clear touches only those).

#include "platform/GraphicsDevice.h"
#include "render/Camera.h"
#include "render/Math3D.h"
#include "render/RenderError.h"
#include "render/RenderStateBlock.h"

#include <memory>
#include <vector>

namespace tryster::render {

class Device3D;
class RenderObject;

// How much of an object is known to lie inside the view volume.
enum class ClipMode { Untested = 0, Inside = 1, Partial = 2 };
enum class BoxClass { Outside, Inside, Partial };

class Viewport3D {
public:
    ~Viewport3D();
    Viewport3D(const Viewport3D&) = delete;
    Viewport3D& operator=(const Viewport3D&) = delete;

    Device3D& device() const { return device_; }
    platform::ViewportHandle handle() const { return handle_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Places the viewport at the target's top left corner with this size
    // (it must fit in the render target) and marks it all for the next
    // clear.
    [[nodiscard]] RenderResult setSize(int width, int height);
    float aspect() const { return static_cast<float>(width_) / static_cast<float>(height_); }

    // The background material's diffuse colour (alpha as given; the clear
    // uses it clamped to 0..1).
    [[nodiscard]] RenderResult setBackgroundColour(float r, float g, float b, float a);

    // Sent as 0xAARRGGBB, each channel the integer part of 255 × component.
    [[nodiscard]] RenderResult setAmbientColour(float r, float g, float b, float a);
    std::uint32_t ambientArgb() const { return ambient_; }

    RenderStateBlock renderState() const { return state_; }
    void setRenderState(const RenderStateBlock& block) { state_ = block; }
    // Applies the block when its changed flag is set, with the texture
    // handle reset to 0 and the view and projection matrices.
    [[nodiscard]] RenderResult applyRenderState();

    // The viewport keeps a reference too.
    [[nodiscard]] RenderResult createCamera(Ref<Camera>& out);
    Camera* camera() const { return camera_.get(); }
    void setView(const Matrix4& view);
    void setProjection(const Matrix4& projection);
    const Matrix4& view() const { return view_; }
    const Matrix4& projection() const { return projection_; }

    // Frame: clear, begin scene (one retry after lost surfaces), draw,
    // end scene.
    [[nodiscard]] RenderResult clear(bool zBuffer = true);
    [[nodiscard]] RenderResult beginScene();
    [[nodiscard]] RenderResult endScene();

    // Draws an object with its matrix applied over the current world
    // transform (an identity-tagged matrix leaves it), then restores it.
    [[nodiscard]] RenderResult draw(RenderObject& object, ClipMode mode = ClipMode::Untested);
    // The box's eight corners carried by world × view × projection against
    // the six clip planes.
    BoxClass classifyBox(const Box& box) const { return classifyBox(box, world_ * view_ * projection_); }
    // The same for a box carried by `toClip`.
    static BoxClass classifyBox(const Box& box, const Matrix4& toClip);

    // Limits the next scene to the marked blocks of the target (see
    // GraphicsDevice::limitRedraw); null, invalidate() or the scene's end
    // lifts it. limitHeld() says afterwards whether the scene kept to it.
    [[nodiscard]] RenderResult limitRedraw(const platform::RedrawBlocks* blocks);
    bool limitHeld() const;

    void addDirtyRect(const ScreenExtent& extent);
    const std::vector<platform::ScreenRect>& dirtyRects() const { return dirty_; }
    // Marks the whole viewport for the next clear.
    void invalidate();

private:
    friend class Device3D;
    explicit Viewport3D(Device3D& device) : device_(device) {}
    RenderResult create();
    RenderResult pushMatrices();
    RenderResult setWorld(const Matrix4& world, MatrixKind kind);

    Device3D& device_;
    platform::ViewportHandle handle_ = 0;
    platform::MaterialHandle backgroundMaterial_ = 0;
    int width_ = 0, height_ = 0;
    platform::ColourValue background_{0, 0, 0, 1};
    std::uint32_t ambient_ = 0;
    RenderStateBlock state_;
    Ref<Camera> camera_;
    Matrix4 view_, projection_, world_;
    MatrixKind worldKind_ = MatrixKind::Identity;
    bool matricesChanged_ = true;
    std::vector<platform::ScreenRect> dirty_;
};

}  // namespace tryster::render
