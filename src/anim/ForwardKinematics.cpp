#include "anim/ForwardKinematics.h"

#include <cassert>

namespace tryster::anim {

bool LocalToWorldJob::validate() const {
    const std::size_t n = parents.size();
    if (translations.size() != n || rotations.size() != n || changed.size() != n || boneRevisions.size() != n ||
        worldPositions.size() != n || worldRotations.size() != n || worldMatrices.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (parents[i] < -1 || (parents[i] >= 0 && static_cast<std::size_t>(parents[i]) >= i)) return false;
    return true;
}

bool LocalToWorldJob::run() const {
    assert(validate());
    bool moved = false;
    for (std::size_t i = 0; i < parents.size(); ++i) {
        const std::int32_t p = parents[i];
        const auto parent = static_cast<std::size_t>(p);
        const bool parentMoved = p >= 0 && boneRevisions[parent] == revision;
        if (!changed[i] && !parentMoved) continue;
        // Top-level bones hang from the origin, unrotated.
        const math::Quaternion parentRotation = p >= 0 ? worldRotations[parent] : math::Quaternion{};
        const math::Vector3 parentPosition = p >= 0 ? worldPositions[parent] : math::Vector3{};
        const math::Quaternion w = parentRotation * math::conjugate(rotations[i]);
        worldRotations[i] = w;
        worldPositions[i] = parentPosition + math::rotate(parentRotation, translations[i]);
        worldMatrices[i] = math::rowRotationMatrix(w);
        boneRevisions[i] = revision;
        changed[i] = 0;
        moved = true;
    }
    return moved;
}

}  // namespace tryster::anim
