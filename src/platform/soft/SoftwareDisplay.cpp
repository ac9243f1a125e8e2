#include "platform/soft/SoftwareDisplay.h"

#include "platform/soft/SoftwareDevice.h"

#include <algorithm>
#include <mutex>

namespace tryster::platform {
namespace {

DisplaySystemFactory& factory() {
    static DisplaySystemFactory f;
    return f;
}

}  // namespace

std::unique_ptr<DisplaySystem> openDisplaySystem() {
    if (factory()) return factory()();
    return std::make_unique<soft::SoftwareDisplay>();
}

void installDisplaySystemFactory(DisplaySystemFactory f) {
    factory() = std::move(f);
}

}  // namespace tryster::platform

namespace tryster::platform::soft {

SoftwareDisplay::SoftwareDisplay(Options options) : options_(std::move(options)), mode_(options_.desktop) {}

PixelFormat SoftwareDisplay::formatFor(int bits, const PixelFormat& format16) {
    switch (bits) {
        case 8:
            return pixel_format::kPalette8;
        case 16:
            return format16;
        case 24:
            return pixel_format::kRgb888;
        default:
            return pixel_format::kXrgb8888;
    }
}

DeviceResult SoftwareDisplay::currentMode(DisplayMode& out) {
    if (!options_.modeReadable) return device_result::kGeneric;
    out = mode_;
    return device_result::kOk;
}

PixelFormat SoftwareDisplay::currentFormat() const {
    return formatFor(mode_.bitsPerPixel, options_.format16);
}

std::vector<DisplayMode> SoftwareDisplay::modes() {
    if (!options_.modes.empty()) return options_.modes;
    std::vector<DisplayMode> out;
    const DisplayMode sizes[] = {
        {640, 480, 0}, {800, 600, 0}, {1024, 768, 0}, {1280, 1024, 0}, {1920, 1080, 0}};
    for (int bits : {8, 16, 24, 32})
        for (DisplayMode m : sizes) out.push_back({m.width, m.height, bits});
    return out;
}

DeviceResult SoftwareDisplay::setCooperativeLevel(DisplayWindow* topLevel, CooperativeLevel level) {
    if (level == CooperativeLevel::ExclusiveFullScreen && !topLevel) return device_result::kInvalidParams;
    cooperativeWindow_ = topLevel;
    level_ = level;
    return device_result::kOk;
}

DeviceResult SoftwareDisplay::setDisplayMode(const DisplayMode& mode) {
    auto all = modes();
    if (std::find(all.begin(), all.end(), mode) == all.end()) return device_result::kInvalidMode;
    if (!(mode == mode_)) {
        mode_ = mode;
        loseSurfaces();
    }
    return device_result::kOk;
}

DeviceResult SoftwareDisplay::systemPalette(Palette& out) {
    if (!options_.paletteReadable) return device_result::kGeneric;
    // A 3-3-2 colour cube stands for the desktop palette.
    for (int i = 0; i < 256; ++i) {
        int r = (i >> 5) & 7, g = (i >> 2) & 7, b = i & 3;
        out[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(r * 255 / 7),
                                            static_cast<std::uint8_t>(g * 255 / 7),
                                            static_cast<std::uint8_t>(b * 255 / 3), 0};
    }
    return device_result::kOk;
}

DeviceResult SoftwareDisplay::createSurface(const SurfaceDesc& desc, std::shared_ptr<Surface>& out) {
    auto surface = SoftwareSurface::create(desc);
    if (!surface) return device_result::kOutOfMemory;
    surfaces_.erase(std::remove_if(surfaces_.begin(), surfaces_.end(), [](auto& w) { return w.expired(); }),
                    surfaces_.end());
    surfaces_.push_back(surface);
    out = std::move(surface);
    return device_result::kOk;
}

DeviceResult SoftwareDisplay::restoreAllSurfaces() {
    DeviceResult first = device_result::kOk;
    for (auto& w : surfaces_)
        if (auto s = w.lock())
            if (DeviceResult rc = s->restore(); rc && !first) first = rc;
    return first;
}

void SoftwareDisplay::loseSurfaces() {
    for (auto& w : surfaces_)
        if (auto s = w.lock()) s->lose();
}

DeviceResult SoftwareDisplay::createDevice(std::size_t driverIndex, std::shared_ptr<Surface> target,
                                           std::shared_ptr<Surface> zBuffer,
                                           std::unique_ptr<GraphicsDevice>& out) {
    if (driverIndex >= options_.drivers.size()) return device_result::kInvalidParams;
    auto softTarget = std::dynamic_pointer_cast<SoftwareSurface>(target);
    auto softZ = std::dynamic_pointer_cast<SoftwareSurface>(zBuffer);
    if (!softTarget) return device_result::kInvalidParams;
    if (softZ && (softZ->description().width != softTarget->description().width ||
                  softZ->description().height != softTarget->description().height))
        return device_result::kInvalidParams;
    out =
        std::make_unique<SoftwareDevice>(std::move(softTarget), std::move(softZ), options_.indexedPrimitives);
    return device_result::kOk;
}

DeviceResult SoftwareDisplay::present(DisplayWindow& window, Surface& backBuffer, const ScreenRect& source) {
    SurfaceDesc d = backBuffer.description();
    ScreenRect r = intersect(source, {0, 0, d.width, d.height});
    LockedSurface locked;
    if (DeviceResult rc = backBuffer.lock(locked)) return rc;
    if (!r.empty()) window.showFrame(locked, r);
    return backBuffer.unlock();
}

}  // namespace tryster::platform::soft
