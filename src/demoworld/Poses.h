#pragma once
// Poses of the demo figure: one rotation per bone relative to its parent
// (the turn the bone makes, not the inverse that files store), solved
// from where the hands should go.

#include "demoworld/FigureSkeleton.h"

#include <array>

namespace tryster::demoworld {

Quaternion axisAngle(Vector3 axis, float radians);
// The shortest turn that carries direction `from` onto `to`.
Quaternion turnBetween(Vector3 from, Vector3 to);
// Spherical interpolation along the shorter arc; t 0 gives a.
Quaternion slerp(Quaternion a, Quaternion b, float t);

struct Pose {
    std::array<Quaternion, kBoneCount> turn{};  // every bone unturned

    Quaternion& operator[](BoneId b) { return turn[static_cast<std::size_t>(index(b))]; }
    Quaternion operator[](BoneId b) const { return turn[static_cast<std::size_t>(index(b))]; }
    // Adds a turn on top of the bone's own (applied after it, in the
    // parent's frame).
    void add(BoneId b, Quaternion q);
};

Pose mixPoses(const Pose& a, const Pose& b, float t);

// Solves poses on one skeleton's rest positions.
class PoseSolver {
public:
    explicit PoseSolver(const Joints& joints);

    // World rotation and position of each bone for a pose.
    struct World {
        std::array<Quaternion, kBoneCount> rotation;
        std::array<Vector3, kBoneCount> position;
    };
    World world(const Pose& pose) const;

    // Turns the arm so that its wrist reaches `target` (model space, as
    // near as the arm's length allows), with the elbow bending towards
    // `pole`, and the palm turned towards `palm` (zero keeps the twist the
    // shortest turn gives). The chest and clavicle of `pose` are kept.
    void reach(Pose& pose, bool right, Vector3 target, Vector3 pole, Vector3 palm = {}) const;
    // Turns the hand so that its fingers point along `direction`.
    void pointHand(Pose& pose, bool right, Vector3 direction) const;

    const RestPositions& rest() const { return rest_; }

private:
    RestPositions rest_;
};

// The three postures the idles rest in.
Pose armsDown();
Pose handsOnHips(const PoseSolver& solver);
Pose armsCrossed(const PoseSolver& solver);

}  // namespace tryster::demoworld
