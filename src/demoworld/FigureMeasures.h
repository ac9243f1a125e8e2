#pragma once
// The demo figure's measurements, in one place so that the figure can be
// tuned without hunting through the generator.
//
// Model space: y up, the figure faces +z, its right hand on +x. The
// preview stands the skeleton at (0, -1.75, 0) and looks at it from above
// and in front; its snapshot rectangles assume the adult figure's head and
// body fill the sizes below.

#include "anim/AnimTypes.h"

namespace tryster::demoworld {

using anim::Quaternion;
using anim::Vector3;
using math::cross;
using math::dot;
using math::length;
using math::normalised;

// The adult figure (the measure the preview's framing is built on).
inline constexpr float kGroundY = -0.35f;  // soles

// Joint positions in model space at rest. Paired joints are given for the
// right side (+x); the left side mirrors them.
struct Joints {
    Vector3 pelvis, spine, chest, neck, head;
    Vector3 clavicle, shoulder, elbow, wrist;
    Vector3 hip, knee, ankle, toe;
};

inline constexpr Joints kAdultJoints = {
    .pelvis = {0, 2.75f, 0},
    .spine = {0, 3.2f, 0},
    .chest = {0, 3.7f, 0},
    .neck = {0, 4.4f, 0},
    .head = {0, 4.68f, 0},
    .clavicle = {0.1f, 4.3f, 0},
    .shoulder = {0.52f, 4.2f, 0},
    .elbow = {0.57f, 3.3f, -0.03f},
    .wrist = {0.61f, 2.45f, 0.02f},
    .hip = {0.22f, 2.6f, 0},
    .knee = {0.23f, 1.35f, 0.02f},
    .ankle = {0.24f, -0.12f, -0.02f},
    .toe = {0.24f, -0.3f, 0.22f},
};

// A child: its body is the adult's below the chin scaled down to about
// two thirds (heights) and a little less (widths), its head scaled less,
// so that it reads as a child by its proportions.
inline constexpr float kChildBodyScaleY = 0.63f;
inline constexpr float kChildBodyScaleXZ = 0.64f;
inline constexpr float kChildHeadScale = 0.9f;

// Where a point of the adult design lands on the child's body.
constexpr Vector3 childPoint(Vector3 adult) {
    return {adult.x * kChildBodyScaleXZ, kGroundY + (adult.y - kGroundY) * kChildBodyScaleY,
            adult.z * kChildBodyScaleXZ};
}

inline constexpr Joints kChildJoints = {
    .pelvis = childPoint(kAdultJoints.pelvis),
    .spine = childPoint(kAdultJoints.spine),
    .chest = childPoint(kAdultJoints.chest),
    .neck = childPoint(kAdultJoints.neck),
    .head = childPoint(kAdultJoints.head),
    .clavicle = childPoint(kAdultJoints.clavicle),
    .shoulder = childPoint(kAdultJoints.shoulder),
    .elbow = childPoint(kAdultJoints.elbow),
    .wrist = childPoint(kAdultJoints.wrist),
    .hip = childPoint(kAdultJoints.hip),
    .knee = childPoint(kAdultJoints.knee),
    .ankle = childPoint(kAdultJoints.ankle),
    .toe = childPoint(kAdultJoints.toe),
};

// The mirror image of a right-side point.
constexpr Vector3 leftOf(Vector3 right) {
    return {-right.x, right.y, right.z};
}

}  // namespace tryster::demoworld
