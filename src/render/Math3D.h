#pragma once
// Single-precision math of the engine: vectors (x, y, z), 4 × 4 matrices
// stored row-major and applied to row vectors (v·M, translation in the
// fourth row), boxes as (min, max), and screen extents.

#include "platform/DeviceTypes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace tryster::render {

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

// A rotation as (x, y, z, w), multiplied by the Hamilton product. Values
// read from files need not have unit length; nothing here normalises
// unless asked.
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

// A 3 × 3 matrix applied to row vectors (v·M).
struct Matrix3 {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    Vector3 apply(Vector3 v) const {
        return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
                v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
    }
    friend bool operator==(const Matrix3& a, const Matrix3& b) {
        return std::equal(&a.m[0][0], &a.m[0][0] + 9, &b.m[0][0]);
    }
};

// The rotation matrix of a unit quaternion in the textbook (column-vector)
// form, rows (1−2y²−2z², 2xy−2wz, 2xz+2wy), (2xy+2wz, 1−2x²−2z², 2yz−2wx),
// (2xz−2wy, 2yz+2wx, 1−2x²−2y²).
inline Matrix3 columnRotationMatrix(Quaternion q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Matrix3 r;
    r.m[0][0] = 1 - 2 * y * y - 2 * z * z;
    r.m[0][1] = 2 * x * y - 2 * w * z;
    r.m[0][2] = 2 * x * z + 2 * w * y;
    r.m[1][0] = 2 * x * y + 2 * w * z;
    r.m[1][1] = 1 - 2 * x * x - 2 * z * z;
    r.m[1][2] = 2 * y * z - 2 * w * x;
    r.m[2][0] = 2 * x * z - 2 * w * y;
    r.m[2][1] = 2 * y * z + 2 * w * x;
    r.m[2][2] = 1 - 2 * x * x - 2 * y * y;
    return r;
}
// The same rotation for row vectors: v·M equals q rotating v.
inline Matrix3 rowRotationMatrix(Quaternion q) {
    return columnRotationMatrix({q.x, q.y, q.z, -q.w});
}

// Identity matrices are tagged so drawing can skip them.
enum class MatrixKind : std::uint32_t { Identity = 0, General = 1 };

struct Matrix4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Matrix4 identity() { return {}; }
    static Matrix4 translation(Vector3 t) {
        Matrix4 r;
        r.m[3][0] = t.x;
        r.m[3][1] = t.y;
        r.m[3][2] = t.z;
        return r;
    }
    // Turns by `radians` about the y axis (x towards -z for positive angles
    // seen from above, as row vectors).
    static Matrix4 rotationY(float radians) {
        Matrix4 r;
        float c = std::cos(radians), s = std::sin(radians);
        r.m[0][0] = c;
        r.m[0][2] = -s;
        r.m[2][0] = s;
        r.m[2][2] = c;
        return r;
    }
    static Matrix4 rotationX(float radians) {
        Matrix4 r;
        float c = std::cos(radians), s = std::sin(radians);
        r.m[1][1] = c;
        r.m[1][2] = s;
        r.m[2][1] = -s;
        r.m[2][2] = c;
        return r;
    }

    // Rows scaled by `scale`, then turned by `rotation`, then moved by
    // `translation` (row vectors: the scale applies first).
    static Matrix4 placement(const Matrix3& rotation, Vector3 scale, Vector3 translation) {
        Matrix4 r;
        const float s[3] = {scale.x, scale.y, scale.z};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) r.m[i][j] = s[i] * rotation.m[i][j];
        r.m[3][0] = translation.x;
        r.m[3][1] = translation.y;
        r.m[3][2] = translation.z;
        return r;
    }

    friend Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
        Matrix4 r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                            a.m[i][3] * b.m[3][j];
        return r;
    }
    Vector3 transformPoint(Vector3 v) const {
        return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0] + m[3][0],
                v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1] + m[3][1],
                v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2] + m[3][2]};
    }
    friend bool operator==(const Matrix4& a, const Matrix4& b) {
        return std::equal(&a.m[0][0], &a.m[0][0] + 16, &b.m[0][0]);
    }
};

inline platform::DeviceMatrix toDevice(const Matrix4& m) {
    return std::bit_cast<platform::DeviceMatrix>(m);
}

// Empty is min 1e38 and max -1e38 on every axis.
struct Box {
    Vector3 min{1e38f, 1e38f, 1e38f};
    Vector3 max{-1e38f, -1e38f, -1e38f};

    bool valid() const { return min.x <= max.x && min.y <= max.y && min.z <= max.z; }
    void extend(Vector3 p) {
        min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
    }
    void unite(const Box& b) {
        if (!b.valid()) return;
        extend(b.min);
        extend(b.max);
    }
    Vector3 corner(int i) const {
        return {(i & 1) ? max.x : min.x, (i & 2) ? max.y : min.y, (i & 4) ? max.z : min.z};
    }
    // The box around the eight corners carried by `m`.
    Box transformed(const Matrix4& m) const {
        if (!valid()) return *this;
        Box r;
        for (int i = 0; i < 8; ++i) r.extend(m.transformPoint(corner(i)));
        return r;
    }
    friend bool operator==(const Box&, const Box&) = default;
};

// Pixels (right and bottom exclusive). Empty is (0x7FFFFFFF, 0x7FFFFFFF,
// -0x80000000, -0x80000000), so uniting with it changes nothing.
struct ScreenExtent {
    std::int32_t left = 0x7FFFFFFF;
    std::int32_t top = 0x7FFFFFFF;
    std::int32_t right = INT32_MIN;
    std::int32_t bottom = INT32_MIN;

    bool empty() const { return left >= right || top >= bottom; }
    void reset() { *this = ScreenExtent{}; }
    void unite(const ScreenExtent& o) {
        if (o.empty()) return;
        left = std::min(left, o.left);
        top = std::min(top, o.top);
        right = std::max(right, o.right);
        bottom = std::max(bottom, o.bottom);
    }
    platform::ScreenRect rect() const { return {left, top, right, bottom}; }
    static ScreenExtent from(const platform::ScreenRect& r) {
        if (r.empty()) return {};
        return {r.left, r.top, r.right, r.bottom};
    }
    friend bool operator==(const ScreenExtent&, const ScreenExtent&) = default;
};

}  // namespace tryster::render
