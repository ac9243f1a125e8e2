#pragma once
// A surface in system memory. Losing it (as the display does when a test
// provokes it) makes lock fail until restore.

#include "platform/Surface.h"
#include "platform/soft/PixelPacking.h"

#include <memory>
#include <optional>
#include <vector>

namespace tryster::platform::soft {

class SoftwareSurface final : public Surface {
public:
    // Rows are padded to 4 bytes. Fails (returns nullptr) for sizes
    // outside 1..kMaxSide or formats the display does not know.
    static std::shared_ptr<SoftwareSurface> create(const SurfaceDesc& desc);
    static constexpr int kMaxSide = 8192;
    // The memory goes on for kSpareRows rows and kSpareWords words past
    // the last row, so that the rasterizer may read and write back a pixel
    // and up to three rows past the surface's edge (it writes what it read).
    static constexpr int kSpareRows = 3;
    static constexpr std::size_t kSpareWords = 2;

    SurfaceDesc description() const override { return desc_; }
    DeviceResult lock(LockedSurface& out) override;
    DeviceResult unlock() override;
    bool isLost() const override { return lost_; }
    DeviceResult restore() override;
    DeviceResult setPalette(const Palette& palette) override;
    DeviceResult palette(Palette& out) const override;
    DeviceResult fill(const ScreenRect& rect, std::uint32_t argb) override;
    DeviceResult copyFrom(const Surface& source, const ScreenRect& rect) override;

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
    const Palette* paletteOrNull() const { return palette_ ? &*palette_ : nullptr; }

private:
    SoftwareSurface(const SurfaceDesc& desc, int pitch);

    SurfaceDesc desc_;
    int pitch_;
    StoreKind kind_;
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(words_.data()); }

    // Words so that 32-bit pixels can be read as such; rows are padded to 4
    // bytes, and spare rows and words follow the last.
    std::vector<std::uint32_t> words_;
    std::optional<Palette> palette_;
    PaletteMap paletteMap_;
    bool lost_ = false;
    bool locked_ = false;
};

}  // namespace tryster::platform::soft
