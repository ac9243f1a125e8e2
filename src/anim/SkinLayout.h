#pragma once
// What the skinning loop reads of a mesh: its vertices, and the layout made
// once when the mesh is read, in which every index has been checked
// against the vertices and the mesh's bone names, so the loop can trust it.

#include "math/Vector3.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tryster::anim {

struct SkinVertex {
    math::Vector3 position;
    math::Vector3 normal;
};

// Blend weights are fixed point: this is 1.0.
inline constexpr std::int32_t kFullBlendWeight = 32768;

// Render meshes take 16-bit indices.
inline constexpr std::size_t kMaxSkinVertices = 65536;

struct SkinLayout {
    struct Range {
        std::uint32_t boneName;  // index into the mesh's bone names
        std::uint32_t rigidFirst, rigidCount;
        std::uint32_t blendedFirst, blendedCount;  // vertex indices (from the rigid count on)
    };
    struct Blend {
        std::uint32_t rigid;    // vertex moved
        std::uint32_t blended;  // vertex it moves towards
        std::int32_t weight;    // above 0
    };
    std::uint32_t rigidCount = 0;  // R: vertices 0..R−1 are rigid and drawn
    std::vector<Range> bindings;
    std::vector<Blend> blends;
    std::vector<std::uint16_t> indices;  // three per face
    bool drawable = false;               // false past kMaxSkinVertices
};

}  // namespace tryster::anim
