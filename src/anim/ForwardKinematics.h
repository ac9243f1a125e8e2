#pragma once
// Forward kinematics over a skeleton's bones in list order, in which every
// parent comes before its children: each moved bone gets its world
// rotation W = P ⊗ conj(L), its world position P_p + P turning t, and the
// row-vector matrix of W (v·M equals W turning v). P and P_p are the
// parent's world rotation and position, the identity and the origin for a
// top-level bone; L and t are the bone's local rotation and translation
// (the stored rotation is the inverse of the turn the bone applies).
//
// Only bones whose local pose changed, and the bones below them, are
// worked out again; they take `revision` as their bone revision, so
// whoever reads the pose can tell what moved. Spans in and out, nothing
// allocated: the caller owns every array.

#include "math/Matrix3.h"
#include "math/Quaternion.h"
#include "math/Vector3.h"

#include <cstdint>
#include <span>

namespace tryster::anim {

struct LocalToWorldJob {
    // One entry per bone. A parent is −1 for a top-level bone, else the
    // index of an earlier bone.
    std::span<const std::int32_t> parents;
    std::span<const math::Vector3> translations;
    std::span<const math::Quaternion> rotations;
    // Non-zero for a bone whose local pose changed; cleared as it is done.
    std::span<std::uint8_t> changed;
    // The revision a moved bone takes; it must differ from every revision
    // in `boneRevisions` so that a parent's move is seen by its children.
    std::uint32_t revision = 0;

    std::span<std::uint32_t> boneRevisions;
    std::span<math::Vector3> worldPositions;
    std::span<math::Quaternion> worldRotations;
    std::span<math::Matrix3> worldMatrices;

    // Every span as long as `parents`, every parent before its child.
    bool validate() const;
    // Whether any bone moved. The job must be valid.
    bool run() const;
};

}  // namespace tryster::anim
