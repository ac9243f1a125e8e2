#pragma once
// A surface in system memory. Losing it (as the display does when a test
// provokes it) makes lock fail until restore.

#include "platform/Surface.h"
#include "softgpu/PixelPacking.h"

#include <memory>
#include <optional>
#include <vector>

namespace tryster::softgpu {

class SoftwareSurface final : public platform::Surface {
public:
    // Rows are padded to 4 bytes. Fails (returns nullptr) for sizes
    // outside 1..kMaxSide or formats the display does not know.
    static std::shared_ptr<SoftwareSurface> create(const platform::SurfaceDesc& desc);
    static constexpr int kMaxSide = 8192;
    // The memory goes on for kSpareRows rows and kSpareWords words past
    // the last row, so that the rasterizer may read and write back a pixel
    // and up to three rows past the surface's edge (it writes what it read).
    static constexpr int kSpareRows = 3;
    static constexpr std::size_t kSpareWords = 2;

    platform::SurfaceDesc description() const override { return desc_; }
    platform::DeviceResult lock(platform::LockedSurface& out) override;
    // A lock whose holder only reads the pixels (the display presenting
    // them): it leaves writes() as it was.
    platform::DeviceResult lockForReading(platform::LockedSurface& out);
    // Goes up at every lock, fill, copy, restore and change of palette:
    // whatever may have changed the pixels, or what a colour stores as,
    // other than a device drawing into them.
    std::uint64_t writes() const { return writes_; }
    platform::DeviceResult unlock() override;
    bool isLost() const override { return lost_; }
    platform::DeviceResult restore() override;
    platform::DeviceResult setPalette(const platform::Palette& palette) override;
    platform::DeviceResult palette(platform::Palette& out) const override;
    platform::DeviceResult fill(const platform::ScreenRect& rect, std::uint32_t argb) override;
    platform::DeviceResult copyFrom(const platform::Surface& source, const platform::ScreenRect& rect) override;

    void lose() { lost_ = true; }

    // Direct access for the device that draws into it (no lock needed).
    std::uint8_t* row(int y) {
        return bytes() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch_);
    }
    const std::uint8_t* row(int y) const {
        return reinterpret_cast<const std::uint8_t*>(words_.data()) +
               static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch_);
    }
    // Rows of a 32-bit surface as words.
    const std::uint32_t* words() const { return words_.data(); }
    int pitch() const { return pitch_; }
    StoreKind storeKind() const { return kind_; }
    const PaletteMap& paletteMap() const { return paletteMap_; }
    const platform::Palette* paletteOrNull() const { return palette_ ? &*palette_ : nullptr; }

private:
    SoftwareSurface(const platform::SurfaceDesc& desc, int pitch);

    platform::SurfaceDesc desc_;
    int pitch_;
    StoreKind kind_;
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(words_.data()); }

    // Words so that 32-bit pixels can be read as such; rows are padded to 4
    // bytes, and spare rows and words follow the last.
    std::vector<std::uint32_t> words_;
    std::optional<platform::Palette> palette_;
    PaletteMap paletteMap_;
    bool lost_ = false;
    bool locked_ = false;
    std::uint64_t writes_ = 0;
};

}  // namespace tryster::softgpu
