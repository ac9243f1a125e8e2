#pragma once
// The render-state block of a viewport, as the preview sets it. It is
// applied (at begin scene) only while `changed` is set.

#include <cstdint>

namespace tryster::render {

struct RenderStateBlock {
    std::uint8_t zBuffer = 1;              // ZENABLE and ZWRITEENABLE (ZFUNC is LESSEQUAL)
    std::uint8_t perspectiveTextures = 1;  // TEXTUREPERSPECTIVE
    std::int32_t shading = 2;              // SHADEMODE, 2 = Gouraud
    // Set on the execute-buffer path only: the minification and
    // magnification filters (1 nearest, 2 linear).
    std::int32_t textureMin = 1;
    std::int32_t textureMag = 2;
    std::int32_t fill = 3;       // FILLMODE, 3 = solid
    std::uint8_t dither = 0;     // DITHERENABLE
    std::uint8_t specular = 1;   // SPECULARENABLE
    std::uint8_t antialias = 0;  // execute-buffer path only
    std::uint8_t fog = 0;        // FOGENABLE
    std::int32_t fogColour = 0;  // FOGCOLOR
    std::int32_t fogMode = 3;    // light state FOGMODE (3 = linear), only with fog on
    float fogStart = 6.0f;       // light state FOGSTART
    float fogEnd = 11.0f;        // light state FOGEND
    std::uint8_t changed = 1;
};

}  // namespace tryster::render
