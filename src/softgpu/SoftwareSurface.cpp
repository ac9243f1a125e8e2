#include "softgpu/SoftwareSurface.h"

#include "softgpu/FillWords.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tryster::softgpu {

StoreKind storeKind(const platform::PixelFormat& f) {
    switch (f.bitsPerPixel) {
        case 8:
            return StoreKind::Palette8;
        case 16:
            return f.greenMask == 0x07E0 ? StoreKind::Rgb565 : StoreKind::Rgba5551;
        case 24:
            return StoreKind::Rgb888;
        default:
            return f.alphaMask ? StoreKind::Argb8888 : StoreKind::Xrgb8888;
    }
}

void PaletteMap::build(const platform::Palette& palette) {
    table_.assign(32768, 0);
    for (std::uint32_t key = 0; key < 32768; ++key) {
        int r = static_cast<int>((key >> 10) << 3) + 4, g = static_cast<int>(((key >> 5) & 31) << 3) + 4,
            b = static_cast<int>((key & 31) << 3) + 4;
        int best = 0, bestDistance = 1 << 30;
        for (int i = 0; i < 256; ++i) {
            int dr = r - palette[i].red, dg = g - palette[i].green, db = b - palette[i].blue;
            int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        table_[key] = static_cast<std::uint8_t>(best);
    }
}

SoftwareSurface::SoftwareSurface(const platform::SurfaceDesc& desc, int pitch)
    : desc_(desc), pitch_(pitch), kind_(softgpu::storeKind(desc.format)) {}

std::shared_ptr<SoftwareSurface> SoftwareSurface::create(const platform::SurfaceDesc& desc) {
    if (desc.width < 1 || desc.height < 1 || desc.width > kMaxSide || desc.height > kMaxSide) return nullptr;
    int bits = desc.format.bitsPerPixel;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return nullptr;
    int pitch = (desc.width * (bits / 8) + 3) & ~3;
    std::shared_ptr<SoftwareSurface> s(new (std::nothrow) SoftwareSurface(desc, pitch));
    if (!s) return nullptr;
    try {
        s->words_.assign(
            static_cast<std::size_t>(pitch / 4) * static_cast<std::size_t>(desc.height + kSpareRows) + kSpareWords, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return s;
}

platform::DeviceResult SoftwareSurface::lock(platform::LockedSurface& out) {
    const platform::DeviceResult rc = lockForReading(out);
    if (!rc) ++writes_;
    return rc;
}

platform::DeviceResult SoftwareSurface::lockForReading(platform::LockedSurface& out) {
    if (lost_) return platform::device_result::kSurfaceLost;
    if (locked_) return platform::device_result::kSurfaceBusy;
    locked_ = true;
    out = {bytes(), pitch_, desc_.width, desc_.height, desc_.format};
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareSurface::unlock() {
    if (!locked_) return platform::device_result::kNotLocked;
    locked_ = false;
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareSurface::restore() {
    if (lost_) {
        // The memory came back with whatever was in it; say so plainly.
        std::fill(words_.begin(), words_.end(), 0xCDCDCDCDu);
        ++writes_;
        lost_ = false;
    }
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareSurface::setPalette(const platform::Palette& palette) {
    if (!desc_.format.palettized()) return platform::device_result::kUnsupported;
    palette_ = palette;
    paletteMap_.build(palette);
    ++writes_;  // the same colour may now store as another index
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareSurface::palette(platform::Palette& out) const {
    if (!palette_) return platform::device_result::kNoPalette;
    out = *palette_;
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareSurface::fill(const platform::ScreenRect& rect, std::uint32_t argb) {
    if (lost_) return platform::device_result::kSurfaceLost;
    platform::ScreenRect r = platform::intersect(rect, {0, 0, desc_.width, desc_.height});
    if (r.empty()) return platform::device_result::kOk;
    ++writes_;
    int bpp = desc_.format.bytesPerPixel();
    std::uint8_t pattern[4] = {};
    storePixel(kind_, pattern, argb, &paletteMap_);
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint8_t* p = row(y) + r.left * bpp;
        if (bpp == 4) {
            std::uint32_t v;
            std::memcpy(&v, pattern, 4);
            fillWords(
                words_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch_ / 4) + r.left,
                r.width(), v);
        } else {
            for (int x = r.left; x < r.right; ++x, p += bpp)
                std::memcpy(p, pattern, static_cast<std::size_t>(bpp));
        }
    }
    return platform::device_result::kOk;
}

platform::DeviceResult SoftwareSurface::copyFrom(const platform::Surface& source, const platform::ScreenRect& rect) {
    const auto* src = dynamic_cast<const SoftwareSurface*>(&source);
    if (!src || src->desc_.format != desc_.format) return platform::device_result::kInvalidParams;
    if (lost_ || src->lost_) return platform::device_result::kSurfaceLost;
    platform::ScreenRect r = platform::intersect(platform::intersect(rect, {0, 0, desc_.width, desc_.height}),
                             {0, 0, src->desc_.width, src->desc_.height});
    ++writes_;
    int bpp = desc_.format.bytesPerPixel();
    for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(row(y) + r.left * bpp, src->row(y) + r.left * bpp,
                    static_cast<std::size_t>(r.width() * bpp));
    return platform::device_result::kOk;
}

}  // namespace tryster::softgpu
