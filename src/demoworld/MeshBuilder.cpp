#include "demoworld/MeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tryster::demoworld {
namespace {

constexpr float kTurn = 2 * std::numbers::pi_v<float>;
constexpr int kCapRings = 4;
constexpr float kQuarter = std::numbers::pi_v<float> / 2;

float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

// sign(x)·|x|^(2/n): the superellipse's shaping of sine and cosine.
float shaped(float x, float exponent) {
    if (exponent == 2) return x;
    const float m = std::pow(std::fabs(x), 2 / exponent);
    return x < 0 ? -m : m;
}

float roundTo(float x, float step) {
    return static_cast<float>(std::round(static_cast<double>(x) / step) * step);
}

Vector3 rounded(Vector3 v, float step) {
    return {roundTo(v.x, step), roundTo(v.y, step), roundTo(v.z, step)};
}

// Cubic Hermite through the keys with finite-difference tangents.
template <typename Get>
float hermite(const std::vector<Section>& keys, std::size_t i, float u, Get get) {
    const std::size_t n = keys.size();
    auto tangent = [&](std::size_t k) {
        const std::size_t lo = k == 0 ? 0 : k - 1, hi = k + 1 >= n ? n - 1 : k + 1;
        return (get(keys[hi]) - get(keys[lo])) / (keys[hi].s - keys[lo].s);
    };
    const float h = keys[i + 1].s - keys[i].s;
    const float u2 = u * u, u3 = u2 * u;
    return (2 * u3 - 3 * u2 + 1) * get(keys[i]) + (u3 - 2 * u2 + u) * h * tangent(i) +
           (-2 * u3 + 3 * u2) * get(keys[i + 1]) + (u3 - u2) * h * tangent(i + 1);
}

}  // namespace

Influence Influence::between(BoneId a, BoneId b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    if (t <= 0 || a == b) return rigid(a);
    if (t >= 1) return rigid(b);
    return t < 0.5f ? Influence{a, b, t} : Influence{b, a, 1 - t};
}

std::vector<Ring> ringsThrough(const std::vector<Section>& keys, int count, float v0, float v1) {
    std::vector<Ring> rings;
    if (keys.size() < 2 || count < 2) return rings;
    const float first = keys.front().s, last = keys.back().s;
    std::size_t seg = 0;
    for (int r = 0; r < count; ++r) {
        const float t = static_cast<float>(r) / static_cast<float>(count - 1);
        const float s = lerp(first, last, t);
        while (seg + 2 < keys.size() && s > keys[seg + 1].s) ++seg;
        const float u = std::clamp((s - keys[seg].s) / (keys[seg + 1].s - keys[seg].s), 0.0f, 1.0f);
        Ring ring;
        ring.centre = {hermite(keys, seg, u, [](const Section& k) { return k.centre.x; }),
                       hermite(keys, seg, u, [](const Section& k) { return k.centre.y; }),
                       hermite(keys, seg, u, [](const Section& k) { return k.centre.z; })};
        ring.rx = std::max(0.0f, hermite(keys, seg, u, [](const Section& k) { return k.rx; }));
        ring.rz = std::max(0.0f, hermite(keys, seg, u, [](const Section& k) { return k.rz; }));
        ring.v = lerp(v0, v1, t);
        rings.push_back(ring);
    }
    return rings;
}

