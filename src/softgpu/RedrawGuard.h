#pragma once
// A limited scene (GraphicsDevice::limitRedraw) as the raster sees it:
// triangles that lie wholly in kept blocks are not drawn, and the kept
// blocks that a drawn triangle reaches into reject every pixel. They
// reject by depth: their depth is set to minus infinity for the scene,
// which every depth test that can keep a pixel fails, and put back when
// the scene ends. The raster's paths, and where their blocks start, stay
// as they are, so the redrawn pixels come out as in a whole redraw.

#include "platform/RedrawBlocks.h"

#include <cstdint>
#include <vector>

namespace tryster::softgpu {

class RedrawGuard {
public:
    // Limits drawing to `blocks` on a depth buffer of their size (or
    // none), `pitch` floats per row.
    void start(const platform::RedrawBlocks& blocks, float* depth, int pitch);
    // Puts the depth of the guarded blocks back and draws whole again.
    void stop();
    bool active() const { return active_; }
    const platform::RedrawBlocks& blocks() const { return blocks_; }

    // A triangle's pixels lie within columns xmin..xmax and rows
    // ymin..ymax (inclusive, on the target): false when they are all in
    // kept blocks, so it need not be drawn. Otherwise the kept blocks among
    // them are made to reject it first; a draw whose depth test would not
    // reject them (`depthRejects` false) breaks the limit instead.
    bool admit(int xmin, int xmax, int ymin, int ymax, bool depthRejects) {
        const int c0 = xmin / platform::kRedrawBlock, c1 = xmax / platform::kRedrawBlock;
        const int r0 = ymin / platform::kRedrawBlock, r1 = ymax / platform::kRedrawBlock;
        bool redrawn = false, kept = false;
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) {
                const std::uint8_t s =
                    state_[static_cast<std::size_t>(r) * columns_ + static_cast<std::size_t>(c)];
                redrawn = redrawn || s == kRedrawn;
                kept = kept || s == kKept;
            }
        if (!redrawn) return false;
        if (kept) guard(c0, c1, r0, r1, depthRejects);
        return true;
    }
    // False once a draw could not keep the kept blocks (see admit); set
    // again by start().
    bool held() const { return held_; }

private:
    enum : std::uint8_t { kKept = 0, kRedrawn = 1, kGuarded = 2 };
    void guard(int c0, int c1, int r0, int r1, bool depthRejects);
    // The pixels of block (c, r) on the target.
    platform::ScreenRect blockPixels(int c, int r) const;

    platform::RedrawBlocks blocks_;
    std::vector<std::uint8_t> state_;
    std::size_t columns_ = 0;
    float* depth_ = nullptr;
    int pitch_ = 0;
    bool active_ = false;
    bool held_ = true;
    std::vector<std::uint32_t> guarded_;  // block indices, in the order guarded
    std::vector<float> saved_;            // their depth, a block's rows after another's
};

}  // namespace tryster::softgpu
