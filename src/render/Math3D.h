#pragma once
// The engine's math: the shared vectors, quaternions, matrices and boxes
// (src/math) under the engine's names, their hand-over to the device, and
// screen extents.

#include "math/Box.h"
#include "math/Matrix3.h"
#include "math/Matrix4.h"
#include "math/Quaternion.h"
#include "math/Vector3.h"
#include "platform/DeviceTypes.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace tryster::render {

using math::Box;
using math::Matrix3;
using math::Matrix4;
using math::MatrixKind;
using math::Quaternion;
using math::Vector3;

using math::columnRotationMatrix;
using math::conjugate;
using math::cross;
using math::dot;
using math::length;
using math::normalised;
using math::rotate;
using math::rowRotationMatrix;

inline platform::DeviceMatrix toDevice(const Matrix4& m) {
    return std::bit_cast<platform::DeviceMatrix>(m);
}

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