void MeshBuilder::addTube(const std::vector<Ring>& given, const TubeOptions& o) {
    if (given.size() < 2) return;
    // The rings with the caps' shrinking rings; `source` is the given ring
    // each one takes its bumps and influence from.
    std::vector<Ring> rings;
    std::vector<int> source;
    const int last = static_cast<int>(given.size()) - 1;
    // Ring k of a cap (1 nearest the end ring, kCapRings nearest the pole).
    auto capRing = [&](const Ring& end, const Ring& next, float length, float poleV, int k) {
        const float phi = kQuarter * static_cast<float>(k) / (kCapRings + 1);
        Ring r = end;
        r.centre = end.centre + normalised(end.centre - next.centre) * (length * std::sin(phi));
        r.rx = end.rx * std::cos(phi);
        r.rz = end.rz * std::cos(phi);
        r.v = lerp(end.v, poleV, std::sin(phi));
        return r;
    };
    if (o.startCap > 0)
        for (int k = kCapRings; k >= 1; --k) {
            rings.push_back(capRing(given[0], given[1], o.startCap, o.startCapV, k));
            source.push_back(0);
        }
    for (int i = 0; i <= last; ++i) {
        rings.push_back(given[static_cast<std::size_t>(i)]);
        source.push_back(i);
    }
    if (o.endCap > 0)
        for (int k = 1; k <= kCapRings; ++k) {
            rings.push_back(capRing(given.back(), given[given.size() - 2], o.endCap, o.endCapV, k));
            source.push_back(last);
        }

    const int columns = o.segments + 1;
    const bool fullTurn = o.thetaEnd - o.thetaStart >= kTurn - 1e-4f;
    const auto base = static_cast<std::uint32_t>(vertices_.size());
    for (std::size_t r = 0; r < rings.size(); ++r) {
        const Ring& ring = rings[r];
        for (int j = 0; j < columns; ++j) {
            const float f = static_cast<float>(j) / static_cast<float>(o.segments);
            const float theta = lerp(o.thetaStart, o.thetaEnd, f);
            float scale = o.radiusScale ? o.radiusScale(theta, source[r]) : 1.0f;
            const Vector3 p = ring.centre + o.across1 * (ring.rx * scale * shaped(std::sin(theta), o.exponent)) -
                              o.across2 * (ring.rz * scale * shaped(std::cos(theta), o.exponent));
            Vertex v;
            v.position = p;
            v.u = lerp(o.u0, o.u1, f);
            v.v = ring.v;
            v.skin = o.skin ? o.skin(theta, source[r]) : ring.skin;
            vertices_.push_back(v);
        }
    }
    auto at = [&](std::size_t r, int j) { return base + static_cast<std::uint32_t>(r * columns + j); };

    // Poles close the capped ends.
    std::uint32_t startPole = 0, endPole = 0;
    auto pole = [&](const Ring& end, const Ring& next, float length, float poleV, int src) {
        Vertex v;
        v.position = end.centre + normalised(end.centre - next.centre) * length;
        v.u = lerp(o.u0, o.u1, 0.5f);
        v.v = poleV;
        v.skin = o.skin ? o.skin(0, src) : end.skin;
        vertices_.push_back(v);
        return static_cast<std::uint32_t>(vertices_.size() - 1);
    };
    if (o.startCap > 0) startPole = pole(given[0], given[1], o.startCap, o.startCapV, 0);
    if (o.endCap > 0) endPole = pole(given.back(), given[given.size() - 2], o.endCap, o.endCapV, last);

    // Faces, turned so that their normal points away from the centre line
    // (towards it for an inward shell).
    std::vector<std::array<std::uint32_t, 3>> faces;
    auto add = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c, Vector3 axisPoint) {
        const Vector3 pa = vertices_[a].position, pb = vertices_[b].position, pc = vertices_[c].position;
        const Vector3 n = cross(pb - pa, pc - pa);
        const Vector3 out = (pa + pb + pc) * (1.0f / 3) - axisPoint;
        if ((dot(n, out) < 0) != o.inward) std::swap(b, c);
        faces.push_back({a, b, c});
    };
    for (std::size_t r = 0; r + 1 < rings.size(); ++r) {
        const Vector3 axis = (rings[r].centre + rings[r + 1].centre) * 0.5f;
        for (int j = 0; j < o.segments; ++j) {
            add(at(r, j), at(r, j + 1), at(r + 1, j), axis);
            add(at(r, j + 1), at(r + 1, j + 1), at(r + 1, j), axis);
        }
    }
    if (o.startCap > 0)
        for (int j = 0; j < o.segments; ++j) add(startPole, at(0, j), at(0, j + 1), rings[0].centre);
    if (o.endCap > 0)
        for (int j = 0; j < o.segments; ++j)
            add(endPole, at(rings.size() - 1, j), at(rings.size() - 1, j + 1), rings.back().centre);

    // Smooth normals: face normals summed by area; the two columns of the
    // seam count as one.
    const std::size_t count = vertices_.size() - base;
    std::vector<Vector3> sums(count);
    auto slot = [&](std::uint32_t v) {
        std::size_t local = v - base;
        const std::size_t ringVertices = rings.size() * static_cast<std::size_t>(columns);
        if (fullTurn && local < ringVertices && local % static_cast<std::size_t>(columns) ==
                                                     static_cast<std::size_t>(o.segments))
            local -= static_cast<std::size_t>(o.segments);
        return local;
    };
    for (const auto& f : faces) {
        const Vector3 pa = vertices_[f[0]].position, pb = vertices_[f[1]].position,
                      pc = vertices_[f[2]].position;
        const Vector3 n = cross(pb - pa, pc - pa);
        for (std::uint32_t v : f) sums[slot(v)] = sums[slot(v)] + n;
    }
    for (std::uint32_t v = base; v < vertices_.size(); ++v) vertices_[v].normal = normalised(sums[slot(v)]);
    faces_.insert(faces_.end(), faces.begin(), faces.end());
}

