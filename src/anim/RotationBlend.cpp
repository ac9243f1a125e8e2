#include "anim/RotationBlend.h"

#include <cmath>

namespace tryster::anim {
namespace {

constexpr float kEpsilon = 1e-6f;

Quaternion weightedSum(Quaternion a, float wa, Quaternion b, float wb) {
    return {wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w};
}

Quaternion linear(Quaternion q0, float u, Quaternion q1) {
    float w1 = 1 - u;
    if (dot(q0, q1) < 0) w1 = -w1;
    Quaternion r = weightedSum(q0, u, q1, w1);
    float length = std::sqrt(dot(r, r));
    if (!(length > 0)) return {};
    float s = 1 / length;
    return {r.x * s, r.y * s, r.z * s, r.w * s};
}

bool agree(Quaternion a, Quaternion b) {
    return std::fabs(a.x - b.x) <= kEpsilon && std::fabs(a.y - b.y) <= kEpsilon &&
           std::fabs(a.z - b.z) <= kEpsilon && std::fabs(a.w - b.w) <= kEpsilon;
}

Quaternion spherical(Quaternion q0, float u, Quaternion q1) {
    if (std::fabs(u - 1) <= kEpsilon || agree(q0, q1)) return q0;
    if (std::fabs(u) <= kEpsilon) return q1;
    float cosine = dot(q0, q1);
    float sign = 1;
    if (cosine < 0) {
        cosine = -cosine;
        sign = -1;
    }
    // Nearly parallel: the arc is too short for the sines; blend linearly.
    if (cosine > 1 - kEpsilon) return linear(q0, u, q1);
    float angle = std::acos(cosine);
    float s = std::sin(angle);
    float w0 = std::sin(u * angle) / s;
    float w1 = sign * std::sin((1 - u) * angle) / s;
    return weightedSum(q0, w0, q1, w1);
}

}  // namespace

Quaternion blendRotations(Interpolation kind, Quaternion q0, float u, Quaternion q1) {
    switch (kind) {
        case Interpolation::Step:
            return u > 0.5f ? q0 : q1;
        case Interpolation::Spherical:
            return spherical(q0, u, q1);
        case Interpolation::Linear:
            break;
    }
    return linear(q0, u, q1);
}

}  // namespace tryster::anim
