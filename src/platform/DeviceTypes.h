#pragma once
// Plain types shared by the display and 3D device interfaces: result codes,
// pixel formats, rectangles, colours and matrices, laid out the way the
// DirectDraw and Direct3D immediate-mode interfaces define them.

#include <cstdint>
#include <iosfwd>

namespace tryster::platform {

// 0 is success; failures use the DirectX result values so the engine can
// pass them through unchanged (code() gives the value). Its own type, so it
// cannot pass for a count or for the engine's result, and it cannot be
// dropped without saying so. True in a condition when it is a failure.
class [[nodiscard]] DeviceResult {
public:
    constexpr DeviceResult() = default;
    constexpr explicit DeviceResult(std::uint32_t code) : code_(code) {}
    constexpr std::uint32_t code() const { return code_; }
    constexpr explicit operator bool() const { return code_ != 0; }
    friend constexpr bool operator==(DeviceResult, DeviceResult) = default;

private:
    std::uint32_t code_ = 0;
};
// "0x887601c2" (for test output).
std::ostream& operator<<(std::ostream& out, DeviceResult result);

namespace device_result {
inline constexpr DeviceResult kOk{0};
inline constexpr DeviceResult kGeneric{0x80004005};          // DDERR_GENERIC
inline constexpr DeviceResult kUnsupported{0x80004001};      // DDERR_UNSUPPORTED
inline constexpr DeviceResult kOutOfMemory{0x8007000E};      // DDERR_OUTOFMEMORY
inline constexpr DeviceResult kInvalidParams{0x80070057};    // DDERR_INVALIDPARAMS
inline constexpr DeviceResult kSurfaceBusy{0x887601AE};      // DDERR_SURFACEBUSY
inline constexpr DeviceResult kSurfaceLost{0x887601C2};      // DDERR_SURFACELOST
inline constexpr DeviceResult kNotLocked{0x88760248};        // DDERR_NOTLOCKED
inline constexpr DeviceResult kInvalidMode{0x88760078};      // DDERR_INVALIDMODE
inline constexpr DeviceResult kNoPalette{0x88760217};        // DDERR_NOPALETTEATTACHED
inline constexpr DeviceResult kSceneInScene{0x887602EE};     // D3DERR_SCENE_IN_SCENE
inline constexpr DeviceResult kSceneNotInScene{0x887602EF};  // D3DERR_SCENE_NOT_IN_SCENE
inline constexpr DeviceResult kInvalidHandle{0x887602BC};    // D3DERR_INVALID... (bad handle)
}  // namespace device_result

// Channel masks of a pixel; 8 bits per pixel means palette indices.
struct PixelFormat {
    int bitsPerPixel = 32;
    std::uint32_t redMask = 0x00FF0000;
    std::uint32_t greenMask = 0x0000FF00;
    std::uint32_t blueMask = 0x000000FF;
    std::uint32_t alphaMask = 0;

    bool palettized() const { return bitsPerPixel == 8; }
    int bytesPerPixel() const { return bitsPerPixel / 8; }
    friend bool operator==(const PixelFormat&, const PixelFormat&) = default;
};

namespace pixel_format {
inline constexpr PixelFormat kPalette8{8, 0, 0, 0, 0};
inline constexpr PixelFormat kRgb565{16, 0xF800, 0x07E0, 0x001F, 0};
// Red in bits 11-15, green 6-10, blue 1-5, alpha in bit 0.
inline constexpr PixelFormat kRgba5551{16, 0xF800, 0x07C0, 0x003E, 0x0001};
// Bytes blue, green, red in memory.
inline constexpr PixelFormat kRgb888{24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
inline constexpr PixelFormat kXrgb8888{32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
inline constexpr PixelFormat kArgb8888{32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
}  // namespace pixel_format

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

// Pixels; right and bottom exclusive.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

inline ScreenRect intersect(const ScreenRect& a, const ScreenRect& b) {
    ScreenRect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                 a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (r.empty()) return {};
    return r;
}

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
};

// Channels 0..1 (alpha too), as D3DCOLORVALUE.
struct ColourValue {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;
};

struct DeviceVector {
    float x = 0;
    float y = 0;
    float z = 0;
};

// Row-major, applied to row vectors (v·M), translation in the fourth row.
struct DeviceMatrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

// A vertex of the one layout the program draws (position, normal, one
// pair of texture coordinates; flexible-vertex-format flags 0x112).
struct DeviceVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
inline constexpr std::uint32_t kVertexFormatXyzNormalTex1 = 0x112;
static_assert(sizeof(DeviceVertex) == 32);

}  // namespace tryster::platform
