#include "softgpu/SoftwareDisplay.h"

#include "softgpu/SoftwareDevice.h"

#include <algorithm>
#include <mutex>

// The display library the platform's openDisplaySystem() stands for: this
// software display, unless a test installed a factory of its own.
namespace tryster::platform {
namespace {

DisplaySystemFactory& factory() {
    static DisplaySystemFactory f;
    return f;
}

}  // namespace

std::unique_ptr<DisplaySystem> openDisplaySystem() {
    if (factory()) return factory()();
    return std::make_unique<softgpu::SoftwareDisplay>();
}

void installDisplaySystemFactory(DisplaySystemFactory f) {
    factory() = std::move(f);
}

}  // namespace tryster::platform

namespace tryster::softgpu {

SoftwareDisplay::SoftwareDisplay(Options options) : options_(std::move(options)), mode_(options_.desktop) {}

platform::PixelFormat SoftwareDisplay::formatFor(int bits, const platform::PixelFormat& format16) {
    switch (bits) {
        case 8:
            return platform::pixel_format::kPalette8;
        case 16:
            return format16;
        case 24:
            return platform::pixel_format::kRgb888;
        default:
            return platform::pixel_format::kXrgb8888;
    }
}

platform::DeviceResult SoftwareDisplay::currentMode(platform::DisplayMode& out) {
    if (!options_.modeReadable) return platform::device_result::kGeneric;
    out = mode_;
    return platform::device_result::kOk;
}

platform::PixelFormat SoftwareDisplay::currentFormat() const {
    return formatFor(mode_.bitsPerPixel, options_.format16);
}

std::vector<platform::DisplayMode> SoftwareDisplay::modes() {
    if (!options_.modes.empty()) return options_.modes;
    std::vector<platform::DisplayMode> out;
    const platform::DisplayMode sizes[] = {
        {640, 480, 0}, {800, 600, 0}, {1024, 768, 0}, {1280, 1024, 0}, {1920, 1080, 0}};
    for (int bits : {8, 16, 24, 32})
        for (platform::DisplayMode m : sizes) out.push_back({m.width, m.height, bits});
    return out;
}

platform::DeviceResult SoftwareDisplay::setCooperativeLevel(platform::DisplayWindow* topLevel, platform::CooperativeLevel level) {
    if (level == platform::CooperativeLevel::ExclusiveFullScreen && !topLevel) return platform::device_result::kInvalidParams;
    cooperativeWindow_ = topLevel;
    level_ = level;
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareDisplay::setDisplayMode(const platform::DisplayMode& mode) {
    auto all = modes();
    if (std::find(all.begin(), all.end(), mode) == all.end()) return platform::device_result::kInvalidMode;
    if (!(mode == mode_)) {
        mode_ = mode;
        loseSurfaces();
    }
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareDisplay::systemPalette(platform::Palette& out) {
    if (!options_.paletteReadable) return platform::device_result::kGeneric;
    // A 3-3-2 colour cube stands for the desktop palette.
    for (int i = 0; i < 256; ++i) {
        int r = (i >> 5) & 7, g = (i >> 2) & 7, b = i & 3;
        out[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(r * 255 / 7),
                                            static_cast<std::uint8_t>(g * 255 / 7),
                                            static_cast<std::uint8_t>(b * 255 / 3), 0};
    }
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareDisplay::createSurface(const platform::SurfaceDesc& desc, std::shared_ptr<platform::Surface>& out) {
    auto surface = SoftwareSurface::create(desc);
    if (!surface) return platform::device_result::kOutOfMemory;
    surfaces_.erase(std::remove_if(surfaces_.begin(), surfaces_.end(), [](auto& w) { return w.expired(); }),
                    surfaces_.end());
    surfaces_.push_back(surface);
    out = std::move(surface);
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareDisplay::restoreAllSurfaces() {
    platform::DeviceResult first = platform::device_result::kOk;
    for (auto& w : surfaces_)
        if (auto s = w.lock())
            if (platform::DeviceResult rc = s->restore(); rc && !first) first = rc;
    return first;
}

void SoftwareDisplay::loseSurfaces() {
    for (auto& w : surfaces_)
        if (auto s = w.lock()) s->lose();
}

platform::DeviceResult SoftwareDisplay::createDevice(std::size_t driverIndex, std::shared_ptr<platform::Surface> target,
                                           std::shared_ptr<platform::Surface> zBuffer,
                                           std::unique_ptr<platform::GraphicsDevice>& out) {
    if (driverIndex >= options_.drivers.size()) return platform::device_result::kInvalidParams;
    auto softTarget = std::dynamic_pointer_cast<SoftwareSurface>(target);
    auto softZ = std::dynamic_pointer_cast<SoftwareSurface>(zBuffer);
    if (!softTarget) return platform::device_result::kInvalidParams;
    if (softZ && (softZ->description().width != softTarget->description().width ||
                  softZ->description().height != softTarget->description().height))
        return platform::device_result::kInvalidParams;
    out =
        std::make_unique<SoftwareDevice>(std::move(softTarget), std::move(softZ), options_.indexedPrimitives);
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareDisplay::present(platform::DisplayWindow& window, platform::Surface& backBuffer, const platform::ScreenRect& source) {
    platform::SurfaceDesc d = backBuffer.description();
    platform::ScreenRect r = platform::intersect(source, {0, 0, d.width, d.height});
    platform::LockedSurface locked;
    auto* soft = dynamic_cast<SoftwareSurface*>(&backBuffer);
    if (platform::DeviceResult rc = soft ? soft->lockForReading(locked) : backBuffer.lock(locked)) return rc;
    if (!r.empty()) window.showFrame(locked, r);
    return backBuffer.unlock();
}

}  // namespace tryster::softgpu
