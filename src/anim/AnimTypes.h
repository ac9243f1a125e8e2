#pragma once
// Types the animation module shares: the engine's math and reference
// counting, and clock readings.

#include "render/Math3D.h"
#include "render/RefCounted.h"

#include <cstddef>
#include <cstdint>

namespace tryster::anim {

using render::Box;
using render::Matrix3;
using render::Matrix4;
using render::Quaternion;
using render::Ref;
using render::RefCounted;
using render::Vector3;

// Readings of the preview clock, in milliseconds. The core never reads a
// clock itself: callers pass the time in.
using TimeMs = std::int64_t;

// Longest names the readers accept; longer ones are read failures (the
// binary files hold at most the short limit everywhere).
inline constexpr std::size_t kLongNameLimit = 1023;  // skeleton, bone, part and mesh names
inline constexpr std::size_t kShortNameLimit = 255;  // outfit, animation, data, track names, properties

}  // namespace tryster::anim
