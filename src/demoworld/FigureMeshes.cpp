#include "demoworld/FigureMeshes.h"

#include "demoworld/FigureAtlas.h"
#include "demoworld/MeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tryster::demoworld {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Measures of one torso, in the adult design (the child's is carried over
// by childPoint afterwards).
struct BodyShape {
    float neck;            // neck radius
    float shoulder;        // half width of the torso at the shoulders
    float chestRx, chestRz;
    float waistRx, waistRz;
    float hipRx, hipRz;
    float bust, belly;     // bulges, as fractions of the radius there
    float arm, leg;        // limb thickness against the fit man's
    bool skirt;
};

BodyShape shapeOf(const FigureKind& k) {
    //      neck   shoulder chest         waist         hips          bust   belly  arm    leg    skirt
    if (k.child)
        return k.gender == Gender::Male
                   ? BodyShape{0.15f, 0.42f, 0.37f, 0.26f, 0.36f, 0.26f, 0.37f, 0.26f, 0, 0.06f, 0.95f, 0.95f, false}
                   : BodyShape{0.14f, 0.4f, 0.35f, 0.25f, 0.33f, 0.24f, 0.37f, 0.26f, 0, 0.04f, 0.9f, 0.92f, true};
    const bool male = k.gender == Gender::Male;
    switch (k.build) {
        case Build::Fit:
            return male ? BodyShape{0.15f, 0.5f, 0.44f, 0.28f, 0.36f, 0.23f, 0.38f, 0.24f, 0.07f, 0, 1.1f, 1.05f, false}
                        : BodyShape{0.13f, 0.41f, 0.37f, 0.24f, 0.28f, 0.2f, 0.42f, 0.28f, 0.34f, 0, 0.85f, 0.95f, true};
        case Build::Fat:
            return male ? BodyShape{0.19f, 0.5f, 0.52f, 0.42f, 0.56f, 0.5f, 0.52f, 0.42f, 0.06f, 0.22f, 1.45f, 1.4f, false}
                        : BodyShape{0.16f, 0.46f, 0.48f, 0.38f, 0.5f, 0.44f, 0.55f, 0.42f, 0.3f, 0.15f, 1.3f, 1.3f, true};
        case Build::Skinny:
            break;
    }
    return male ? BodyShape{0.12f, 0.4f, 0.3f, 0.18f, 0.24f, 0.15f, 0.27f, 0.17f, 0, 0, 0.62f, 0.62f, false}
                : BodyShape{0.11f, 0.36f, 0.29f, 0.18f, 0.22f, 0.15f, 0.3f, 0.19f, 0.2f, 0, 0.62f, 0.65f, true};
}

float bump(float x, float width) {
    return std::exp(-(x * x) / (width * width));
}

// The signed distance of θ from `at`, within (−π, π].
float angleFrom(float theta, float at) {
    float d = std::fmod(theta - at, 2 * kPi);
    if (d > kPi) d -= 2 * kPi;
    if (d <= -kPi) d += 2 * kPi;
    return d;
}

// The across axes of a side's tubes: u 0.25 is the outer side of either
// arm or leg, so one texture serves both.
TubeOptions sideTube(bool right, float u0, float u1, int segments) {
    TubeOptions o;
    o.across1 = right ? Vector3{1, 0, 0} : Vector3{-1, 0, 0};
    o.u0 = u0;
    o.u1 = u1;
    o.segments = segments;
    return o;
}

Vector3 mirrored(Vector3 v, bool right) {
    return right ? v : leftOf(v);
}

// ---- torso -------------------------------------------------------------

Influence torsoInfluence(float y, float theta) {
    if (y >= 4.62f) return Influence::between(BoneId::Neck, BoneId::Head, (y - 4.62f) / 0.25f);
    if (y >= 4.46f) return Influence::rigid(BoneId::Neck);
    if (y >= 4.3f) return Influence::between(BoneId::Chest, BoneId::Neck, (y - 4.3f) / 0.16f);
    if (y >= 3.5f) {
        // The tops of the shoulders follow the clavicles a little (shrugs).
        const float side = std::sin(theta);
        if (y > 4.05f && std::fabs(side) > 0.6f)
            return Influence::between(BoneId::Chest, sided(BoneId::LeftClavicle, side > 0),
                                      0.5f * (std::fabs(side) - 0.6f) / 0.4f * std::min(1.0f, (y - 4.05f) / 0.2f));
        return Influence::rigid(BoneId::Chest);
    }
    if (y >= 3.0f) return Influence::between(BoneId::Spine, BoneId::Chest, (y - 3.0f) / 0.5f);
    if (y >= 2.7f) return Influence::between(BoneId::Pelvis, BoneId::Spine, (y - 2.7f) / 0.3f);
    return Influence::rigid(BoneId::Pelvis);
}

