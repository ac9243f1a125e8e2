#include "demoworld/FigurePainter.h"

#include "demoworld/FigureAtlas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tryster::demoworld {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

std::uint32_t mix(std::uint32_t a, std::uint32_t b, float t) {
    std::uint32_t out = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const float ca = static_cast<float>((a >> shift) & 255), cb = static_cast<float>((b >> shift) & 255);
        const auto c = static_cast<std::uint32_t>(std::clamp(std::lround(ca + (cb - ca) * t), 0L, 255L));
        out |= c << shift;
    }
    return out;
}

std::uint32_t shade(std::uint32_t c, float k) {
    return mix(0, c, k);
}

float angleFrom(float theta, float at) {
    float d = std::fmod(theta - at, 2 * kPi);
    if (d > kPi) d -= 2 * kPi;
    if (d <= -kPi) d += 2 * kPi;
    return d;
}

float fract(float x) {
    return x - std::floor(x);
}

// Piecewise-linear through (x, y) points sorted by x.
float through(std::initializer_list<std::pair<float, float>> points, float x) {
    auto prev = *points.begin();
    if (x <= prev.first) return prev.second;
    for (const auto& p : points) {
        if (x <= p.first) return prev.second + (p.second - prev.second) * (x - prev.first) / (p.first - prev.first);
        prev = p;
    }
    return prev.second;
}

template <typename Paint>
Picture paint(int width, int height, Paint texel) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.at(x, y) = texel((static_cast<float>(x) + 0.5f) / static_cast<float>(width),
                               (static_cast<float>(y) + 0.5f) / static_cast<float>(height));
    return p;
}

// The band a row belongs to: the one holding it, else the nearest (rows
// between bands repeat their neighbour's edge, so filtering at a band's
// edge picks up no colour of another part). `v` is moved into the band.
const atlas::Band& bandOf(std::initializer_list<const atlas::Band*> bands, float& v) {
    const atlas::Band* best = *bands.begin();
    float bestDistance = 2;
    for (const atlas::Band* b : bands) {
        const float d = v < b->v0 ? b->v0 - v : v >= b->v1 ? v - b->v1 : 0;
        if (d < bestDistance) bestDistance = d, best = b;
    }
    v = std::clamp(v, best->v0, best->v1);
    return *best;
}

// ---- body --------------------------------------------------------------

std::uint32_t shirt(const ClothesStyle& c, float theta, float y) {
    const float front = angleFrom(theta, kPi);
    switch (c.pattern) {
        case Pattern::Plain:
            return c.top;
        case Pattern::Stripes:
            return fract(y / 0.14f) < 0.4f ? c.topAccent : c.top;
        case Pattern::Checks: {
            const bool a = static_cast<int>(std::floor(theta / 0.4f)) % 2 == 0;
            const bool b = static_cast<int>(std::floor(y / 0.2f)) % 2 == 0;
            if (fract(theta / 0.4f) < 0.12f || fract(y / 0.2f) < 0.12f) return shade(c.topAccent, 0.7f);
            return a == b ? c.top : mix(c.top, c.topAccent, 0.5f);
        }
        case Pattern::Dots: {
            const float du = (fract(theta / 0.5f + (static_cast<int>(std::floor(y / 0.2f)) % 2) * 0.5f) - 0.5f) * 0.5f * 0.38f;
            const float dv = (fract(y / 0.2f) - 0.5f) * 0.2f;
            return du * du + dv * dv < 0.045f * 0.045f ? c.topAccent : c.top;
        }
        case Pattern::Emblem: {
            // A round badge on the left of the chest.
            const float dx = (front - 0.42f) * 0.4f, dy = y - 3.95f;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r < 0.075f) return r < 0.045f ? c.top : c.topAccent;
            return c.top;
        }
    }
    return c.top;
}

std::uint32_t torso(const FigureKind& kind, Tone tone, const ClothesStyle& c, float theta, float y) {
    const float front = angleFrom(theta, kPi);
    const float neckline = 4.42f - 0.14f * std::exp(-front * front / 0.3f);
    if (y > neckline || (c.bareTop && y > 3.06f)) return skinColour(tone);
    if (y > neckline - 0.025f) return shade(c.topAccent, 0.8f);
    const bool female = kind.gender == Gender::Female;
    const float shirtBottom = female ? 3.15f : 3.06f;
    if (c.bareTop && y > 2.98f) return skinColour(tone);
    if (y > shirtBottom) return shirt(c, theta, y);
    if (!female && y > 2.98f) return std::fabs(front) < 0.06f ? 0xC8B060 : 0x3A2818;  // belt and buckle
    return c.bottom;
}

