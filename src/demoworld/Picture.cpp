#include "demoworld/Picture.h"

#include "io/ByteWriter.h"

#include <algorithm>
#include <array>
#include <map>

namespace tryster::demoworld {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14, kInfoHeaderBytes = 40;

int channel(std::uint32_t rgb, int c) {
    return static_cast<int>((rgb >> (16 - 8 * c)) & 255);
}

void writeHeaders(io::ByteWriter& out, const Picture& p, std::uint16_t bits, std::uint32_t paletteEntries,
                  std::uint32_t rowBytes) {
    const std::uint32_t dataOffset = kFileHeaderBytes + kInfoHeaderBytes + paletteEntries * 4;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(p.height);
    out.u16le(0x4D42);  // "BM"
    out.u32le(dataOffset + imageBytes);
    out.u32le(0);
    out.u32le(dataOffset);
    out.u32le(kInfoHeaderBytes);
    out.i32le(p.width);
    out.i32le(p.height);  // positive: rows bottom first
    out.u16le(1);
    out.u16le(bits);
    out.u32le(0);  // uncompressed
    out.u32le(imageBytes);
    out.i32le(2835);  // 72 dpi
    out.i32le(2835);
    out.u32le(paletteEntries);
    out.u32le(0);
}

std::uint32_t rowBytesFor(int width, int bits) {
    return (static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bits) + 31) / 32 * 4;
}

struct ColourCount {
    std::uint32_t rgb;
    std::uint64_t count;
};

// Splits the colours into at most 256 boxes, each time halving the box
// whose widest channel spans most, at its pixel-weighted median.
std::vector<std::uint32_t> medianCut(std::vector<ColourCount> colours) {
    struct Box {
        std::size_t first, last;  // [first, last)
        int widest = 0, span = 0;
    };
    auto measure = [&](Box& b) {
        std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
        for (std::size_t i = b.first; i < b.last; ++i)
            for (int c = 0; c < 3; ++c) {
                lo[static_cast<std::size_t>(c)] = std::min(lo[static_cast<std::size_t>(c)], channel(colours[i].rgb, c));
                hi[static_cast<std::size_t>(c)] = std::max(hi[static_cast<std::size_t>(c)], channel(colours[i].rgb, c));
            }
        b.span = -1;
        for (int c = 0; c < 3; ++c)
            if (hi[static_cast<std::size_t>(c)] - lo[static_cast<std::size_t>(c)] > b.span) {
                b.span = hi[static_cast<std::size_t>(c)] - lo[static_cast<std::size_t>(c)];
                b.widest = c;
            }
    };
    std::vector<Box> boxes{{0, colours.size()}};
    measure(boxes[0]);
    while (boxes.size() < 256) {
        auto it = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            const bool aSplits = a.last - a.first > 1, bSplits = b.last - b.first > 1;
            if (aSplits != bSplits) return bSplits;
            return a.span < b.span;
        });
        if (it->last - it->first < 2) break;
        Box b = *it;
        std::stable_sort(colours.begin() + static_cast<std::ptrdiff_t>(b.first),
                         colours.begin() + static_cast<std::ptrdiff_t>(b.last),
                         [&](const ColourCount& x, const ColourCount& y) {
                             return channel(x.rgb, b.widest) < channel(y.rgb, b.widest);
                         });
        std::uint64_t total = 0, seen = 0;
        for (std::size_t i = b.first; i < b.last; ++i) total += colours[i].count;
        std::size_t cut = b.first + 1;
        for (std::size_t i = b.first; i + 1 < b.last; ++i) {
            seen += colours[i].count;
            cut = i + 1;
            if (seen * 2 >= total) break;
        }
        Box lower{b.first, cut}, upper{cut, b.last};
        measure(lower);
        measure(upper);
        *it = lower;
        boxes.push_back(upper);
    }
    std::vector<std::uint32_t> palette;
    for (const Box& b : boxes) {
        std::array<std::uint64_t, 3> sum{};
        std::uint64_t n = 0;
        for (std::size_t i = b.first; i < b.last; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[static_cast<std::size_t>(c)] += static_cast<std::uint64_t>(channel(colours[i].rgb, c)) * colours[i].count;
            n += colours[i].count;
        }
        std::uint32_t rgb = 0;
        for (int c = 0; c < 3; ++c) rgb = (rgb << 8) | static_cast<std::uint32_t>((sum[static_cast<std::size_t>(c)] + n / 2) / n);
        palette.push_back(rgb);
    }
    std::sort(palette.begin(), palette.end());
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

std::uint8_t nearest(const std::vector<std::uint32_t>& palette, std::uint32_t rgb) {
    std::size_t best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        int d = 0;
        for (int c = 0; c < 3; ++c) {
            const int e = channel(palette[i], c) - channel(rgb, c);
            d += e * e;
        }
        if (d < bestDistance) bestDistance = d, best = i;
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

std::vector<std::uint8_t> encodeBmp24(const Picture& p) {
    io::ByteWriter out;
    const std::uint32_t rowBytes = rowBytesFor(p.width, 24);
    writeHeaders(out, p, 24, 0, rowBytes);
    for (int y = p.height - 1; y >= 0; --y) {
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t rgb = p.at(x, y);
            out.u8(static_cast<std::uint8_t>(rgb));
            out.u8(static_cast<std::uint8_t>(rgb >> 8));
            out.u8(static_cast<std::uint8_t>(rgb >> 16));
        }
        out.zeros(rowBytes - static_cast<std::uint32_t>(p.width) * 3);
    }
    return out.take();
}

std::vector<std::uint8_t> encodeBmp8(const Picture& p) {
    std::map<std::uint32_t, std::uint64_t> counts;
    for (std::uint32_t rgb : p.pixels) ++counts[rgb & 0xFFFFFF];
    std::vector<ColourCount> colours;
    for (const auto& [rgb, n] : counts) colours.push_back({rgb, n});
    std::vector<std::uint32_t> palette;
    if (colours.size() <= 256)
        for (const ColourCount& c : colours) palette.push_back(c.rgb);
    else
        palette = medianCut(std::move(colours));

    std::map<std::uint32_t, std::uint8_t> indexOf;
    for (const auto& [rgb, n] : counts) indexOf[rgb] = nearest(palette, rgb);

    io::ByteWriter out;
    const std::uint32_t rowBytes = rowBytesFor(p.width, 8);
    writeHeaders(out, p, 8, static_cast<std::uint32_t>(palette.size()), rowBytes);
    for (std::uint32_t rgb : palette) {
        out.u8(static_cast<std::uint8_t>(rgb));
        out.u8(static_cast<std::uint8_t>(rgb >> 8));
        out.u8(static_cast<std::uint8_t>(rgb >> 16));
        out.u8(0);
    }
    for (int y = p.height - 1; y >= 0; --y) {
        for (int x = 0; x < p.width; ++x) out.u8(indexOf[p.at(x, y) & 0xFFFFFF]);
        out.zeros(rowBytes - static_cast<std::uint32_t>(p.width));
    }
    return out.take();
}

}  // namespace tryster::demoworld