void addTorso(MeshBuilder& mesh, const BodyShape& b) {
    const float n = b.neck;
    const float top = atlas::kTorso.s0;
    auto at = [&](float y, float rx, float rz, float z) { return Section{top - y, {0, y, z}, rx, rz}; };
    const std::vector<Section> keys = {
        at(4.82f, n, n, -0.03f),
        at(4.58f, n, n * 1.02f, -0.03f),
        at(4.44f, n * 1.35f, n * 1.25f, -0.025f),
        at(4.32f, b.shoulder * 0.88f, b.chestRz * 0.82f, -0.02f),
        at(4.18f, b.shoulder, b.chestRz * 0.92f, -0.01f),
        at(3.95f, b.chestRx, b.chestRz, 0),
        at(3.55f, (b.chestRx + b.waistRx) / 2, (b.chestRz + b.waistRz) / 2, 0),
        at(3.15f, b.waistRx, b.waistRz, 0),
        at(2.85f, b.hipRx * 0.96f, b.hipRz * 0.96f, 0),
        at(2.6f, b.hipRx, b.hipRz, 0),
        at(2.42f, b.hipRx * 0.72f, b.hipRz * 0.8f, 0),
    };
    const std::vector<Ring> rings =
        ringsThrough(keys, 24, atlas::kTorso.v0, atlas::kTorso.rowOf(2.42f));
    TubeOptions o;
    o.segments = 22;
    o.exponent = 2.3f;
    o.startCap = 0.05f;
    o.startCapV = atlas::kTorso.v0;
    o.endCap = 0.1f;
    o.endCapV = atlas::kTorso.v1;
    o.radiusScale = [&rings, b](float theta, int r) {
        const float y = rings[static_cast<std::size_t>(r)].centre.y;
        const float front = angleFrom(theta, kPi);
        float scale = 1;
        if (b.bust > 0)
            scale += b.bust * (bump(front - 0.45f, 0.33f) + bump(front + 0.45f, 0.33f)) * bump(y - 3.93f, 0.15f);
        if (b.belly > 0) scale += b.belly * bump(front, 0.9f) * bump(y - 3.1f, 0.35f);
        return scale;
    };
    o.skin = [&rings](float theta, int r) {
        return torsoInfluence(rings[static_cast<std::size_t>(r)].centre.y, theta);
    };
    mesh.addTube(rings, o);
}

void addSkirt(MeshBuilder& mesh, const BodyShape& b) {
    const float top = atlas::kSkirt.s0, bottom = atlas::kSkirt.s1;
    // Wide enough for the thighs (thin hips would let them through).
    const float thighX = kAdultJoints.hip.x + 0.215f * b.leg + 0.04f, thighZ = 0.21f * b.leg + 0.04f;
    auto at = [&](float y, float rx, float rz) {
        return Section{top - y, {0, y, 0}, std::max(rx, thighX), std::max(rz, thighZ)};
    };
    const std::vector<Section> keys = {
        at(top, b.waistRx * 1.06f, b.waistRz * 1.08f),
        at(2.85f, b.hipRx * 1.04f, b.hipRz * 1.06f),
        at(2.5f, b.hipRx * 1.1f + 0.02f, b.hipRz * 1.1f + 0.02f),
        at(bottom, b.hipRx * 1.15f + 0.12f, b.hipRz * 1.1f + 0.1f),
    };
    const std::vector<Ring> rings = ringsThrough(keys, 9, atlas::kSkirt.v0, atlas::kSkirt.v1);
    TubeOptions o;
    o.segments = 22;
    o.exponent = 2.2f;
    // The hem follows the thigh of its side.
    o.skin = [&rings, top, bottom](float theta, int r) {
        const float t = (top - rings[static_cast<std::size_t>(r)].centre.y) / (top - bottom);
        const float side = std::sin(theta);
        if (t < 0.3f) return Influence::rigid(BoneId::Pelvis);
        return Influence::between(BoneId::Pelvis, sided(BoneId::LeftThigh, side > 0),
                                  (t - 0.3f) * 0.6f * std::fabs(side));
    };
    mesh.addTube(rings, o);
}

// ---- limbs -------------------------------------------------------------