std::uint32_t skirt(const ClothesStyle& c, float theta, float y) {
    if (y < 1.9f) return shade(c.bottom, 0.75f);
    if (fract(theta / (kPi / 8)) < 0.1f) return shade(c.bottom, 0.82f);
    return c.bottom;
}

std::uint32_t arm(Tone tone, const ClothesStyle& c, float along) {
    if (c.bareTop) return skinColour(tone);
    const float end = c.longSleeves ? 1.62f : 0.42f;
    if (along > end) return skinColour(tone);
    if (along > end - 0.06f) return shade(c.topAccent, 0.85f);
    return c.top;
}

std::uint32_t leg(const FigureKind& kind, Tone tone, const ClothesStyle& c, float y) {
    const bool trousers = kind.gender == Gender::Male;
    if (y < 0.35f && (kind.child || c.shorts)) return c.socks;
    if (trousers && !c.shorts) return y < 0.02f ? shade(c.bottom, 0.8f) : c.bottom;
    if (trousers && y > 1.6f) return c.bottom;
    return skinColour(tone);
}

std::uint32_t shoe(const ClothesStyle& c, float theta, float z) {
    if (std::fabs(angleFrom(theta, 0)) < 0.95f) return 0x202020;  // sole
    const float top = angleFrom(theta, kPi);
    if (std::fabs(top) < 0.35f && z > -0.04f && z < 0.14f && fract(z / 0.045f) < 0.35f) return 0xE8E8E8;
    return c.shoes;
}

// ---- head --------------------------------------------------------------

float hairline(const FaceStyle& f, float a) {
    if (f.hairStyle == HairStyle::Short)
        return through({{0, 5.27f}, {0.9f, 5.22f}, {1.2f, 4.95f}, {1.32f, 4.95f}, {1.42f, 5.1f},
                        {1.75f, 5.1f}, {2.2f, 4.8f}, {kPi, 4.78f}},
                       a);
    return through({{0, 5.3f}, {0.6f, 5.26f}, {0.95f, 5.18f}, {1.15f, 4.75f}, {kPi, 4.6f}}, a);
}

std::uint32_t hairTexel(const FaceStyle& f, float u, float y) {
    const float streak = fract(u * 37 + std::sin(y * 11) * 0.35f);
    return streak < 0.18f ? shade(f.hair, 0.78f) : f.hair;
}

std::uint32_t face(const FigureKind& kind, Tone tone, const FaceStyle& f, float theta, float y) {
    const float front = angleFrom(theta, kPi);
    const float a = std::fabs(front);
    if (y > hairline(f, a)) return hairTexel(f, theta / (2 * kPi), y);
    const std::uint32_t skin = skinColour(tone);
    // Ears: a darker fold inside.
    if (a > 1.42f && a < 1.72f && y > 4.9f && y < 5.08f) {
        const float d = std::hypot((a - 1.57f) / 0.1f, (y - 4.99f) / 0.06f);
        return d > 0.55f && d < 0.85f ? shade(skin, 0.78f) : skin;
    }
    const float eyeSide = front > 0 ? 1.0f : -1.0f;
    const float ex = (front - eyeSide * 0.37f) * 0.39f, ey = y - atlas::kEyeY;
    const float sclera = (ex / 0.062f) * (ex / 0.062f) + (ey / 0.032f) * (ey / 0.032f);
    if (sclera < 1) {
        const float r = std::hypot(ex, ey);
        if (r < 0.012f) return 0x141010;
        if (r < 0.027f) return f.eyes;
        return 0xEDEDE6;
    }
    const float lid = (ex / 0.07f) * (ex / 0.07f) + (ey / 0.04f) * (ey / 0.04f);
    if (lid < 1 && ey > 0.01f) return 0x2A1E1E;
    const float by = y - (atlas::kBrowY + 0.02f * (1 - (ex / 0.085f) * (ex / 0.085f)));
    if (std::fabs(ex) < 0.085f && std::fabs(by) < 0.014f) return shade(f.hair, 0.7f);
    // Nose: nostrils and a shadow along its side.
    const float nx = a * 0.36f;
    if (std::hypot(nx - 0.028f, y - (atlas::kNoseY - 0.01f)) < 0.012f) return shade(skin, 0.6f);
    if (nx > 0.035f && nx < 0.05f && y > atlas::kNoseY && y < 4.98f) return shade(skin, 0.9f);
    // Mouth: a slight smile.
    const float mx = front * 0.3f;
    if (std::fabs(mx) < 0.085f) {
        const float mouth = atlas::kMouthY + 0.018f * (mx / 0.085f) * (mx / 0.085f);
        const float dy = y - mouth;
        if (std::fabs(dy) < 0.005f) return 0x4A2020;
        if (dy > 0 && dy < 0.016f) return f.lips;
        if (dy < 0 && dy > -0.022f) return mix(f.lips, 0xFFFFFF, 0.12f);
    }
    if (f.beard && y < 4.84f && a < 1.35f) return mix(skin, f.hair, 0.75f);
    if (kind.gender == Gender::Female || kind.child) {
        const float cheek = std::exp(-((a - 0.5f) * (a - 0.5f)) / 0.02f - ((y - 4.83f) * (y - 4.83f)) / 0.003f);
        return mix(skin, 0xE06070, 0.18f * cheek);
    }
    return skin;
}

}  // namespace

