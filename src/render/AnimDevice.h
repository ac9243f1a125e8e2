#pragma once
// The display side of the engine: the preview window, the display mode and
// driver choice, the primary and back surfaces with the depth buffer, the
// search paths, and the textures and materials that meshes draw with.

#include "platform/DisplaySystem.h"
#include "render/DDDSurface4.h"
#include "render/Material.h"
#include "render/RenderError.h"
#include "render/TextureCache.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tryster::render {

class AnimDevice {
public:
    enum ColourModel { kRamp = 0, kRgb = 1, kReference = 2 };

    AnimDevice();
    ~AnimDevice();
    AnimDevice(const AnimDevice&) = delete;
    AnimDevice& operator=(const AnimDevice&) = delete;

    // Chooses the mode and driver and makes the surfaces. The width is
    // rounded down to even (an odd window renders one pixel narrower).
    // kCannotCreate without a display, kNoDisplayMode when a needed mode
    // change is not in the mode list, kNoScreenDc when an 8-bit screen's
    // palette cannot be read, kNoDriver without a driver of the model.
    [[nodiscard]] RenderResult initialise(platform::DisplayWindow* window, bool fullScreen,
                                          bool preferHardware, int width, int height, int depth,
                                          int colourModel, std::uint32_t flags);
    bool initialised() const { return back_ != nullptr; }

    // A ';'-separated folder list.
    void setTexturePath(std::string path) { texturePath_ = std::move(path); }
    const std::string& texturePath() const { return texturePath_; }

    // Makes the back buffer and z-buffer anew at another size (the width
    // rounded down to even) and draws into them from now on; textures,
    // materials and the device stay. The viewports keep their rectangles:
    // callers set them for the new size. On failure nothing changes.
    [[nodiscard]] RenderResult resizeSurfaces(int width, int height);

    // Re-reads the window's place on the screen.
    void windowMoved();
    const platform::ScreenRect& windowRect() const { return windowRect_; }
    // Adds a rectangle (back-buffer pixels) to what the next present shows.
    void addUpdateRect(const platform::ScreenRect& rect);
    // Shows the update area (the whole back buffer when none was added) in
    // the window and empties the area.
    [[nodiscard]] RenderResult present();

    // Restores lost surfaces; true in `restored` when any was lost.
    RenderResult restoreSurfaces(bool* restored = nullptr);
    // Changes whenever device objects were made anew; meshes that recorded
    // handles rebuild when it moves.
    std::uint32_t resourceGeneration() const { return generation_; }

    // A material by name: a named one, else "default" with the texture of
    // that name. kNotFound (or the texture's failure) when neither exists.
    [[nodiscard]] RenderResult material(std::string_view name, Ref<Material>& out);
    TextureCache& textures() { return textures_; }

    platform::DisplaySystem* display() const { return display_.get(); }
    platform::GraphicsDevice* graphics() const { return graphics_; }
    // The drawing surface of the preview (snapshots read it).
    DDDSurface4* backSurface() const { return back_.get(); }
    DDDSurface4* zBufferSurface() const { return zBuffer_.get(); }
    platform::DisplayWindow* window() const { return window_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int depth() const { return depth_; }
    const std::vector<platform::DriverInfo>& drivers() const { return drivers_; }
    std::size_t chosenDriver() const { return chosenDriver_; }
    const std::optional<platform::Palette>& palette() const { return palette_; }

    // Used by Device3D: the device the textures and materials live on.
    void attachGraphics(platform::GraphicsDevice* graphics);

private:
    friend class Material;
    RenderResult chooseDriver(bool preferHardware, int colourModel);
    RenderResult createSurfaces();
    RenderResult makeDeviceMaterial(Material& material);
    void releaseDeviceMaterial(Material& material);

    std::unique_ptr<platform::DisplaySystem> display_;
    platform::GraphicsDevice* graphics_ = nullptr;
    platform::DisplayWindow* window_ = nullptr;
    platform::DisplayWindow* topLevel_ = nullptr;
    platform::ScreenRect windowRect_;
    int width_ = 0, height_ = 0, depth_ = 0;
    std::uint32_t flags_ = 0;
    std::vector<platform::DriverInfo> drivers_;
    std::size_t chosenDriver_ = 0;
    std::optional<platform::Palette> palette_;
    std::unique_ptr<DDDSurface4> primary_, back_, zBuffer_;
    std::vector<platform::ScreenRect> updateRects_;
    std::string texturePath_;
    TextureCache textures_;
    std::vector<Material*> materials_;  // every live material
    std::uint32_t generation_ = 0;
};

}  // namespace tryster::render
