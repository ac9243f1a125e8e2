#pragma once
// A rotation as (x, y, z, w), multiplied by the Hamilton product. Values
// read from files need not have unit length; nothing here normalises
// unless asked.

#include "math/Vector3.h"

namespace tryster::math {

struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;

    // a ⊗ b: b's rotation first, then a's.
    friend Quaternion operator*(Quaternion a, Quaternion b) {
        return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
    }
    friend bool operator==(const Quaternion&, const Quaternion&) = default;
};

inline Quaternion conjugate(Quaternion q) {
    return {-q.x, -q.y, -q.z, q.w};
}
inline float dot(Quaternion a, Quaternion b) {
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}
// q ⊗ v ⊗ q̄ taken literally, so a quaternion that is not of unit length
// also scales by its squared length.
inline Vector3 rotate(Quaternion q, Vector3 v) {
    Quaternion r = q * Quaternion{v.x, v.y, v.z, 0} * conjugate(q);
    return {r.x, r.y, r.z};
}

}  // namespace tryster::math