std::uint32_t skinColour(Tone tone) {
    switch (tone) {
        case Tone::Light:
            return 0xF2CDB0;
        case Tone::Medium:
            return 0xC99569;
        case Tone::Dark:
            break;
    }
    return 0x704830;
}

Picture paintBody(const FigureKind& kind, Tone tone, const ClothesStyle& clothes, int width, int height) {
    return paint(width, height, [&](float u, float v) -> std::uint32_t {
        const float theta = 2 * kPi * u;
        // Paired parts use each half of u for one side, θ running 0..2π in it.
        const float sideTheta = 2 * kPi * fract(u * 2);
        const atlas::Band& band =
            bandOf({&atlas::kTorso, &atlas::kSkirt, &atlas::kArm, &atlas::kLeg, &atlas::kShoe}, v);
        const float s = band.measureAt(v);
        if (&band == &atlas::kTorso) return torso(kind, tone, clothes, theta, s);
        if (&band == &atlas::kSkirt) return skirt(clothes, theta, s);
        if (&band == &atlas::kArm) return arm(tone, clothes, s);
        if (&band == &atlas::kLeg) return leg(kind, tone, clothes, s);
        return shoe(clothes, sideTheta, s);
    });
}

Picture paintHead(const FigureKind& kind, Tone tone, const FaceStyle& face) {
    return paint(kHeadTextureWidth, kHeadTextureHeight, [&](float u, float v) -> std::uint32_t {
        const atlas::Band& band = bandOf({&atlas::kHead, &atlas::kHair}, v);
        if (&band == &atlas::kHead) return demoworld::face(kind, tone, face, 2 * kPi * u, band.measureAt(v));
        return hairTexel(face, u, band.measureAt(v));
    });
}

Picture paintHand(Tone tone) {
    const std::uint32_t skin = skinColour(tone);
    return paint(kHandTextureSize, kHandTextureSize, [&](float u, float v) -> std::uint32_t {
        const float theta = 2 * kPi * u;
        const atlas::Band& band = bandOf({&atlas::kPalm, &atlas::kThumb}, v);
        const float along = band.measureAt(v);
        if (&band == &atlas::kThumb) return along > 0.24f ? mix(skin, 0xF4D0D0, 0.5f) : skin;
        // The back of the hand faces out (θ near π/2): nails at the tips.
        const float back = std::fabs(angleFrom(theta, kPi / 2));
        if (along > 0.43f && back < 0.9f) return mix(skin, 0xF4D0D0, 0.55f);
        // Lines between the fingers, across the hand's width.
        const float across = -std::cos(theta);
        if (along > 0.3f && (std::fabs(across) < 0.06f || std::fabs(std::fabs(across) - 0.5f) < 0.05f))
            return shade(skin, 0.78f);
        if (along < 0.05f) return shade(skin, 0.92f);
        return skin;
    });
}

}  // namespace tryster::demoworld
