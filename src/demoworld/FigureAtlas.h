#pragma once
// Where each part of the figure lies in its texture, shared by the meshes
// (which map their surface there) and the painter (which paints each texel
// for the spot of the body it lands on).
//
// Every part is a tube: u runs around it (0.5 is its front, 0.25 the
// figure's right side), v along it, linearly in the measure named below.
// Heights are those of the adult design; the child's body is the same
// design carried by childPoint, so one layout serves both.

namespace tryster::demoworld::atlas {

struct Band {
    float v0, v1;   // texture rows
    float s0, s1;   // the measure along the part at v0 and v1
    // The measure of a texture row, and the row of a measure.
    constexpr float measureAt(float v) const { return s0 + (s1 - s0) * (v - v0) / (v1 - v0); }
    constexpr float rowOf(float s) const { return v0 + (v1 - v0) * (s - s0) / (s1 - s0); }
    constexpr bool holds(float v) const { return v >= v0 && v < v1; }
};

// Body textures. Torso and skirt: measured in y, top down. Arms: distance
// from the shoulder joint along the arm. Legs: y, top down. Shoes: z from
// the heel. Arms, legs and shoes put the right one in u 0..0.5 and the left
// one in 0.5..1.
inline constexpr Band kTorso{0.0f, 0.34f, 4.82f, 2.40f};
inline constexpr Band kSkirt{0.35f, 0.45f, 3.22f, 1.80f};
inline constexpr Band kArm{0.46f, 0.66f, -0.16f, 1.78f};
inline constexpr Band kLeg{0.67f, 0.91f, 2.75f, -0.22f};
inline constexpr Band kShoe{0.92f, 1.0f, -0.18f, 0.34f};

// Head textures. The head: y from the crown down to the chin. The hair
// (a shell behind the head): y from its top down.
inline constexpr Band kHead{0.0f, 0.74f, 5.55f, 4.55f};
inline constexpr Band kHair{0.77f, 0.99f, 5.5f, 4.3f};
inline constexpr float kEyeY = 5.0f;
inline constexpr float kBrowY = 5.12f;
inline constexpr float kMouthY = 4.7f;
inline constexpr float kNoseY = 4.86f;

// Hand textures: the hand along its length from the wrist, then the thumb
// (measured the same way, from where it leaves the hand).
inline constexpr Band kPalm{0.0f, 0.8f, 0.0f, 0.5f};
inline constexpr Band kThumb{0.84f, 1.0f, 0.08f, 0.28f};

}  // namespace tryster::demoworld::atlas
