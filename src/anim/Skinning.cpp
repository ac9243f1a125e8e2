#include "anim/Skinning.h"

#include <cassert>

namespace tryster::anim {
namespace {

using math::Matrix3;
using math::Vector3;
using platform::DeviceVertex;

// Position and normal of an output vertex (its texture coordinates stay).
void set(DeviceVertex& o, Vector3 position, Vector3 normal) {
    o.x = position.x;
    o.y = position.y;
    o.z = position.z;
    o.nx = normal.x;
    o.ny = normal.y;
    o.nz = normal.z;
}

// Vertices [first, first + count) by the bone (v·R + p, n·R) into the
// output vertices of the same index.
void transformRange(const SkinVertex* in, DeviceVertex* out, std::uint32_t first, std::uint32_t count,
                    const Matrix3& r, Vector3 p) {
    for (std::uint32_t i = first, end = first + count; i < end; ++i)
        set(out[i], r.apply(in[i].position) + p, r.apply(in[i].normal));
}

void blend(DeviceVertex& r, const DeviceVertex& b, std::int32_t weight) {
    const Vector3 bp{b.x, b.y, b.z}, bn{b.nx, b.ny, b.nz};
    if (weight >= kFullBlendWeight) {
        set(r, bp, bn);
        return;
    }
    const auto w = static_cast<float>(weight);
    const float keep = static_cast<float>(kFullBlendWeight) - w;
    constexpr float kScale = 1.0f / static_cast<float>(kFullBlendWeight);
    const Vector3 rp{r.x, r.y, r.z}, rn{r.nx, r.ny, r.nz};
    set(r, (rp * keep + bp * w) * kScale, math::normalised((rn * keep + bn * w) * kScale));
}

bool inside(std::uint64_t first, std::uint64_t count, std::size_t size) {
    return first <= size && count <= size - first;
}

}  // namespace

bool SkinningJob::validate() const {
    if (!layout || out.size() != vertices.size() || worldPositions.size() != worldMatrices.size()) return false;
    for (std::int32_t b : bones)
        if (b < 0 || static_cast<std::size_t>(b) >= worldPositions.size()) return false;
    for (const SkinLayout::Range& range : layout->bindings)
        if (range.boneName >= bones.size() || !inside(range.rigidFirst, range.rigidCount, vertices.size()) ||
            !inside(range.blendedFirst, range.blendedCount, vertices.size()))
            return false;
    for (const SkinLayout::Blend& e : layout->blends)
        if (e.rigid >= vertices.size() || e.blended >= vertices.size()) return false;
    return true;
}

void SkinningJob::run() const {
    assert(validate());
    const SkinVertex* in = vertices.data();
    DeviceVertex* o = out.data();
    for (const SkinLayout::Range& range : layout->bindings) {
        const auto b = static_cast<std::size_t>(bones[range.boneName]);
        const Matrix3& r = worldMatrices[b];
        const Vector3 p = worldPositions[b];
        transformRange(in, o, range.rigidFirst, range.rigidCount, r, p);
        transformRange(in, o, range.blendedFirst, range.blendedCount, r, p);
    }
    for (const SkinLayout::Blend& e : layout->blends) blend(o[e.rigid], o[e.blended], e.weight);
}

}  // namespace tryster::anim
