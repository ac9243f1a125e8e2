#pragma once
// Deforms a skin mesh by the world pose of its bones into the vertex span
// its caller hands it (one output vertex per mesh vertex; only positions
// and normals are written, texture coordinates stay).
//
// For each bone range of the layout, with the bone's world position p and
// row-vector rotation R: every rigid and blended vertex v of the range is
// written as v·R + p, its normal n as n·R. Then each blend entry moves its
// rigid vertex r towards its blended vertex b by w / 32768:
// r := ((32768 − w)·r + w·b) / 32768 for position and normal, the normal
// normalised again; a weight of 32768 or more copies b.
//
// Spans in and out, nothing allocated; the layout's indices were checked
// when the mesh was read, and validate() checks the rest.

#include "anim/SkinLayout.h"
#include "math/Matrix3.h"
#include "math/Vector3.h"
#include "platform/DeviceTypes.h"

#include <cstdint>
#include <span>

namespace tryster::anim {

struct SkinningJob {
    const SkinLayout* layout = nullptr;
    // The mesh's vertices: rigid, then blended.
    std::span<const SkinVertex> vertices;
    // The skeleton bone of each of the mesh's bone names.
    std::span<const std::int32_t> bones;
    // The skeleton's world pose, per bone.
    std::span<const math::Vector3> worldPositions;
    std::span<const math::Matrix3> worldMatrices;
    // The drawn vertex layout; as many as `vertices`.
    std::span<platform::DeviceVertex> out;

    // A layout whose ranges and blends lie inside the vertices, whose bone
    // names all have a bone inside the pose, and an output of the right size.
    bool validate() const;
    // The job must be valid.
    void run() const;
};

}  // namespace tryster::anim
