#include "softgpu/SoftwareDevice.h"

#include "platform/Clock.h"
#include "softgpu/FillWords.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tryster::softgpu {
namespace {

namespace rs = platform::render_state;
using namespace platform::device_result;

template <typename T>
T* slot(std::vector<std::optional<T>>& table, std::uint32_t handle) {
    if (handle == 0 || handle > table.size() || !table[handle - 1]) return nullptr;
    return &*table[handle - 1];
}

template <typename T>
std::uint32_t addSlot(std::vector<std::optional<T>>& table, T value) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!table[i]) {
            table[i] = std::move(value);
            return static_cast<std::uint32_t>(i + 1);
        }
    table.emplace_back(std::move(value));
    return static_cast<std::uint32_t>(table.size());
}

template <typename T>
platform::DeviceResult setSlot(std::vector<std::optional<T>>& table, std::uint32_t handle, const T& value) {
    T* entry = slot(table, handle);
    if (!entry) return platform::device_result::kInvalidHandle;
    *entry = value;
    return platform::device_result::kOk;
}

template <typename T>
platform::DeviceResult releaseSlot(std::vector<std::optional<T>>& table, std::uint32_t handle) {
    if (!slot(table, handle)) return platform::device_result::kInvalidHandle;
    table[handle - 1].reset();
    return platform::device_result::kOk;
}

std::uint32_t toArgb(const platform::ColourValue& c) {
    auto channel = [](float v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f); };
    return (channel(c.a) << 24) | (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

}  // namespace

SoftwareDevice::SoftwareDevice(std::shared_ptr<SoftwareSurface> target,
                               std::shared_ptr<SoftwareSurface> zBuffer, bool indexedPrimitives)
    : target_(std::move(target)), hasDepth_(zBuffer != nullptr), indexedPrimitives_(indexedPrimitives) {
    if (hasDepth_) makeDepth();
    forgetClear();
    renderStates_[rs::kTexturePerspective] = 1;
    renderStates_[rs::kZEnable] = hasDepth_ ? 1 : 0;
    renderStates_[rs::kFillMode] = platform::fill_mode::kSolid;
    renderStates_[rs::kShadeMode] = platform::shade_mode::kGouraud;
    renderStates_[rs::kZWriteEnable] = 1;
    renderStates_[rs::kTextureMag] = platform::texture_filter::kNearest;
    renderStates_[rs::kTextureMin] = platform::texture_filter::kNearest;
    renderStates_[rs::kSrcBlend] = platform::blend_factor::kOne;
    renderStates_[rs::kDestBlend] = platform::blend_factor::kZero;
    renderStates_[rs::kTextureMapBlend] = 2;  // modulate
    renderStates_[rs::kCullMode] = platform::cull_mode::kCounterClockwise;
    renderStates_[rs::kZFunc] = platform::compare_func::kLessEqual;
    renderStates_[rs::kSpecularEnable] = 1;
    lightStates_[platform::light_state::kColorModel] = 2;  // RGB
}

void SoftwareDevice::makeDepth() {
    const platform::SurfaceDesc d = target_->description();
    // Like the surfaces, spare rows and a little more past the last row.
    depth_.assign(static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height + SoftwareSurface::kSpareRows) +
                      SoftwareSurface::kSpareWords,
                  1.0f);
}

platform::DeviceResult SoftwareDevice::setRenderTarget(std::shared_ptr<platform::Surface> target, std::shared_ptr<platform::Surface> zBuffer) {
    if (inScene_) return kSceneInScene;
    auto softTarget = std::dynamic_pointer_cast<SoftwareSurface>(target);
    auto softZ = std::dynamic_pointer_cast<SoftwareSurface>(zBuffer);
    if (!softTarget || (zBuffer && !softZ)) return kInvalidParams;
    const platform::SurfaceDesc d = softTarget->description();
    if (softZ && (softZ->description().width != d.width || softZ->description().height != d.height))
        return kInvalidParams;
    redraw_.stop();
    try {
        target_ = std::move(softTarget);
        forgetClear();
        hasDepth_ = softZ != nullptr;
        if (hasDepth_)
            makeDepth();
        else
            depth_.clear();
    } catch (const std::bad_alloc&) {
        hasDepth_ = false;
        depth_.clear();
        return kOutOfMemory;
    }
    for (Viewport& v : viewports_)
        if (v.placed && (v.desc.x > d.width - v.desc.width || v.desc.y > d.height - v.desc.height)) v.placed = false;
    if (Viewport* v = viewport(current_); v && !v->placed) current_ = 0;
    return kOk;
}

