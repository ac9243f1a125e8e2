#include "render/Viewport3D.h"

#include "render/Device3D.h"
#include "render/RenderObject.h"

#include <bit>

namespace tryster::render {
namespace {

namespace rs = platform::render_state;
namespace ls = platform::light_state;
using Pairs = std::vector<ExecuteBuffer::StatePair>;

std::uint32_t packed(float r, float g, float b, float a) {
    auto channel = [](float c) { return static_cast<std::uint32_t>(std::clamp(c, 0.0f, 1.0f) * 255.0f); };
    return (channel(a) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

}  // namespace

Viewport3D::~Viewport3D() {
    if (camera_) camera_->viewport_ = nullptr;
    platform::GraphicsDevice& g = device_.graphics();
    // A destructor has no one to tell.
    if (backgroundMaterial_) (void)g.releaseMaterial(backgroundMaterial_);  // forgotten either way
    if (handle_) (void)g.releaseViewport(handle_);  // forgotten either way
}

RenderResult Viewport3D::create() {
    platform::GraphicsDevice& g = device_.graphics();
    AnimDevice& anim = device_.animDevice();
    width_ = anim.width();
    height_ = anim.height();
    if (RenderResult rc{g.createViewport(handle_)}) return rc;
    if (RenderResult rc{g.setViewport(handle_, {0, 0, width_, height_})}) return rc;
    if (RenderResult rc{g.createMaterial(backgroundMaterial_)}) return rc;
    if (RenderResult rc = setBackgroundColour(0, 0, 0, 1)) return rc;
    invalidate();
    return render_error::kOk;
}

RenderResult Viewport3D::setSize(int width, int height) {
    if (platform::DeviceResult rc = device_.graphics().setViewport(handle_, {0, 0, width, height}))
        return RenderResult(rc);
    width_ = width;
    height_ = height;
    invalidate();
    return render_error::kOk;
}

RenderResult Viewport3D::setBackgroundColour(float r, float g, float b, float a) {
    background_ = {r, g, b, a};
    platform::MaterialDesc desc;
    desc.diffuse = background_;
    platform::GraphicsDevice& gd = device_.graphics();
    if (RenderResult rc{gd.setMaterial(backgroundMaterial_, desc)}) return rc;
    return RenderResult(gd.setBackground(handle_, backgroundMaterial_));
}

RenderResult Viewport3D::setAmbientColour(float r, float g, float b, float a) {
    ambient_ = packed(r, g, b, a);
    const ExecuteBuffer::StatePair state{ls::kAmbient, ambient_};
    return device_.setLightStates({&state, 1});
}

RenderResult Viewport3D::applyRenderState() {
    if (!state_.changed) return render_error::kOk;
    const bool indexed = device_.usesIndexedPrimitives();
    auto u = [](auto v) { return static_cast<std::uint32_t>(v); };
    Pairs states{{rs::kZEnable, u(state_.zBuffer)},
                 {rs::kZWriteEnable, u(state_.zBuffer)},
                 {rs::kZFunc, platform::compare_func::kLessEqual},
                 {rs::kTexturePerspective, u(state_.perspectiveTextures)},
                 {rs::kShadeMode, u(state_.shading)},
                 {rs::kFillMode, u(state_.fill)},
                 {rs::kDitherEnable, u(state_.dither)},
                 {rs::kSpecularEnable, u(state_.specular)},
                 {rs::kFogEnable, u(state_.fog)},
                 {rs::kFogColor, u(state_.fogColour)},
                 {rs::kTextureHandle, 0}};
    if (!indexed) {
        states.push_back({rs::kTextureMin, u(state_.textureMin)});
        states.push_back({rs::kTextureMag, u(state_.textureMag)});
        states.push_back({rs::kAntialias, u(state_.antialias)});
    }
    if (RenderResult rc = device_.setRenderStates(states)) return rc;
    // A shade mode the device does not keep goes back to Gouraud.
    std::uint32_t shade = 0;
    if (device_.graphics().renderState(rs::kShadeMode, shade) == platform::device_result::kOk &&
        shade != u(state_.shading)) {
        state_.shading = 2;
        const ExecuteBuffer::StatePair gouraud{rs::kShadeMode, 2};
        if (RenderResult rc = device_.setRenderStates({&gouraud, 1})) return rc;
    }
    Pairs lights;
    if (state_.fog) lights.push_back({ls::kFogMode, u(state_.fogMode)});
    lights.push_back({ls::kFogStart, std::bit_cast<std::uint32_t>(state_.fogStart)});
    lights.push_back({ls::kFogEnd, std::bit_cast<std::uint32_t>(state_.fogEnd)});
    if (RenderResult rc = device_.setLightStates(lights)) return rc;
    matricesChanged_ = true;
    if (RenderResult rc = pushMatrices()) return rc;
    state_.changed = 0;
    return render_error::kOk;
}

RenderResult Viewport3D::createCamera(Ref<Camera>& out) {
    if (camera_) camera_->viewport_ = nullptr;
    camera_ = Ref<Camera>::adopt(new Camera(*this));
    camera_->update();
    out = camera_;
    return render_error::kOk;
}

void Viewport3D::setView(const Matrix4& view) {
    view_ = view;
    matricesChanged_ = true;
}

void Viewport3D::setProjection(const Matrix4& projection) {
    projection_ = projection;
    matricesChanged_ = true;
}

RenderResult Viewport3D::pushMatrices() {
    if (!matricesChanged_) return render_error::kOk;
    platform::GraphicsDevice& g = device_.graphics();
    if (RenderResult rc{g.setTransform(platform::transform_state::kView, toDevice(view_))}) return rc;
    if (RenderResult rc{g.setTransform(platform::transform_state::kProjection, toDevice(projection_))})
        return rc;
    matricesChanged_ = false;
    return render_error::kOk;
}

RenderResult Viewport3D::limitRedraw(const platform::RedrawBlocks* blocks) {
    return RenderResult(device_.graphics().limitRedraw(blocks));
}

bool Viewport3D::limitHeld() const {
    return device_.graphics().limitHeld();
}

void Viewport3D::invalidate() {
    (void)device_.graphics().limitRedraw(nullptr);  // lifting a limit cannot fail
    dirty_.clear();
    dirty_.push_back({0, 0, width_, height_});
}

void Viewport3D::addDirtyRect(const ScreenExtent& extent) {
    if (!extent.empty()) dirty_.push_back(extent.rect());
}

RenderResult Viewport3D::clear(bool zBuffer) {
    bool restored = false;
    if (RenderResult rc = device_.animDevice().restoreSurfaces(&restored)) return rc;
    if (restored) invalidate();
    if (dirty_.empty()) return render_error::kOk;
    platform::GraphicsDevice& g = device_.graphics();
    const std::uint32_t what = platform::kClearTarget | (zBuffer ? platform::kClearZBuffer : 0);
    if (platform::DeviceResult rc = g.clear(handle_, dirty_, what)) return RenderResult(rc);
    dirty_.clear();
    return render_error::kOk;
}

RenderResult Viewport3D::beginScene() {
    platform::GraphicsDevice& g = device_.graphics();
    platform::DeviceResult begun = g.beginScene();
    if (begun == platform::device_result::kSurfaceLost) {
        (void)device_.animDevice().restoreSurfaces();  // a failed restore shows in the second try
        invalidate();
        begun = g.beginScene();
    }
    if (begun) return RenderResult(begun);
    RenderResult rc{g.setCurrentViewport(handle_)};
    if (rc || (rc = applyRenderState()) || (rc = pushMatrices()) ||
        (rc = setWorld(Matrix4::identity(), MatrixKind::Identity)))
        return rc;
    return render_error::kOk;
}

RenderResult Viewport3D::endScene() {
    return RenderResult(device_.graphics().endScene());
}

RenderResult Viewport3D::setWorld(const Matrix4& world, MatrixKind kind) {
    world_ = world;
    worldKind_ = kind;
    return RenderResult(device_.graphics().setTransform(platform::transform_state::kWorld, toDevice(world)));
}

RenderResult Viewport3D::draw(RenderObject& object, ClipMode mode) {
    if (RenderResult rc = pushMatrices()) return rc;
    if (object.matrixKind() == MatrixKind::Identity) return object.draw(*this, mode);
    const Matrix4 saved = world_;
    const MatrixKind savedKind = worldKind_;
    if (RenderResult rc = setWorld(object.matrix() * saved, MatrixKind::General)) return rc;
    RenderResult rc = object.draw(*this, mode);
    RenderResult restore = setWorld(saved, savedKind);
    return rc ? rc : restore;
}

BoxClass Viewport3D::classifyBox(const Box& box, const Matrix4& m) {
    if (!box.valid()) return BoxClass::Outside;
    std::uint32_t all = ~0u, any = 0;
    for (int i = 0; i < 8; ++i) {
        Vector3 c = box.corner(i);
        float x = c.x * m.m[0][0] + c.y * m.m[1][0] + c.z * m.m[2][0] + m.m[3][0];
        float y = c.x * m.m[0][1] + c.y * m.m[1][1] + c.z * m.m[2][1] + m.m[3][1];
        float z = c.x * m.m[0][2] + c.y * m.m[1][2] + c.z * m.m[2][2] + m.m[3][2];
        float w = c.x * m.m[0][3] + c.y * m.m[1][3] + c.z * m.m[2][3] + m.m[3][3];
        std::uint32_t code = (x < -w ? 1u : 0u) | (x > w ? 2u : 0u) | (y < -w ? 4u : 0u) | (y > w ? 8u : 0u) |
                             (z < 0 ? 16u : 0u) | (z > w ? 32u : 0u);
        all &= code;
        any |= code;
    }
    if (all) return BoxClass::Outside;
    return any ? BoxClass::Partial : BoxClass::Inside;
}

}  // namespace tryster::render
