#pragma once
// Three single-precision components (x, y, z): positions, directions,
// normals and scales alike.

#include <cmath>

namespace tryster::math {

struct Vector3 {
    float x = 0, y = 0, z = 0;

    friend Vector3 operator+(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend Vector3 operator-(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend Vector3 operator*(Vector3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
    friend bool operator==(const Vector3&, const Vector3&) = default;
};

inline float dot(Vector3 a, Vector3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vector3 cross(Vector3 a, Vector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(Vector3 v) {
    return std::sqrt(dot(v, v));
}
// The zero vector stays zero.
inline Vector3 normalised(Vector3 v) {
    float l = length(v);
    return l > 0 ? v * (1.0f / l) : Vector3{};
}

}  // namespace tryster::math