platform::DeviceResult SoftwareDevice::beginScene() {
    if (inScene_) return kSceneInScene;
    if (target_->isLost()) return kSurfaceLost;
    inScene_ = true;
    sceneTextureCount_ = 0;
    if (platform::tickCountMs() - lastSceneEndMs_ >= kCachesColdAfterMs) readLastSceneTextures();
    return kOk;
}

platform::DeviceResult SoftwareDevice::endScene() {
    if (!inScene_) return kSceneNotInScene;
    inScene_ = false;
    redraw_.stop();
    lastSceneTextures_ = sceneTextures_;
    lastSceneTextureCount_ = sceneTextureCount_;
    lastSceneEndMs_ = platform::tickCountMs();
    return kOk;
}

// A lost texture draws as if none were set, until it is reloaded.
const TextureView* SoftwareDevice::textureView(platform::TextureHandle handle) {
    const Texture* texture = slot(textures_, handle);
    return texture && !texture->surface->isLost() ? &texture->view : nullptr;
}

void SoftwareDevice::noteSceneTexture(platform::TextureHandle texture) {
    const auto noted = std::span(sceneTextures_).first(sceneTextureCount_);
    if (sceneTextureCount_ < kSceneTextures && std::find(noted.begin(), noted.end(), texture) == noted.end())
        sceneTextures_[sceneTextureCount_++] = texture;
}

// The raster reads texels in an order the processor cannot foresee. When
// the window has slept between frames they are no longer in its caches,
// and each read waits on memory in turn: most of what a frame after a
// sleep costs more than one right after another. Read through in order,
// one byte per cache line, they arrive at the memory's full speed, and the
// raster then finds them in cache. A scene draws with the textures the
// last one did, as a rule. Scenes drawn one right after another (an
// export, a benchmark) skip it. (Prefetch hints in place of the reads
// gained nothing: the processor drops most of them.)
void SoftwareDevice::readLastSceneTextures() {
    constexpr std::size_t kLine = 64;
    // About what a core's own cache holds: beyond it the texels would push
    // each other out again.
    constexpr std::size_t kMostBytes = std::size_t{1} << 20;
    std::size_t budget = kMostBytes;
    unsigned sum = 0;
    for (platform::TextureHandle handle : lastSceneTextures()) {
        const TextureView* view = textureView(handle);
        if (!view) continue;
        const std::size_t bytes = std::min(
            budget, static_cast<std::size_t>(view->pitch) * static_cast<std::size_t>(view->height) * sizeof(std::uint32_t));
        const auto* bytesAt = reinterpret_cast<const unsigned char*>(view->texels);
        for (std::size_t at = 0; at < bytes; at += kLine) sum += bytesAt[at];
        budget -= bytes;
    }
    // Read for their side effect on the caches only.
    [[maybe_unused]] volatile unsigned sink = sum;
}

SoftwareDevice::Viewport* SoftwareDevice::viewport(platform::ViewportHandle h) {
    if (h == 0 || h > viewports_.size() || !viewports_[h - 1].live) return nullptr;
    return &viewports_[h - 1];
}

platform::DeviceResult SoftwareDevice::createViewport(platform::ViewportHandle& out) {
    for (std::size_t i = 0; i < viewports_.size(); ++i)
        if (!viewports_[i].live) {
            viewports_[i] = Viewport{};
            viewports_[i].live = true;
            out = static_cast<platform::ViewportHandle>(i + 1);
            return kOk;
        }
    viewports_.push_back(Viewport{});
    viewports_.back().live = true;
    out = static_cast<platform::ViewportHandle>(viewports_.size());
    return kOk;
}

