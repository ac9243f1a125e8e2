#pragma once
// The parts of a surface a scene draws again, in blocks of kRedrawBlock ×
// kRedrawBlock pixels on the surface's grid (the last column and row of
// blocks may hang over its edge).

#include "platform/DeviceTypes.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tryster::platform {

inline constexpr int kRedrawBlock = 8;

class RedrawBlocks {
public:
    // Every block unmarked, for a surface of this size.
    void reset(int width, int height) {
        width_ = std::max(width, 0);
        height_ = std::max(height, 0);
        columns_ = (width_ + kRedrawBlock - 1) / kRedrawBlock;
        rows_ = (height_ + kRedrawBlock - 1) / kRedrawBlock;
        marks_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0);
        any_ = false;
    }
    int width() const { return width_; }
    int height() const { return height_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }

    // Marks the blocks the pixels [left, right) × [top, bottom) lie in,
    // clipped to the surface.
    void mark(const ScreenRect& pixels) {
        const ScreenRect r = intersect(pixels, {0, 0, width_, height_});
        if (r.empty()) return;
        markBlocks(r.left / kRedrawBlock, (r.right - 1) / kRedrawBlock, r.top / kRedrawBlock,
                   (r.bottom - 1) / kRedrawBlock);
    }
    // Marks blocks c0..c1 of rows r0..r1 (inclusive, within the surface).
    void markBlocks(int c0, int c1, int r0, int r1) {
        if (c0 > c1 || r0 > r1) return;
        for (int row = r0; row <= r1; ++row)
            std::fill_n(marks_.begin() + static_cast<std::ptrdiff_t>(row) * columns_ + c0, c1 - c0 + 1,
                        std::uint8_t{1});
        if (!any_) {
            any_ = true;
            c0_ = c0, c1_ = c1, r0_ = r0, r1_ = r1;
            return;
        }
        c0_ = std::min(c0_, c0), c1_ = std::max(c1_, c1), r0_ = std::min(r0_, r0), r1_ = std::max(r1_, r1);
    }
    bool marked(int column, int row) const {
        return marks_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                      static_cast<std::size_t>(column)] != 0;
    }
    // The pixels of the marked blocks' bounding box, clipped to the
    // surface; empty when none is marked.
    ScreenRect bounds() const {
        if (!any_) return {};
        return intersect(
            {c0_ * kRedrawBlock, r0_ * kRedrawBlock, (c1_ + 1) * kRedrawBlock, (r1_ + 1) * kRedrawBlock},
            {0, 0, width_, height_});
    }

private:
    int width_ = 0, height_ = 0, columns_ = 0, rows_ = 0;
    std::vector<std::uint8_t> marks_;
    bool any_ = false;
    int c0_ = 0, c1_ = 0, r0_ = 0, r1_ = 0;  // the marked blocks' bounds
};

}  // namespace tryster::platform
