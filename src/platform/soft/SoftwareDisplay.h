#pragma once
// The software display: display modes, the three emulation drivers, and
// surfaces in system memory. What a test may set up is in `Options`.

#include "platform/DisplaySystem.h"
#include "platform/soft/SoftwareSurface.h"

#include <memory>
#include <vector>

namespace tryster::platform::soft {

class SoftwareDisplay final : public DisplaySystem {
public:
    struct Options {
        DisplayMode desktop{1920, 1080, 32};
        // Which 16-bit layout the 16-bit modes use.
        PixelFormat format16 = pixel_format::kRgb565;
        std::vector<DisplayMode> modes;  // empty: the standard list
        std::vector<DriverInfo> drivers{
            {"Ramp Emulation", false}, {"RGB Emulation", false}, {"Reference Rasterizer", false}};
        bool indexedPrimitives = true;  // devices offer DrawIndexedPrimitive
        bool paletteReadable = true;    // the screen's palette can be read
        bool modeReadable = true;       // the current mode can be read
    };

    SoftwareDisplay() : SoftwareDisplay(Options{}) {}
    explicit SoftwareDisplay(Options options);

    DeviceResult currentMode(DisplayMode& out) override;
    PixelFormat currentFormat() const override;
    std::vector<DisplayMode> modes() override;
    std::vector<DriverInfo> drivers() override { return options_.drivers; }
    DeviceResult setCooperativeLevel(DisplayWindow* topLevel, CooperativeLevel level) override;
    DeviceResult setDisplayMode(const DisplayMode& mode) override;
    DeviceResult systemPalette(Palette& out) override;
    DeviceResult createSurface(const SurfaceDesc& desc, std::shared_ptr<Surface>& out) override;
    DeviceResult restoreAllSurfaces() override;
    DeviceResult createDevice(std::size_t driverIndex, std::shared_ptr<Surface> target,
                              std::shared_ptr<Surface> zBuffer,
                              std::unique_ptr<GraphicsDevice>& out) override;
    DeviceResult present(DisplayWindow& window, Surface& backBuffer, const ScreenRect& source) override;

    // Takes every surface's memory away, as a mode switch by another
    // program would.
    void loseSurfaces();
    DisplayWindow* cooperativeWindow() const { return cooperativeWindow_; }
    CooperativeLevel cooperativeLevel() const { return level_; }

    static PixelFormat formatFor(int bitsPerPixel, const PixelFormat& format16);

private:
    Options options_;
    DisplayMode mode_;
    DisplayWindow* cooperativeWindow_ = nullptr;
    CooperativeLevel level_ = CooperativeLevel::Normal;
    std::vector<std::weak_ptr<SoftwareSurface>> surfaces_;
};

}  // namespace tryster::platform::soft