platform::DeviceResult SoftwareDevice::releaseViewport(platform::ViewportHandle h) {
    Viewport* v = viewport(h);
    if (!v) return kInvalidHandle;
    *v = Viewport{};
    if (current_ == h) current_ = 0;
    return kOk;
}

platform::DeviceResult SoftwareDevice::setViewport(platform::ViewportHandle h, const platform::ViewportDesc& desc) {
    Viewport* v = viewport(h);
    if (!v) return kInvalidHandle;
    platform::SurfaceDesc t = target_->description();
    if (desc.width <= 0 || desc.height <= 0 || desc.x < 0 || desc.y < 0 || desc.x > t.width - desc.width ||
        desc.y > t.height - desc.height)
        return kInvalidParams;
    v->desc = desc;
    v->placed = true;
    return kOk;
}

platform::DeviceResult SoftwareDevice::setCurrentViewport(platform::ViewportHandle h) {
    Viewport* v = viewport(h);
    if (!v || !v->placed) return kInvalidParams;
    current_ = h;
    return kOk;
}

platform::DeviceResult SoftwareDevice::setBackground(platform::ViewportHandle h, platform::MaterialHandle material) {
    Viewport* v = viewport(h);
    if (!v) return kInvalidHandle;
    if (!slot(materials_, material)) return kInvalidHandle;
    v->background = material;
    return kOk;
}

platform::DeviceResult SoftwareDevice::addLight(platform::ViewportHandle h, platform::LightHandle light) {
    Viewport* v = viewport(h);
    if (!v || !slot(lights_, light)) return kInvalidHandle;
    if (std::find(v->lights.begin(), v->lights.end(), light) == v->lights.end()) v->lights.push_back(light);
    return kOk;
}

platform::DeviceResult SoftwareDevice::removeLight(platform::ViewportHandle h, platform::LightHandle light) {
    Viewport* v = viewport(h);
    if (!v) return kInvalidHandle;
    auto it = std::find(v->lights.begin(), v->lights.end(), light);
    if (it == v->lights.end()) return kInvalidParams;
    v->lights.erase(it);
    return kOk;
}

platform::DeviceResult SoftwareDevice::clear(platform::ViewportHandle h, std::span<const platform::ScreenRect> rects, std::uint32_t flags) {
    Viewport* v = viewport(h);
    if (!v || !v->placed) return kInvalidHandle;
    if (target_->isLost()) return kSurfaceLost;
    const platform::ViewportDesc& d = v->desc;
    platform::ScreenRect area{d.x, d.y, d.x + d.width, d.y + d.height};
    const platform::MaterialDesc* background = slot(materials_, v->background);
    std::uint32_t colour = background ? toArgb(background->diffuse) : 0xFF000000u;
    const platform::SurfaceDesc t = target_->description();
    const bool both = (flags & platform::kClearTarget) && (!hasDepth_ || (flags & platform::kClearZBuffer));
    const bool known = clearKnown_ && clearColour_ == colour && target_->writes() == targetWrites_;
    bool whole = false;
    for (const platform::ScreenRect& rect : rects) {
        platform::ScreenRect r = platform::intersect(rect, area);
        if (r.empty()) continue;
        if (redraw_.active()) {
            clearRedrawn(r, colour, flags, known && both);
            continue;
        }
        if (known && both) {
            clearTouched(r, colour);
            continue;
        }
        if (flags & platform::kClearTarget) (void)target_->fill(r, colour);  // a lost target shows at the next lock
        if ((flags & platform::kClearZBuffer) && hasDepth_) clearDepth(r);
        whole = whole || (r.left == 0 && r.top == 0 && r.right == t.width && r.bottom == t.height);
    }
    if (!known) clearKnown_ = false;
    if (both && whole) {
        std::fill(touched_.begin(), touched_.end(), ColumnSpan{});
        clearKnown_ = true;
        clearColour_ = colour;
    }
    targetWrites_ = target_->writes();
    return kOk;
}

