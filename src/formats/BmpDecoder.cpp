#include "formats/ImageDecoder.h"

#include "io/ByteReader.h"

#include <algorithm>
#include <array>
#include <bit>

namespace tryster::formats {
namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kBitfields = 3;

struct Header {
    std::int64_t width = 0, height = 0;
    bool topDown = false;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t coloursUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    bool core = false;  // the 12-byte header with 3-byte palette entries
};

// Channel value 0..255 of `pixel` under `mask` (contiguous bits).
std::uint32_t maskedChannel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = std::countr_zero(mask);
    std::uint32_t max = mask >> shift;
    return ((pixel & mask) >> shift) * 255 / max;
}

bool contiguous(std::uint32_t mask) {
    if (mask == 0) return true;
    std::uint32_t m = mask >> std::countr_zero(mask);
    return (m & (m + 1)) == 0;
}

bool readHeader(io::ByteReader& r, Header& h) {
    std::uint16_t magic, reserved1, reserved2;
    std::uint32_t fileSize, dataOffset, headerSize;
    if (!r.u16le(magic) || magic != 0x4D42 || !r.u32le(fileSize) || !r.u16le(reserved1) ||
        !r.u16le(reserved2) || !r.u32le(dataOffset) || !r.u32le(headerSize))
        return false;
    std::uint16_t planes;
    if (headerSize == 12) {
        std::uint16_t w, hh;
        if (!r.u16le(w) || !r.u16le(hh) || !r.u16le(planes) || !r.u16le(h.bitsPerPixel)) return false;
        h.width = w;
        h.height = hh;
        h.core = true;
        return true;
    }
    if (headerSize < 40 || headerSize > 1024) return false;
    std::int32_t w, hh, xppm, yppm;
    std::uint32_t imageSize, important;
    if (!r.i32le(w) || !r.i32le(hh) || !r.u16le(planes) || !r.u16le(h.bitsPerPixel) ||
        !r.u32le(h.compression) || !r.u32le(imageSize) || !r.i32le(xppm) || !r.i32le(yppm) ||
        !r.u32le(h.coloursUsed) || !r.u32le(important))
        return false;
    h.width = w;
    h.topDown = hh < 0;
    h.height = hh < 0 ? -std::int64_t{hh} : hh;
    // Masks follow a 40-byte header for bit fields and are part of longer ones.
    if (h.compression == kBitfields || headerSize >= 52) {
        for (std::uint32_t& m : h.masks)
            if (!r.u32le(m)) return false;
    }
    std::size_t consumed = 40 + ((h.compression == kBitfields || headerSize >= 52) ? 12 : 0);
    if (headerSize > consumed && !r.skip(headerSize - consumed)) return false;
    return true;
}

bool decodeRle8(std::span<const std::uint8_t> data, const Header& h,
                const std::array<std::uint32_t, 256>& palette, DecodedImage& out) {
    io::ByteReader r(data);
    const auto width = static_cast<int>(h.width), height = static_cast<int>(h.height);
    int x = 0, row = 0;  // row counts from the bottom
    // Pixels past the end of a row are dropped.
    auto put = [&](std::uint8_t index) {
        if (x >= width) return;
        if (row < height)
            out.pixels[static_cast<std::size_t>(height - 1 - row) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x)] = palette[index];
        ++x;
    };
    while (true) {
        std::uint8_t count, value;
        if (!r.u8(count) || !r.u8(value)) return false;  // ended without an end-of-bitmap mark
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(value);
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                ++row;
                break;
            case 1:  // end of bitmap
                return true;
            case 2: {  // move right and up
                std::uint8_t dx, dy;
                if (!r.u8(dx) || !r.u8(dy)) return false;
                x = std::min(x + dx, width);
                row += dy;
                break;
            }
            default: {  // a literal run, padded to an even length
                std::span<const std::uint8_t> run;
                if (!r.readSpan(value, run) || ((value & 1) && !r.skip(1))) return false;
                for (std::uint8_t index : run) put(index);
                break;
            }
        }
        if (row > height) return false;
    }
}

}  // namespace

