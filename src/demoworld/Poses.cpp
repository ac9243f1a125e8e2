#include "demoworld/Poses.h"

#include <algorithm>
#include <cmath>

namespace tryster::demoworld {
namespace {

Quaternion normalisedQ(Quaternion q) {
    const float n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return n > 0 ? Quaternion{q.x / n, q.y / n, q.z / n, q.w / n} : Quaternion{};
}

// Some direction at right angles to `v`.
Vector3 perpendicular(Vector3 v) {
    const Vector3 other = std::fabs(v.x) < 0.9f ? Vector3{1, 0, 0} : Vector3{0, 1, 0};
    return normalised(cross(v, other));
}

std::size_t slot(BoneId b) {
    return static_cast<std::size_t>(index(b));
}

}  // namespace

Quaternion axisAngle(Vector3 axis, float radians) {
    const Vector3 a = normalised(axis);
    const float s = std::sin(radians / 2);
    return {a.x * s, a.y * s, a.z * s, std::cos(radians / 2)};
}

Quaternion turnBetween(Vector3 from, Vector3 to) {
    const Vector3 a = normalised(from), b = normalised(to);
    const float d = dot(a, b);
    if (d > 0.999999f) return {};
    if (d < -0.999999f) return axisAngle(perpendicular(a), 3.14159265f);
    const Vector3 c = cross(a, b);
    return normalisedQ({c.x, c.y, c.z, 1 + d});
}

Quaternion slerp(Quaternion a, Quaternion b, float t) {
    float d = math::dot(a, b);
    if (d < 0) {
        b = {-b.x, -b.y, -b.z, -b.w};
        d = -d;
    }
    if (d > 0.9995f)
        return normalisedQ({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t,
                            a.w + (b.w - a.w) * t});
    const float theta = std::acos(d), s = std::sin(theta);
    const float wa = std::sin((1 - t) * theta) / s, wb = std::sin(t * theta) / s;
    return {a.x * wa + b.x * wb, a.y * wa + b.y * wb, a.z * wa + b.z * wb, a.w * wa + b.w * wb};
}

void Pose::add(BoneId b, Quaternion q) {
    (*this)[b] = normalisedQ(q * (*this)[b]);
}

Pose mixPoses(const Pose& a, const Pose& b, float t) {
    Pose out;
    for (std::size_t i = 0; i < out.turn.size(); ++i) out.turn[i] = slerp(a.turn[i], b.turn[i], t);
    return out;
}

PoseSolver::PoseSolver(const Joints& joints) : rest_(restPositions(joints)) {}

PoseSolver::World PoseSolver::world(const Pose& pose) const {
    World w;
    for (int i = 0; i < kBoneCount; ++i) {
        const auto b = static_cast<BoneId>(i);
        const BoneId parent = boneInfo(b).parent;
        if (parent == b) {
            w.rotation[slot(b)] = pose[b];
            w.position[slot(b)] = rest_[slot(b)];
            continue;
        }
        const Quaternion p = w.rotation[slot(parent)];
        w.rotation[slot(b)] = p * pose[b];
        w.position[slot(b)] = w.position[slot(parent)] + math::rotate(p, rest_[slot(b)] - rest_[slot(parent)]);
    }
    return w;
}

void PoseSolver::reach(Pose& pose, bool right, Vector3 target, Vector3 pole, Vector3 palm) const {
    const BoneId clavicle = sided(BoneId::LeftClavicle, right), upper = sided(BoneId::LeftUpperArm, right),
                 fore = sided(BoneId::LeftForearm, right), hand = sided(BoneId::LeftHand, right);
    pose[upper] = {};
    pose[fore] = {};
    const World w = world(pose);
    const Vector3 shoulder = w.position[slot(upper)];
    const Quaternion wc = w.rotation[slot(clavicle)];
    const Vector3 upperRest = rest_[slot(fore)] - rest_[slot(upper)];
    const Vector3 foreRest = rest_[slot(hand)] - rest_[slot(fore)];
    const float l1 = length(upperRest), l2 = length(foreRest);

    const Vector3 toTarget = target - shoulder;
    const Vector3 dir = length(toTarget) > 0 ? normalised(toTarget) : Vector3{0, -1, 0};
    const float d = std::clamp(length(toTarget), std::fabs(l1 - l2) + 1e-3f, l1 + l2 - 1e-3f);
    const float a = (l1 * l1 - l2 * l2 + d * d) / (2 * d);
    const float h = std::sqrt(std::max(0.0f, l1 * l1 - a * a));
    Vector3 bend = pole - dir * dot(pole, dir);
    bend = length(bend) > 1e-6f ? normalised(bend) : perpendicular(dir);
    const Vector3 elbow = shoulder + dir * a + bend * h;
    const Vector3 wrist = shoulder + dir * d;

    const Quaternion wu = normalisedQ(turnBetween(math::rotate(wc, upperRest), elbow - shoulder) * wc);
    pose[upper] = normalisedQ(math::conjugate(wc) * wu);
    Quaternion wf = normalisedQ(turnBetween(math::rotate(wu, foreRest), wrist - elbow) * wu);
    if (length(palm) > 0) {
        // Twist about the forearm until the palm faces as near `palm` as it can.
        const Vector3 axis = normalised(wrist - elbow);
        const Vector3 palmRest = right ? Vector3{-1, 0, 0} : Vector3{1, 0, 0};
        auto flat = [&](Vector3 v) { return v - axis * dot(v, axis); };
        const Vector3 now = flat(math::rotate(wf, palmRest)), want = flat(palm);
        const float angle = std::atan2(dot(cross(now, want), axis), dot(now, want));
        wf = normalisedQ(axisAngle(axis, angle) * wf);
    }
    pose[fore] = normalisedQ(math::conjugate(wu) * wf);
}

void PoseSolver::pointHand(Pose& pose, bool right, Vector3 direction) const {
    const BoneId fore = sided(BoneId::LeftForearm, right), hand = sided(BoneId::LeftHand, right);
    pose[hand] = {};
    const Quaternion wf = world(pose).rotation[slot(fore)];
    const Quaternion wh = normalisedQ(turnBetween(math::rotate(wf, {0, -1, 0}), direction) * wf);
    pose[hand] = normalisedQ(math::conjugate(wf) * wh);
}

Pose armsDown() {
    Pose p;
    // Elbows a little bent, hands a little forward: nobody stands rigid.
    for (bool right : {false, true}) p[sided(BoneId::LeftForearm, right)] = axisAngle({1, 0, 0}, -0.14f);
    return p;
}

Pose handsOnHips(const PoseSolver& solver) {
    Pose p = armsDown();
    for (bool right : {false, true}) {
        const float side = right ? 1.0f : -1.0f;
        const Vector3 hip = solver.rest()[static_cast<std::size_t>(index(sided(BoneId::LeftThigh, right)))];
        const Vector3 pelvis = solver.rest()[static_cast<std::size_t>(index(BoneId::Pelvis))];
        // On the side of the waist, a little above the hip joint.
        const Vector3 target{hip.x * 2.1f, pelvis.y + (pelvis.y - hip.y) * 1.5f, hip.z};
        solver.reach(p, right, target, {side, 0.1f, -0.5f}, {-side, 0, 0});
        solver.pointHand(p, right, {-0.25f * side, -0.55f, 0.8f});
    }
    return p;
}

Pose armsCrossed(const PoseSolver& solver) {
    Pose p = armsDown();
    const Vector3 chest = solver.rest()[static_cast<std::size_t>(index(BoneId::Chest))];
    const Vector3 shoulder = solver.rest()[static_cast<std::size_t>(index(BoneId::RightUpperArm))];
    const float w = shoulder.x;  // the figure's scale across
    // The right forearm in front and lower, the left one behind and higher.
    solver.reach(p, true, {-0.46f * w, chest.y - 0.28f * w, 0.88f * w}, {1, -0.6f, 0.1f}, {0, 0, -1});
    solver.reach(p, false, {0.5f * w, chest.y - 0.15f * w, 0.73f * w}, {-1, -0.6f, 0.1f}, {0, 0, -1});
    return p;
}

}  // namespace tryster::demoworld