void SoftwareDevice::forgetClear() {
    clearKnown_ = false;
    touched_.clear();
    const int bands = (target_->description().height + kTouchedBandRows - 1) / kTouchedBandRows;
    touched_.assign(static_cast<std::size_t>(bands), ColumnSpan{});
}

void SoftwareDevice::clearDepth(const platform::ScreenRect& r) {
    const int width = target_->description().width;
    for (int y = r.top; y < r.bottom; ++y)
        fillWords(depth_.data() + static_cast<std::ptrdiff_t>(y) * width + r.left, r.width(), 1.0f);
}

void SoftwareDevice::clearTouched(const platform::ScreenRect& r, std::uint32_t colour) {
    const int height = target_->description().height;
    for (int b = r.top / kTouchedBandRows, last = (r.bottom - 1) / kTouchedBandRows; b <= last; ++b) {
        ColumnSpan& s = touched_[static_cast<std::size_t>(b)];
        if (s.empty()) continue;
        const int top = b * kTouchedBandRows, bottom = std::min(top + kTouchedBandRows, height);
        const platform::ScreenRect part{std::max(r.left, s.left), std::max(r.top, top), std::min(r.right, s.right),
                                        std::min(r.bottom, bottom)};
        if (part.empty()) continue;
        (void)target_->fill(part, colour);
        if (hasDepth_) clearDepth(part);
        if (r.left <= s.left && r.right >= s.right && r.top <= top && r.bottom >= bottom) s = {};
    }
}

void SoftwareDevice::clearRedrawn(const platform::ScreenRect& r, std::uint32_t colour, std::uint32_t flags,
                                  bool known) {
    static_assert(platform::kRedrawBlock == kTouchedBandRows, "a block row is a band");
    const platform::RedrawBlocks& blocks = redraw_.blocks();
    for (int row = r.top / platform::kRedrawBlock, last = (r.bottom - 1) / platform::kRedrawBlock;
         row <= last; ++row) {
        platform::ScreenRect band = platform::intersect(
            r, {r.left, row * platform::kRedrawBlock, r.right, (row + 1) * platform::kRedrawBlock});
        if (known) {
            const ColumnSpan& s = touched_[static_cast<std::size_t>(row)];
            band = platform::intersect(band, {s.left, band.top, s.right, band.bottom});
        }
        if (band.empty()) continue;
        // Each run of redrawn blocks in the band at once.
        for (int c = band.left / platform::kRedrawBlock, end = (band.right - 1) / platform::kRedrawBlock;
             c <= end;) {
            if (!blocks.marked(c, row)) {
                ++c;
                continue;
            }
            const int first = c;
            while (c <= end && blocks.marked(c, row)) ++c;
            const platform::ScreenRect part = platform::intersect(
                band, {first * platform::kRedrawBlock, band.top, c * platform::kRedrawBlock, band.bottom});
            if (flags & platform::kClearTarget)
                (void)target_->fill(part, colour);  // a lost target shows at the next lock
            if ((flags & platform::kClearZBuffer) && hasDepth_) clearDepth(part);
        }
    }
}

platform::DeviceResult SoftwareDevice::limitRedraw(const platform::RedrawBlocks* blocks) {
    if (!blocks) {
        redraw_.stop();
        return kOk;
    }
    const platform::SurfaceDesc t = target_->description();
    if (blocks->width() != t.width || blocks->height() != t.height) return kInvalidParams;
    try {
        redraw_.start(*blocks, hasDepth_ ? depth_.data() : nullptr, t.width);
    } catch (const std::bad_alloc&) {
        redraw_.stop();
        return kOutOfMemory;
    }
    return kOk;
}

platform::DeviceResult SoftwareDevice::createMaterial(platform::MaterialHandle& out) {
    out = addSlot(materials_, platform::MaterialDesc{});
    return kOk;
}

platform::DeviceResult SoftwareDevice::setMaterial(platform::MaterialHandle h, const platform::MaterialDesc& desc) {
    return setSlot(materials_, h, desc);
}

