#pragma once
// The three ways animations mix two rotations.

#include "anim/AnimTypes.h"

namespace tryster::anim {

enum class Interpolation : std::int32_t { Step = 0, Linear = 1, Spherical = 2 };

// q0 weighted u, q1 weighted 1 − u:
// Step: q0 when u > 0.5, else q1.
// Linear: the weighted sum along the shorter arc, normalised; a zero sum
//   gives the identity.
// Spherical: spherical linear interpolation along the shorter arc; q0 when
//   u is 1 or the two agree, q1 when u is 0 (each within 1e-6).
Quaternion blendRotations(Interpolation kind, Quaternion q0, float u, Quaternion q1);

}  // namespace tryster::anim
