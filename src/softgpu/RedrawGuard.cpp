#include "softgpu/RedrawGuard.h"

#include <algorithm>
#include <limits>

namespace tryster::softgpu {

using platform::kRedrawBlock;

void RedrawGuard::start(const platform::RedrawBlocks& blocks, float* depth, int pitch) {
    stop();
    blocks_ = blocks;
    columns_ = static_cast<std::size_t>(blocks_.columns());
    state_.assign(columns_ * static_cast<std::size_t>(blocks_.rows()), kKept);
    for (int r = 0; r < blocks_.rows(); ++r)
        for (int c = 0; c < blocks_.columns(); ++c)
            if (blocks_.marked(c, r))
                state_[static_cast<std::size_t>(r) * columns_ + static_cast<std::size_t>(c)] = kRedrawn;
    depth_ = depth;
    pitch_ = pitch;
    active_ = true;
    held_ = true;
}

platform::ScreenRect RedrawGuard::blockPixels(int c, int r) const {
    return platform::intersect(
        {c * kRedrawBlock, r * kRedrawBlock, (c + 1) * kRedrawBlock, (r + 1) * kRedrawBlock},
        {0, 0, blocks_.width(), blocks_.height()});
}

void RedrawGuard::guard(int c0, int c1, int r0, int r1, bool depthRejects) {
    if (!depthRejects || !depth_) {
        held_ = false;
        return;
    }
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const std::size_t index = static_cast<std::size_t>(r) * columns_ + static_cast<std::size_t>(c);
            if (state_[index] != kKept) continue;
            state_[index] = kGuarded;
            guarded_.push_back(static_cast<std::uint32_t>(index));
            const platform::ScreenRect p = blockPixels(c, r);
            for (int y = p.top; y < p.bottom; ++y) {
                float* row = depth_ + static_cast<std::ptrdiff_t>(y) * pitch_ + p.left;
                saved_.insert(saved_.end(), row, row + p.width());
                std::fill_n(row, p.width(), -std::numeric_limits<float>::infinity());
            }
        }
}

void RedrawGuard::stop() {
    const float* from = saved_.data();
    for (std::uint32_t index : guarded_) {
        const platform::ScreenRect p =
            blockPixels(static_cast<int>(index % columns_), static_cast<int>(index / columns_));
        for (int y = p.top; y < p.bottom; ++y) {
            std::copy_n(from, p.width(), depth_ + static_cast<std::ptrdiff_t>(y) * pitch_ + p.left);
            from += p.width();
        }
    }
    guarded_.clear();
    saved_.clear();
    active_ = false;
}

}  // namespace tryster::softgpu