void MeshBuilder::transform(const std::function<Vector3(Vector3)>& map) {
    for (Vertex& v : vertices_) v.position = map(v.position);
}

anim::Box MeshBuilder::bounds() const {
    anim::Box box;
    for (const Vertex& v : vertices_) box.extend(v.position);
    return box;
}

anim::Ref<anim::SkinMesh> MeshBuilder::build(std::string name, std::string texture,
                                             const RestPositions& rest) const {
    constexpr float kPositionStep = 0.001f;
    constexpr float kUvStep = 1.0f / 4096;
    auto mesh = anim::SkinMesh::create();
    mesh->name = std::move(name);
    mesh->textureName = std::move(texture);

    // A pull too weak to show in the file's fixed point makes no twin.
    auto weightOf = [](const Vertex& v) {
        return static_cast<std::int32_t>(std::lround(v.skin.otherWeight * anim::kFullBlendWeight));
    };
    auto blended = [&](const Vertex& v) { return weightOf(v) > 0 && v.skin.other != v.skin.bone; };
    std::vector<std::uint32_t> rigidOrder(vertices_.size()), blendOrder;
    for (std::uint32_t i = 0; i < vertices_.size(); ++i) {
        rigidOrder[i] = i;
        if (blended(vertices_[i])) blendOrder.push_back(i);
    }
    std::stable_sort(rigidOrder.begin(), rigidOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
        return vertices_[a].skin.bone < vertices_[b].skin.bone;
    });
    std::stable_sort(blendOrder.begin(), blendOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
        return vertices_[a].skin.other < vertices_[b].skin.other;
    });
    std::vector<std::uint32_t> newIndex(vertices_.size());
    for (std::uint32_t k = 0; k < rigidOrder.size(); ++k) newIndex[rigidOrder[k]] = k;

    auto local = [&](Vector3 p, BoneId b) {
        return rounded(p - rest[static_cast<std::size_t>(index(b))], kPositionStep);
    };
    for (std::uint32_t i : rigidOrder) {
        const Vertex& v = vertices_[i];
        mesh->vertices.push_back({local(v.position, v.skin.bone), rounded(v.normal, kPositionStep)});
        mesh->texCoords.push_back({roundTo(v.u, kUvStep), roundTo(v.v, kUvStep)});
    }
    for (std::uint32_t i : blendOrder) {
        const Vertex& v = vertices_[i];
        mesh->vertices.push_back({local(v.position, v.skin.other), rounded(v.normal, kPositionStep)});
        mesh->blends.push_back({weightOf(v), static_cast<std::int32_t>(newIndex[i])});
    }

    for (int b = 0; b < kBoneCount; ++b) {
        const auto bone = static_cast<BoneId>(b);
        auto rigidBegin = std::find_if(rigidOrder.begin(), rigidOrder.end(),
                                       [&](std::uint32_t i) { return vertices_[i].skin.bone == bone; });
        auto rigidEnd = std::find_if(rigidBegin, rigidOrder.end(),
                                     [&](std::uint32_t i) { return vertices_[i].skin.bone != bone; });
        auto blendBegin = std::find_if(blendOrder.begin(), blendOrder.end(),
                                       [&](std::uint32_t i) { return vertices_[i].skin.other == bone; });
        auto blendEnd = std::find_if(blendBegin, blendOrder.end(),
                                     [&](std::uint32_t i) { return vertices_[i].skin.other != bone; });
        if (rigidBegin == rigidEnd && blendBegin == blendEnd) continue;
        anim::BoneBinding binding;
        binding.bone = static_cast<std::int32_t>(mesh->addBoneName(std::string(boneInfo(bone).name)));
        binding.firstRigid = static_cast<std::int32_t>(rigidBegin - rigidOrder.begin());
        binding.rigidCount = static_cast<std::int32_t>(rigidEnd - rigidBegin);
        binding.firstBlended = static_cast<std::int32_t>(blendBegin - blendOrder.begin());
        binding.blendedCount = static_cast<std::int32_t>(blendEnd - blendBegin);
        mesh->bindings.push_back(binding);
    }
    for (const auto& f : faces_) mesh->faces.push_back({newIndex[f[0]], newIndex[f[1]], newIndex[f[2]]});
    mesh->prepare();
    return mesh;
}

}  // namespace tryster::demoworld