// The point at distance `s` along the polyline a → b → c.
Vector3 alongChain(Vector3 a, Vector3 b, Vector3 c, float s) {
    const float ab = length(b - a), bc = length(c - b);
    if (s <= ab) return a + (b - a) * (s / ab);
    return b + (c - b) * (std::min(s - ab, bc) / bc);
}

void addArm(MeshBuilder& mesh, const BodyShape& b, bool right) {
    const Joints& j = kAdultJoints;
    const Vector3 s = mirrored(j.shoulder, right), e = mirrored(j.elbow, right), w = mirrored(j.wrist, right);
    const float upper = length(e - s), whole = upper + length(w - e);
    const float k = b.arm;
    auto at = [&](float d, float rx, float rz) { return Section{d, alongChain(s, e, w, d), rx * k, rz * k}; };
    const std::vector<Section> keys = {
        at(0, 0.14f, 0.14f),          at(0.3f, 0.125f, 0.12f),          at(0.6f, 0.11f, 0.105f),
        at(upper, 0.095f, 0.095f),    at(upper + 0.2f, 0.105f, 0.1f),   at(upper + 0.55f, 0.085f, 0.08f),
        at(whole, 0.07f, 0.065f),
    };
    const std::vector<Ring> rings = ringsThrough(keys, 14, atlas::kArm.rowOf(0), atlas::kArm.rowOf(whole));
    TubeOptions o = sideTube(right, right ? 0.0f : 0.5f, right ? 0.5f : 1.0f, 10);
    o.startCap = 0.1f;
    o.startCapV = atlas::kArm.rowOf(-o.startCap);
    o.endCap = 0.03f;
    o.endCapV = atlas::kArm.v1;
    const BoneId clavicle = sided(BoneId::LeftClavicle, right), upperArm = sided(BoneId::LeftUpperArm, right),
                 forearm = sided(BoneId::LeftForearm, right), hand = sided(BoneId::LeftHand, right);
    std::vector<Influence> skins;
    for (std::size_t r = 0; r < rings.size(); ++r) {
        const float d = static_cast<float>(r) / static_cast<float>(rings.size() - 1) * whole;
        if (d < 0.15f)
            skins.push_back(Influence::between(clavicle, upperArm, 0.5f + d / 0.3f));
        else if (d < upper - 0.12f)
            skins.push_back(Influence::rigid(upperArm));
        else if (d < upper + 0.12f)
            skins.push_back(Influence::between(upperArm, forearm, (d - (upper - 0.12f)) / 0.24f));
        else if (d < whole - 0.08f)
            skins.push_back(Influence::rigid(forearm));
        else
            skins.push_back(Influence::between(forearm, hand, (d - (whole - 0.08f)) / 0.16f));
    }
    o.skin = [skins](float, int r) { return skins[static_cast<std::size_t>(r)]; };
    mesh.addTube(rings, o);
}

void addLeg(MeshBuilder& mesh, const BodyShape& b, bool right) {
    const Joints& j = kAdultJoints;
    const Vector3 h = mirrored(j.hip, right), kn = mirrored(j.knee, right), a = mirrored(j.ankle, right);
    const float top = atlas::kLeg.s0;
    // x and z of the leg's centre line at height y.
    auto centre = [&](float y) {
        const Vector3 from = y > kn.y ? h : kn, to = y > kn.y ? kn : a;
        const float t = (y - from.y) / (to.y - from.y);
        return Vector3{from.x + (to.x - from.x) * t, y, from.z + (to.z - from.z) * t};
    };
    const float k = b.leg;
    auto at = [&](float y, float rx, float rz, float dz = 0) {
        return Section{top - y, centre(y) + Vector3{0, 0, dz}, rx * k, rz * k};
    };
    const std::vector<Section> keys = {
        at(top, 0.16f, 0.17f),      at(2.5f, 0.21f, 0.21f),  at(2.1f, 0.19f, 0.19f),
        at(1.7f, 0.155f, 0.155f),   at(1.42f, 0.13f, 0.13f),  at(1.2f, 0.135f, 0.14f, -0.01f),
        at(0.85f, 0.145f, 0.15f, -0.02f), at(0.45f, 0.11f, 0.11f), at(0.05f, 0.08f, 0.08f),
        at(atlas::kLeg.s1, 0.075f, 0.085f),
    };
    const std::vector<Ring> rings = ringsThrough(keys, 17, atlas::kLeg.v0, atlas::kLeg.v1);
    TubeOptions o = sideTube(right, right ? 0.0f : 0.5f, right ? 0.5f : 1.0f, 10);
    const BoneId thigh = sided(BoneId::LeftThigh, right), calf = sided(BoneId::LeftCalf, right),
                 foot = sided(BoneId::LeftFoot, right);
    o.skin = [&rings, thigh, calf, foot](float, int r) {
        const float y = rings[static_cast<std::size_t>(r)].centre.y;
        if (y > 2.55f) return Influence::between(BoneId::Pelvis, thigh, 0.3f + (2.8f - y) / 0.25f * 0.7f);
        if (y > 1.47f) return Influence::rigid(thigh);
        if (y > 1.23f) return Influence::between(thigh, calf, (1.47f - y) / 0.24f);
        if (y > 0.0f) return Influence::rigid(calf);
        return Influence::between(calf, foot, -y / 0.2f * 0.6f);
    };
    mesh.addTube(rings, o);
}