platform::DeviceResult SoftwareDevice::releaseMaterial(platform::MaterialHandle h) {
    return releaseSlot(materials_, h);
}

platform::DeviceResult SoftwareDevice::createTexture(std::shared_ptr<platform::Surface> surface, platform::TextureHandle& out) {
    auto soft = std::dynamic_pointer_cast<SoftwareSurface>(surface);
    if (!soft || soft->description().format.bitsPerPixel != 32) return kInvalidParams;
    platform::SurfaceDesc d = soft->description();
    TextureView view{soft->words(), d.width, d.height, soft->pitch() / 4, d.format.alphaMask != 0};
    out = addSlot(textures_, Texture{std::move(soft), view});
    return kOk;
}

platform::DeviceResult SoftwareDevice::releaseTexture(platform::TextureHandle h) {
    return releaseSlot(textures_, h);
}

platform::DeviceResult SoftwareDevice::createLight(platform::LightHandle& out) {
    out = addSlot(lights_, platform::LightDesc{});
    return kOk;
}

platform::DeviceResult SoftwareDevice::setLight(platform::LightHandle h, const platform::LightDesc& desc) {
    return setSlot(lights_, h, desc);
}

platform::DeviceResult SoftwareDevice::releaseLight(platform::LightHandle h) {
    if (platform::DeviceResult rc = releaseSlot(lights_, h)) return rc;
    for (Viewport& v : viewports_)
        v.lights.erase(std::remove(v.lights.begin(), v.lights.end(), h), v.lights.end());
    return kOk;
}

platform::DeviceResult SoftwareDevice::setRenderState(std::uint32_t state, std::uint32_t value) {
    if (state == 0 || state >= renderStates_.size()) return kInvalidParams;
    renderStates_[state] = value;
    return kOk;
}

platform::DeviceResult SoftwareDevice::renderState(std::uint32_t state, std::uint32_t& value) const {
    if (state == 0 || state >= renderStates_.size()) return kInvalidParams;
    value = renderStates_[state];
    return kOk;
}

platform::DeviceResult SoftwareDevice::setLightState(std::uint32_t state, std::uint32_t value) {
    if (state == 0 || state >= lightStates_.size()) return kInvalidParams;
    lightStates_[state] = value;
    return kOk;
}

platform::DeviceResult SoftwareDevice::setTransform(std::uint32_t state, const platform::DeviceMatrix& matrix) {
    switch (state) {
        case platform::transform_state::kWorld:
            world_ = matrix;
            break;
        case platform::transform_state::kView:
            view_ = matrix;
            break;
        case platform::transform_state::kProjection:
            projection_ = matrix;
            break;
        default:
            return kInvalidParams;
    }
    matricesChanged_ = true;
    return kOk;
}

platform::DeviceResult SoftwareDevice::prepareDraw() {
    if (!inScene_) return kSceneNotInScene;
    if (target_->isLost()) return kSurfaceLost;
    Viewport* v = viewport(current_);
    if (!v || !v->placed) return kGeneric;
    const platform::ViewportDesc& d = v->desc;
    mapping_ = {d.width * 0.5f, d.x + d.width * 0.5f, -d.height * 0.5f, d.y + d.height * 0.5f};
    if (matricesChanged_) {
        worldViewProjection_ = multiply(multiply(world_, view_), projection_);
        matricesChanged_ = false;
    }

    RasterState st;
    st.target = target_.get();
    st.depth = hasDepth_ ? depth_.data() : nullptr;
    st.depthPitch = target_->description().width;
    st.clip = {d.x, d.y, d.x + d.width, d.y + d.height};
    st.depthTest = hasDepth_ && renderStates_[rs::kZEnable] != 0;
    st.depthWrite = renderStates_[rs::kZWriteEnable] != 0;
    st.depthFunc = renderStates_[rs::kZFunc];
    st.cull = renderStates_[rs::kCullMode];
    st.gouraud = renderStates_[rs::kShadeMode] != platform::shade_mode::kFlat;
    st.perspective = renderStates_[rs::kTexturePerspective] != 0;
    st.magFilter = renderStates_[rs::kTextureMag];
    st.minFilter = renderStates_[rs::kTextureMin];
    st.blend = renderStates_[rs::kAlphaBlendEnable] != 0;
    st.srcBlend = renderStates_[rs::kSrcBlend];
    st.destBlend = renderStates_[rs::kDestBlend];
    st.touchedBands = touched_.empty() ? nullptr : touched_.data();
    st.redraw = redraw_.active() ? &redraw_ : nullptr;
    const platform::TextureHandle texture = renderStates_[rs::kTextureHandle];
    st.texture = textureView(texture);
    if (st.texture) noteSceneTexture(texture);
    rasterizer_.setState(st);
    rasterizer_.resetExtent();
    return kOk;
}

