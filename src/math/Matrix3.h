#pragma once
// A 3 × 3 matrix applied to row vectors (v·M), and the rotation matrices
// of a quaternion.

#include "math/Quaternion.h"
#include "math/Vector3.h"

#include <algorithm>

namespace tryster::math {

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

}  // namespace tryster::math
