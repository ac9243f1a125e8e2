#include "anim/SkinMesh.h"

#include <algorithm>

namespace tryster::anim {
namespace {

// [first, first + count) cut to [0, size).
void clampRange(std::int32_t first, std::int32_t count, std::uint32_t size, std::uint32_t& outFirst,
                std::uint32_t& outCount) {
    std::int64_t f = std::clamp<std::int64_t>(first, 0, size);
    std::int64_t end =
        std::clamp<std::int64_t>(static_cast<std::int64_t>(first) + std::max(count, 0), f, size);
    outFirst = static_cast<std::uint32_t>(f);
    outCount = static_cast<std::uint32_t>(end - f);
}

}  // namespace

std::uint32_t SkinMesh::addBoneName(std::string boneName) {
    auto it = std::find(boneNames.begin(), boneNames.end(), boneName);
    if (it != boneNames.end()) return static_cast<std::uint32_t>(it - boneNames.begin());
    boneNames.push_back(std::move(boneName));
    return static_cast<std::uint32_t>(boneNames.size() - 1);
}

void SkinMesh::prepare() {
    SkinLayout l;
    const auto vertexCount = static_cast<std::uint32_t>(std::min<std::size_t>(vertices.size(), UINT32_MAX));
    l.rigidCount = static_cast<std::uint32_t>(std::min<std::size_t>(texCoords.size(), vertexCount));
    const std::uint32_t blendedCount = vertexCount - l.rigidCount;
    l.drawable = vertices.size() <= kMaxSkinVertices;

    for (const BoneBinding& b : bindings) {
        if (b.bone < 0 || static_cast<std::size_t>(b.bone) >= boneNames.size()) continue;
        SkinLayout::Range r{static_cast<std::uint32_t>(b.bone), 0, 0, 0, 0};
        clampRange(b.firstRigid, b.rigidCount, l.rigidCount, r.rigidFirst, r.rigidCount);
        clampRange(b.firstBlended, b.blendedCount, blendedCount, r.blendedFirst, r.blendedCount);
        r.blendedFirst += l.rigidCount;
        if (r.rigidCount || r.blendedCount) l.bindings.push_back(r);
    }
    const std::size_t usableBlends = std::min<std::size_t>(blends.size(), blendedCount);
    for (std::size_t k = 0; k < usableBlends; ++k) {
        const BlendEntry& e = blends[k];
        if (e.weight <= 0 || e.vertex < 0 || static_cast<std::uint32_t>(e.vertex) >= l.rigidCount) continue;
        l.blends.push_back(
            {static_cast<std::uint32_t>(e.vertex), l.rigidCount + static_cast<std::uint32_t>(k), e.weight});
    }
    if (l.drawable) {
        l.indices.reserve(faces.size() * 3);
        // A face naming a vertex that does not exist is dropped.
        for (const auto& f : faces)
            if (f[0] < vertexCount && f[1] < vertexCount && f[2] < vertexCount)
                for (std::uint32_t i : f) l.indices.push_back(static_cast<std::uint16_t>(i));
    }
    layout_ = std::move(l);
}

}  // namespace tryster::anim