void SoftwareDevice::prepareLighting() {
    activeLights_.clear();
    if (Viewport* v = viewport(current_))
        for (platform::LightHandle h : v->lights)
            if (const platform::LightDesc* l = slot(lights_, h)) activeLights_.push_back(*l);
    const platform::MaterialDesc* material = slot(materials_, lightStates_[platform::light_state::kMaterial]);
    static const platform::MaterialDesc kNoMaterial{};
    lighting_.prepare(material ? *material : kNoMaterial, lightStates_[platform::light_state::kAmbient], activeLights_,
                      world_);
}

void SoftwareDevice::process(const platform::DeviceVertex* in, std::uint32_t count, ProcessedVertex* out, bool lit) {
    if (lit) prepareLighting();
    processVertices(in, count, out, worldViewProjection_, mapping_, lit ? &lighting_ : nullptr);
}

void SoftwareDevice::drawClipped(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c) {
    std::uint32_t any = a.clip | b.clip | c.clip;
    if ((a.clip & b.clip & c.clip) != 0 || (any & kUnprocessed)) return;
    // Drawing "unclipped" is a promise the caller may break; clipping
    // anyway keeps every pixel inside the viewport.
    std::size_t n = clipper_.clip(a, b, c, any, mapping_);
    for (std::size_t i = 0; i < n; ++i)
        if (!Rasterizer::usable(clipper_[i])) return;
    for (std::size_t i = 2; i < n; ++i) rasterizer_.drawTriangle(clipper_[0], clipper_[i - 1], clipper_[i]);
}

void SoftwareDevice::uniteExtent() {
    if (!rasterizer_.hasExtent()) return;
    const platform::ScreenRect& e = rasterizer_.extent();
    if (!clipStatus_.hasExtent) {
        clipStatus_.extent = e;
        clipStatus_.hasExtent = true;
        return;
    }
    platform::ScreenRect& c = clipStatus_.extent;
    c = {std::min(c.left, e.left), std::min(c.top, e.top), std::max(c.right, e.right),
         std::max(c.bottom, e.bottom)};
}

platform::DeviceResult SoftwareDevice::drawIndexedPrimitive(platform::PrimitiveType type, std::uint32_t vertexFormat,
                                                  const void* vertices, std::uint32_t vertexCount,
                                                  const std::uint16_t* indices, std::uint32_t indexCount,
                                                  std::uint32_t flags) {
    if (!indexedPrimitives_) return kUnsupported;
    if (type != platform::PrimitiveType::TriangleList || vertexFormat != platform::kVertexFormatXyzNormalTex1 ||
        (!vertices && vertexCount) || (!indices && indexCount))
        return kInvalidParams;
    if (platform::DeviceResult rc = prepareDraw()) return rc;
    if (processed_.size() < vertexCount) {
        try {
            processed_.resize(vertexCount);
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
    }
    process(static_cast<const platform::DeviceVertex*>(vertices), vertexCount, processed_.data(), true);
    drawTriangles(indexCount / 3, vertexCount,
                  [indices](std::uint32_t t, std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
                      a = indices[3 * t];
                      b = indices[3 * t + 1];
                      c = indices[3 * t + 2];
                  });
    if (!(flags & platform::kDrawDoNotUpdateExtents)) uniteExtent();
    return kOk;
}

}  // namespace tryster::softgpu
