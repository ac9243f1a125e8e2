#include "softgpu/FrameFileWindow.h"

#include "formats/PngImage.h"
#include "platform/PixelConversion.h"

#include <vector>

namespace tryster::softgpu {

void FrameFileWindow::showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) {
    // 8-bit frames have no palette here; they are written as they read.
    const int bytes = frame.format.bytesPerPixel();
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(source.width()) * static_cast<std::size_t>(source.height()));
    for (int y = source.top; y < source.bottom; ++y) {
        const std::uint8_t* p =
            frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + source.left * bytes;
        for (int x = source.left; x < source.right; ++x, p += bytes)
            pixels.push_back(platform::pixelToArgb(frame.format, p, nullptr));
    }
    failed_ = !formats::writePng(path_, source.width(), source.height(), pixels.data(),
                        static_cast<std::size_t>(source.width()));
    if (!failed_) ++frames_;
}

}  // namespace tryster::softgpu
