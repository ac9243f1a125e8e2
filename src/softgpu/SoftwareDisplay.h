#pragma once
// The software display: display modes, the three emulation drivers, and
// surfaces in system memory. What a test may set up is in `Options`.

#include "platform/DisplaySystem.h"
#include "softgpu/SoftwareSurface.h"

#include <memory>
#include <vector>

namespace tryster::softgpu {

class SoftwareDisplay final : public platform::DisplaySystem {
public:
    struct Options {
        platform::DisplayMode desktop{1920, 1080, 32};
        // Which 16-bit layout the 16-bit modes use.
        platform::PixelFormat format16 = platform::pixel_format::kRgb565;
        std::vector<platform::DisplayMode> modes;  // empty: the standard list
        std::vector<platform::DriverInfo> drivers{
            {"Ramp Emulation", false}, {"RGB Emulation", false}, {"Reference Rasterizer", false}};
        bool indexedPrimitives = true;  // devices offer DrawIndexedPrimitive
        bool paletteReadable = true;    // the screen's palette can be read
        bool modeReadable = true;       // the current mode can be read
    };

    SoftwareDisplay() : SoftwareDisplay(Options{}) {}
    explicit SoftwareDisplay(Options options);

    platform::DeviceResult currentMode(platform::DisplayMode& out) override;
    platform::PixelFormat currentFormat() const override;
    std::vector<platform::DisplayMode> modes() override;
    std::vector<platform::DriverInfo> drivers() override { return options_.drivers; }
    platform::DeviceResult setCooperativeLevel(platform::DisplayWindow* topLevel, platform::CooperativeLevel level) override;
    platform::DeviceResult setDisplayMode(const platform::DisplayMode& mode) override;
    platform::DeviceResult systemPalette(platform::Palette& out) override;
    platform::DeviceResult createSurface(const platform::SurfaceDesc& desc, std::shared_ptr<platform::Surface>& out) override;
    platform::DeviceResult restoreAllSurfaces() override;
    platform::DeviceResult createDevice(std::size_t driverIndex, std::shared_ptr<platform::Surface> target,
                              std::shared_ptr<platform::Surface> zBuffer,
                              std::unique_ptr<platform::GraphicsDevice>& out) override;
    platform::DeviceResult present(platform::DisplayWindow& window, platform::Surface& backBuffer, const platform::ScreenRect& source) override;

    // Takes every surface's memory away, as a mode switch by another
    // program would.
    void loseSurfaces();
    platform::DisplayWindow* cooperativeWindow() const { return cooperativeWindow_; }
    platform::CooperativeLevel cooperativeLevel() const { return level_; }

    static platform::PixelFormat formatFor(int bitsPerPixel, const platform::PixelFormat& format16);

private:
    Options options_;
    platform::DisplayMode mode_;
    platform::DisplayWindow* cooperativeWindow_ = nullptr;
    platform::CooperativeLevel level_ = platform::CooperativeLevel::Normal;
    std::vector<std::weak_ptr<SoftwareSurface>> surfaces_;
};

}  // namespace tryster::softgpu
