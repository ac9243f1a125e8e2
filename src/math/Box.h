#pragma once
// An axis-aligned box as (min, max). Empty is min 1e38 and max -1e38 on
// every axis, so extending it by a point gives that point's box.

#include "math/Matrix4.h"
#include "math/Vector3.h"

#include <algorithm>

namespace tryster::math {

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

}  // namespace tryster::math
