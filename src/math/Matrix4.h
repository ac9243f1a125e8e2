#pragma once
// A 4 × 4 matrix stored row-major and applied to row vectors (v·M), the
// translation in the fourth row.

#include "math/Matrix3.h"
#include "math/Vector3.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tryster::math {

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

}  // namespace tryster::math
