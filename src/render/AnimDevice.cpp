#include "render/AnimDevice.h"

#include "platform/FileFinder.h"

#include <algorithm>

namespace tryster::render {
namespace {

constexpr const char* kDefaultTexturePath = "Textures; ../Textures";

}  // namespace

void Material::destroy() {
    if (owner_) {
        owner_->releaseDeviceMaterial(*this);
        auto& live = owner_->materials_;
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
    }
    delete this;
}

AnimDevice::AnimDevice() : textures_(*this) {}

AnimDevice::~AnimDevice() {
    for (Material* m : materials_) {
        releaseDeviceMaterial(*m);
        m->owner_ = nullptr;
    }
}

RenderResult AnimDevice::initialise(platform::DisplayWindow* window, bool fullScreen, bool preferHardware,
                                    int width, int height, int depth, int colourModel, std::uint32_t flags) {
    if (initialised()) return render_error::kCannotCreate;
    if (width < 2 || height < 1) return render_error::kBadArgument;
    display_ = platform::openDisplaySystem();
    if (!display_) return render_error::kCannotCreate;

    // 1. The window, and the top-level window that gets the cooperative level.
    window_ = window;
    topLevel_ = window;
    while (topLevel_ && topLevel_->parentWindow()) topLevel_ = topLevel_->parentWindow();
    width_ = width & ~1;
    height_ = height;
    depth_ = depth;
    flags_ = flags;

    // 2. The display mode, and whether it must change.
    platform::DisplayMode current;
    if (RenderResult rc{display_->currentMode(current)}) return rc;
    const std::vector<platform::DisplayMode> modes = display_->modes();
    bool changeMode =
        fullScreen || current.bitsPerPixel != depth || current.width < width_ || current.height < height_;
    platform::DisplayMode wanted{width_, height_, depth};
    if (changeMode && std::find(modes.begin(), modes.end(), wanted) == modes.end())
        return render_error::kNoDisplayMode;
    int effectiveDepth = changeMode ? depth : current.bitsPerPixel;
    if (effectiveDepth == 8) {
        platform::Palette p;
        if (display_->systemPalette(p)) return render_error::kNoScreenDc;
        palette_ = p;
    }

    // 3. The driver.
    if (RenderResult rc = chooseDriver(preferHardware, colourModel)) return rc;

    // 4. Cooperative level and mode.
    auto level =
        fullScreen ? platform::CooperativeLevel::ExclusiveFullScreen : platform::CooperativeLevel::Normal;
    if (RenderResult rc{display_->setCooperativeLevel(topLevel_, level)}) return rc;
    if (changeMode)
        if (RenderResult rc{display_->setDisplayMode(wanted)}) return rc;

    // 5. File kinds, default paths, surfaces.
    auto& finder = platform::FileFinder::instance();
    finder.registerCategory("IMAG", {"BMP", "PPM"});
    finder.registerCategory("ZBUF", {"ZBF"});
    texturePath_ = kDefaultTexturePath;
    windowMoved();
    return createSurfaces();
}

RenderResult AnimDevice::chooseDriver(bool preferHardware, int colourModel) {
    drivers_ = display_->drivers();
    if (preferHardware) {
        for (std::size_t i = drivers_.size(); i-- > 0;)
            if (drivers_[i].hardware) {
                chosenDriver_ = i;
                return render_error::kOk;
            }
        // No hardware driver: RGB stays RGB, anything else takes ramp.
        colourModel = colourModel == kRgb ? kRgb : kRamp;
    }
    const char* wanted = colourModel == kRamp  ? "Ramp Emulation"
                         : colourModel == kRgb ? "RGB Emulation"
                                               : "Reference Rasterizer";
    for (std::size_t i = 0; i < drivers_.size(); ++i)
        if (drivers_[i].name == wanted) {
            chosenDriver_ = i;
            return render_error::kOk;
        }
    return render_error::kNoDriver;
}

RenderResult AnimDevice::createSurfaces() {
    platform::DisplayMode mode;
    if (RenderResult rc{display_->currentMode(mode)}) return rc;
    platform::PixelFormat format = display_->currentFormat();
    std::shared_ptr<platform::Surface> primary, back, z;
    if (RenderResult rc{display_->createSurface(
            {mode.width, mode.height, format, platform::SurfaceKind::Primary}, primary)})
        return rc;
    if (RenderResult rc{
            display_->createSurface({width_, height_, format, platform::SurfaceKind::Offscreen}, back)})
        return rc;
    if (RenderResult rc{display_->createSurface(
            {width_, height_, platform::pixel_format::kXrgb8888, platform::SurfaceKind::ZBuffer}, z)})
        return rc;
    if (palette_) {
        (void)primary->setPalette(*palette_);  // the surfaces are made 8-bit here, so they take it
        (void)back->setPalette(*palette_);  // the surfaces are made 8-bit here, so they take it
    }
    primary_ = std::make_unique<DDDSurface4>(std::move(primary));
    back_ = std::make_unique<DDDSurface4>(std::move(back));
    zBuffer_ = std::make_unique<DDDSurface4>(std::move(z));
    return render_error::kOk;
}

RenderResult AnimDevice::resizeSurfaces(int width, int height) {
    if (!back_ || !display_) return render_error::kNotReady;
    if (width < 2 || height < 1) return render_error::kBadArgument;
    width &= ~1;
    if (width == width_ && height == height_) return render_error::kOk;
    const platform::PixelFormat format = back_->get()->description().format;
    std::shared_ptr<platform::Surface> back, z;
    if (platform::DeviceResult rc =
            display_->createSurface({width, height, format, platform::SurfaceKind::Offscreen}, back))
        return RenderResult(rc);
    if (platform::DeviceResult rc = display_->createSurface(
            {width, height, platform::pixel_format::kXrgb8888, platform::SurfaceKind::ZBuffer}, z))
        return RenderResult(rc);
    if (palette_) (void)back->setPalette(*palette_);  // a surface without a palette keeps its colours
    if (graphics_)
        if (platform::DeviceResult rc = graphics_->setRenderTarget(back, z)) return RenderResult(rc);
    back_ = std::make_unique<DDDSurface4>(std::move(back));
    zBuffer_ = std::make_unique<DDDSurface4>(std::move(z));
    width_ = width;
    height_ = height;
    updateRects_.clear();
    return render_error::kOk;
}

void AnimDevice::windowMoved() {
    if (window_) windowRect_ = window_->screenRect();
}

void AnimDevice::addUpdateRect(const platform::ScreenRect& rect) {
    if (!rect.empty()) updateRects_.push_back(rect);
}

RenderResult AnimDevice::present() {
    if (!back_) return render_error::kNotReady;
    platform::ScreenRect area{0, 0, width_, height_};
    if (!updateRects_.empty()) {
        platform::ScreenRect u = updateRects_.front();
        for (const auto& r : updateRects_)
            u = {std::min(u.left, r.left), std::min(u.top, r.top), std::max(u.right, r.right),
                 std::max(u.bottom, r.bottom)};
        area = platform::intersect(u, area);
        updateRects_.clear();
    }
    if (!window_ || area.empty()) return render_error::kOk;
    return RenderResult(display_->present(*window_, *back_->get(), area));
}

RenderResult AnimDevice::restoreSurfaces(bool* restored) {
    bool lost =
        (primary_ && primary_->isLost()) || (back_ && back_->isLost()) || (zBuffer_ && zBuffer_->isLost());
    if (restored) *restored = lost;
    if (!display_) return render_error::kNotReady;
    return RenderResult(display_->restoreAllSurfaces());
}

void AnimDevice::attachGraphics(platform::GraphicsDevice* graphics) {
    if (graphics_ && graphics != graphics_) {
        for (Material* m : materials_) releaseDeviceMaterial(*m);
        textures_.releaseAll();
    }
    graphics_ = graphics;
    ++generation_;
}

RenderResult AnimDevice::makeDeviceMaterial(Material& m) {
    if (!graphics_) return render_error::kNotReady;
    platform::MaterialHandle handle = 0;
    if (RenderResult rc{graphics_->createMaterial(handle)}) return rc;
    const MaterialValues& v = m.values_;
    platform::MaterialDesc desc{v.diffuse, v.ambient, v.specular, v.emissive, v.power, m.textureHandle()};
    if (RenderResult rc{graphics_->setMaterial(handle, desc)}) {
        (void)graphics_->releaseMaterial(handle);  // the handle was just made: nothing to report
        return rc;
    }
    m.handle_ = handle;
    return render_error::kOk;
}

void AnimDevice::releaseDeviceMaterial(Material& m) {
    if (m.handle_ && graphics_) (void)graphics_->releaseMaterial(m.handle_);  // forgotten either way
    m.handle_ = 0;
}

RenderResult AnimDevice::material(std::string_view name, Ref<Material>& out) {
    if (!graphics_) return render_error::kNotReady;
    std::optional<MaterialValues> values = namedMaterial(name);
    Ref<Texture> texture;
    if (!values) {
        if (RenderResult rc = textures_.find(name, texture)) return rc;
        values = namedMaterial("default");
    }
    Ref<Material> m =
        Ref<Material>::adopt(new Material(this, std::string(name), *values, std::move(texture)));
    materials_.push_back(m.get());
    if (RenderResult rc = makeDeviceMaterial(*m)) return rc;
    out = std::move(m);
    return render_error::kOk;
}

}  // namespace tryster::render
