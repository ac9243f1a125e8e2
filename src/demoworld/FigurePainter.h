#pragma once
// Paints the figure's textures: each texel is coloured for the spot of the
// body it lands on (FigureAtlas.h), so clothes, faces and hands fall where
// the meshes put them.

#include "demoworld/FigureMeshes.h"
#include "demoworld/Picture.h"

#include <cstdint>

namespace tryster::demoworld {

enum class Tone { Light, Medium, Dark };

// The skin colour of a tone (0xRRGGBB).
std::uint32_t skinColour(Tone tone);

enum class Pattern { Plain, Stripes, Checks, Dots, Emblem };

struct ClothesStyle {
    std::uint32_t top = 0;         // shirt, blouse or dress
    std::uint32_t topAccent = 0;   // its pattern
    Pattern pattern = Pattern::Plain;
    bool longSleeves = false;
    std::uint32_t bottom = 0;      // trousers, shorts or skirt
    bool shorts = false;           // trousers end above the knee
    std::uint32_t shoes = 0;
    std::uint32_t socks = 0xF0F0F0;
    bool bareTop = false;          // no shirt: skin down to the trousers
};

struct FaceStyle {
    std::uint32_t hair = 0;
    std::uint32_t eyes = 0;
    std::uint32_t lips = 0;
    HairStyle hairStyle = HairStyle::Short;
    bool beard = false;
};

inline constexpr int kBodyTextureWidth = 128, kBodyTextureHeight = 256;
inline constexpr int kHeadTextureWidth = 256, kHeadTextureHeight = 128;
inline constexpr int kHandTextureSize = 64;

Picture paintBody(const FigureKind& kind, Tone tone, const ClothesStyle& clothes, int width = kBodyTextureWidth,
                  int height = kBodyTextureHeight);
Picture paintHead(const FigureKind& kind, Tone tone, const FaceStyle& face);
Picture paintHand(Tone tone);

}  // namespace tryster::demoworld