void addShoe(MeshBuilder& mesh, bool right) {
    const float x = mirrored(kAdultJoints.ankle, right).x;
    auto at = [&](float z, float cy, float rx, float ry) { return Section{z, {x, cy, z}, rx, ry}; };
    const std::vector<Section> keys = {
        at(-0.13f, -0.25f, 0.085f, 0.1f), at(-0.02f, -0.22f, 0.095f, 0.13f), at(0.12f, -0.25f, 0.105f, 0.1f),
        at(0.22f, -0.275f, 0.1f, 0.075f),  at(0.29f, -0.29f, 0.085f, 0.06f),
    };
    const std::vector<Ring> rings =
        ringsThrough(keys, 7, atlas::kShoe.rowOf(-0.13f), atlas::kShoe.rowOf(0.29f));
    TubeOptions o = sideTube(right, right ? 0.0f : 0.5f, right ? 0.5f : 1.0f, 10);
    o.across2 = {0, 1, 0};
    o.exponent = 2.6f;
    o.startCap = 0.05f;
    o.startCapV = atlas::kShoe.v0;
    o.endCap = 0.05f;
    o.endCapV = atlas::kShoe.v1;
    const BoneId foot = sided(BoneId::LeftFoot, right), toe = sided(BoneId::LeftToe, right);
    o.skin = [&rings, foot, toe](float, int r) {
        const float z = rings[static_cast<std::size_t>(r)].centre.z;
        return Influence::between(foot, toe, (z - 0.14f) / 0.12f);
    };
    mesh.addTube(rings, o);
}

// Carries a mesh of the adult design onto the child's body.
void toChild(MeshBuilder& mesh) {
    mesh.transform([](Vector3 p) { return childPoint(p); });
}

}  // namespace

anim::Ref<anim::SkinMesh> makeBodyMesh(std::string name, std::string texture, const FigureKind& kind) {
    const BodyShape shape = shapeOf(kind);
    MeshBuilder mesh;
    addTorso(mesh, shape);
    if (shape.skirt) addSkirt(mesh, shape);
    for (bool right : {false, true}) {
        addArm(mesh, shape, right);
        addLeg(mesh, shape, right);
        addShoe(mesh, right);
    }
    if (kind.child) toChild(mesh);
    return mesh.build(std::move(name), std::move(texture), restPositions(kind.joints()));
}

