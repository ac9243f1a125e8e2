#pragma once
// The display: what the program uses of DirectDraw (display modes, the
// cooperative level, surfaces, the system palette, presenting) and of the
// Direct3D object (driver enumeration, device creation).
//
// `openDisplaySystem()` stands for loading the display library at run
// time: it returns nullptr when none can be had. By default it makes the
// software display; tests install a factory of their own.

#include "platform/DeviceTypes.h"
#include "platform/DisplayWindow.h"
#include "platform/GraphicsDevice.h"
#include "platform/Surface.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tryster::platform {

struct DriverInfo {
    std::string name;  // "Ramp Emulation", "RGB Emulation", "Reference Rasterizer"
    bool hardware = false;
};

enum class CooperativeLevel { Normal, ExclusiveFullScreen };

class DisplaySystem {
public:
    virtual ~DisplaySystem() = default;

    [[nodiscard]] virtual DeviceResult currentMode(DisplayMode& out) = 0;
    // The pixel format of the current mode.
    virtual PixelFormat currentFormat() const = 0;
    virtual std::vector<DisplayMode> modes() = 0;
    virtual std::vector<DriverInfo> drivers() = 0;
    [[nodiscard]] virtual DeviceResult setCooperativeLevel(DisplayWindow* topLevel,
                                                           CooperativeLevel level) = 0;
    [[nodiscard]] virtual DeviceResult setDisplayMode(const DisplayMode& mode) = 0;
    // The screen's 256 palette entries (8-bit modes).
    [[nodiscard]] virtual DeviceResult systemPalette(Palette& out) = 0;

    // Surfaces of the current mode's format unless `desc` asks otherwise.
    [[nodiscard]] virtual DeviceResult createSurface(const SurfaceDesc& desc,
                                                     std::shared_ptr<Surface>& out) = 0;
    // Restores every lost surface made by this display.
    virtual DeviceResult restoreAllSurfaces() = 0;

    // A device of the enumerated driver `driverIndex` drawing into `target`
    // with depth in `zBuffer`.
    [[nodiscard]] virtual DeviceResult createDevice(std::size_t driverIndex, std::shared_ptr<Surface> target,
                                                    std::shared_ptr<Surface> zBuffer,
                                                    std::unique_ptr<GraphicsDevice>& out) = 0;

    // Shows `source` of the back buffer in the window (a blit to the
    // window's part of the primary surface).
    [[nodiscard]] virtual DeviceResult present(DisplayWindow& window, Surface& backBuffer,
                                               const ScreenRect& source) = 0;
};

using DisplaySystemFactory = std::function<std::unique_ptr<DisplaySystem>()>;

std::unique_ptr<DisplaySystem> openDisplaySystem();
// Replaces the factory; an empty one restores the software display.
void installDisplaySystemFactory(DisplaySystemFactory factory);

}  // namespace tryster::platform