bool decodeBmp(std::span<const std::uint8_t> bytes, DecodedImage& out) {
    io::ByteReader r(bytes);
    Header h;
    if (!readHeader(r, h)) return false;
    if (h.width < 1 || h.height < 1 || h.width > kMaxImageSide || h.height > kMaxImageSide) return false;
    const std::uint16_t bpp = h.bitsPerPixel;
    const bool paletted = bpp == 1 || bpp == 4 || bpp == 8;
    if (!paletted && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (h.compression == kRle8        ? (bpp != 8 || h.topDown)
        : h.compression == kBitfields ? (bpp != 16 && bpp != 32)
                                      : h.compression != kRgb)
        return false;

    std::array<std::uint32_t, 256> palette{};
    palette.fill(0xFF000000u);
    if (paletted) {
        const std::uint32_t maxEntries = 1u << bpp;
        const std::uint32_t entries = h.coloursUsed ? h.coloursUsed : maxEntries;
        if (entries > maxEntries) return false;
        const std::size_t entrySize = h.core ? 3 : 4;
        for (std::uint32_t i = 0; i < entries; ++i) {
            std::uint8_t bgr[4] = {};
            if (!r.readBytes(bgr, entrySize)) return false;
            palette[i] = 0xFF000000u | (std::uint32_t{bgr[2]} << 16) | (std::uint32_t{bgr[1]} << 8) | bgr[0];
        }
    }
    std::uint32_t masks[3] = {h.masks[0], h.masks[1], h.masks[2]};
    if (h.compression != kBitfields) {
        if (bpp == 16) {
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
        }
    }
    for (std::uint32_t m : masks)
        if (!contiguous(m) || (bpp == 16 && m > 0xFFFF)) return false;

    std::uint32_t dataOffset;
    io::ByteReader at(bytes);
    if (!at.seek(10) || !at.u32le(dataOffset) || !at.seek(dataOffset)) return false;
    std::span<const std::uint8_t> data = at.rest();

    const auto width = static_cast<std::size_t>(h.width), height = static_cast<std::size_t>(h.height);
    DecodedImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    if (h.compression == kRle8) {
        image.pixels.assign(width * height, palette[0]);
        if (!decodeRle8(data, h, palette, image)) return false;
        out = std::move(image);
        return true;
    }

    // Rows are padded to four bytes; all of them must be there.
    const std::size_t rowBytes = (width * bpp + 31) / 32 * 4;
    io::ByteReader rows;
    if (!io::ByteReader(data).readArray(height, rowBytes, rows)) return false;
    image.pixels.resize(width * height);
    for (std::size_t y = 0; y < height; ++y) {
        io::ByteReader row;
        if (!rows.subReader(rowBytes, row)) return false;
        std::uint32_t* dst = image.pixels.data() + (h.topDown ? y : height - 1 - y) * width;
        if (paletted && bpp < 8) {
            // Several pixels to a byte, the first in the high bits.
            const std::size_t perByte = 8 / bpp;
            std::uint8_t byte = 0;
            for (std::size_t x = 0; x < width; ++x) {
                if (x % perByte == 0 && !row.u8(byte)) return false;
                const auto shift = static_cast<unsigned>(8 - bpp * (x % perByte + 1));
                dst[x] = palette[(byte >> shift) & ((1u << bpp) - 1)];
            }
            continue;
        }
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t c;
            if (bpp == 8) {
                std::uint8_t index;
                if (!row.u8(index)) return false;
                c = palette[index];
            } else if (bpp == 24) {
                std::uint8_t bgr[3];
                if (!row.readBytes(bgr, 3)) return false;
                c = 0xFF000000u | (std::uint32_t{bgr[2]} << 16) | (std::uint32_t{bgr[1]} << 8) | bgr[0];
            } else {
                std::uint32_t p = 0;
                std::uint16_t p16 = 0;
                if (bpp == 16 ? !row.u16le(p16) : !row.u32le(p)) return false;
                if (bpp == 16) p = p16;
                c = 0xFF000000u | (maskedChannel(p, masks[0]) << 16) | (maskedChannel(p, masks[1]) << 8) |
                    maskedChannel(p, masks[2]);
            }
            dst[x] = c;
        }
    }
    out = std::move(image);
    return true;
}

}  // namespace tryster::formats