anim::Ref<anim::SkinMesh> makeHeadMesh(std::string name, std::string texture, const FigureKind& kind,
                                       HairStyle hairStyle) {
    const float top = atlas::kHead.s0;
    const bool female = kind.gender == Gender::Female;
    const float jaw = female ? 0.92f : 1.0f;
    auto at = [&](float y, float rx, float rz, float z) { return Section{top - y, {0, y, z}, rx, rz}; };
    const std::vector<Section> keys = {
        at(5.35f, 0.35f, 0.37f, -0.02f),       at(5.15f, 0.4f, 0.41f, -0.01f),
        at(4.98f, 0.39f, 0.4f, 0),             at(4.82f, 0.35f * jaw, 0.36f, 0.02f),
        at(4.68f, 0.27f * jaw, 0.3f, 0.04f),   at(4.6f, 0.17f * jaw, 0.2f, 0.07f),
    };
    std::vector<Ring> rings = ringsThrough(keys, 16, atlas::kHead.rowOf(5.35f), atlas::kHead.rowOf(4.6f));
    MeshBuilder mesh;
    TubeOptions o;
    o.segments = 26;
    o.startCap = 5.55f - 5.35f;
    o.startCapV = atlas::kHead.v0;
    o.endCap = 0.05f;
    o.endCapV = atlas::kHead.v1;
    for (Ring& r : rings) r.skin = Influence::rigid(BoneId::Head);
    o.radiusScale = [&rings](float theta, int r) {
        const float y = rings[static_cast<std::size_t>(r)].centre.y;
        const float nose = 0.14f * bump(angleFrom(theta, kPi), 0.12f) * bump(y - 4.88f, 0.06f);
        const float ears = 0.11f * (bump(angleFrom(theta, kPi / 2), 0.12f) + bump(angleFrom(theta, -kPi / 2), 0.12f)) *
                           bump(y - 4.97f, 0.07f);
        return 1 + nose + ears;
    };
    mesh.addTube(rings, o);

    if (hairStyle != HairStyle::Short) {
        const float hairTop = atlas::kHair.s0;
        auto hair = [&](float y, float rx, float rz, float z) { return Section{hairTop - y, {0, y, z}, rx, rz}; };
        const float end = hairStyle == HairStyle::Long ? atlas::kHair.s1 : 4.72f;
        const std::vector<Section> hairKeys = {
            hair(5.4f, 0.34f, 0.37f, -0.03f), hair(5.2f, 0.43f, 0.45f, -0.03f), hair(4.95f, 0.45f, 0.45f, -0.04f),
            hair(4.7f, 0.43f, 0.38f, -0.09f), hair(end, 0.4f, 0.3f, -0.12f),
        };
        for (bool inner : {false, true}) {
            std::vector<Ring> shell =
                ringsThrough(hairKeys, 9, atlas::kHair.rowOf(5.4f), atlas::kHair.rowOf(end));
            for (Ring& r : shell) {
                r.skin = Influence::rigid(BoneId::Head);
                if (inner) r.rx -= 0.015f, r.rz -= 0.015f;
            }
            TubeOptions h;
            h.segments = 16;
            h.thetaStart = -2.0f;
            h.thetaEnd = 2.0f;
            h.inward = inner;
            h.startCap = 0.16f;
            h.startCapV = atlas::kHair.v0;
            mesh.addTube(shell, h);
        }
    }
    if (kind.child) {
        const Vector3 adultHead = kAdultJoints.head, childHead = kChildJoints.head;
        mesh.transform([=](Vector3 p) { return childHead + (p - adultHead) * kChildHeadScale; });
    }
    return mesh.build(std::move(name), std::move(texture), restPositions(kind.joints()));
}

anim::Ref<anim::SkinMesh> makeHandMesh(std::string name, std::string texture, const FigureKind& kind,
                                       bool right) {
    const Vector3 w = mirrored(kAdultJoints.wrist, right);
    const float inward = right ? -1.0f : 1.0f;  // towards the body
    auto at = [&](float d, float dx, float dz, float rx, float rz) {
        return Section{d, w + Vector3{dx * inward, -d, dz}, rx, rz};
    };
    // A rigid tube of the hand, rounded at both ends.
    MeshBuilder mesh;
    auto part = [&](const std::vector<Section>& keys, int count, const atlas::Band& band, int segments,
                    float startCap, float endCap) {
        std::vector<Ring> rings = ringsThrough(keys, count, band.v0, band.rowOf(keys.back().s));
        for (Ring& r : rings) r.skin = Influence::rigid(sided(BoneId::LeftHand, right));
        TubeOptions o = sideTube(right, 0, 1, segments);
        o.startCap = startCap;
        o.startCapV = band.v0;
        o.endCap = endCap;
        o.endCapV = band.v1;
        mesh.addTube(rings, o);
    };
    part({at(0, 0, 0, 0.05f, 0.07f), at(0.1f, 0, 0.005f, 0.055f, 0.095f), at(0.24f, 0.005f, 0.01f, 0.05f, 0.1f),
          at(0.34f, 0.015f, 0.01f, 0.042f, 0.09f), at(0.42f, 0.025f, 0.01f, 0.035f, 0.08f)},
         12, atlas::kPalm, 14, 0.02f, 0.07f);
    part({at(0.08f, 0.01f, 0.07f, 0.03f, 0.03f), at(0.17f, 0.025f, 0.1f, 0.027f, 0.027f),
          at(0.24f, 0.035f, 0.125f, 0.022f, 0.022f)},
         5, atlas::kThumb, 8, 0.02f, 0.03f);

    const float scale = kind.child ? 0.66f : kind.gender == Gender::Female ? 0.88f : 1.0f;
    const Vector3 wrist = mirrored(kind.joints().wrist, right);
    mesh.transform([=](Vector3 p) { return wrist + (p - w) * scale; });
    return mesh.build(std::move(name), std::move(texture), restPositions(kind.joints()));
}

}  // namespace tryster::demoworld
