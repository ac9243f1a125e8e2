#pragma once
// A deformable mesh: rigid vertices per bone plus blended vertices that
// pull rigid ones towards a second bone.
//
// The file fields are kept as read (so a mesh writes back unchanged); the
// skinning loop uses `layout()` (see SkinLayout.h).

#include "anim/AnimTypes.h"
#include "anim/SkinLayout.h"

#include <array>
#include <string>
#include <vector>

namespace tryster::anim {

// Vertices moved by one bone: a range of rigid vertices and a range of
// blended ones (counted from the first blended vertex).
struct BoneBinding {
    std::int32_t bone = 0;  // index into the mesh's bone names
    std::int32_t firstRigid = 0;
    std::int32_t rigidCount = 0;
    std::int32_t firstBlended = 0;
    std::int32_t blendedCount = 0;
};

// The k-th entry belongs to the k-th blended vertex and moves one rigid
// vertex towards it.
struct BlendEntry {
    std::int32_t weight = 0;  // fixed point, kFullBlendWeight is 1.0
    std::int32_t vertex = 0;  // the rigid vertex it moves
};

struct TexCoord {
    float u = 0, v = 0;
};

class SkinMesh final : public RefCounted {
public:
    static Ref<SkinMesh> create() { return Ref<SkinMesh>::adopt(new SkinMesh); }

    // File fields, in file order.
    std::string name;
    std::string textureName;
    std::vector<std::string> boneNames;  // no name twice
    std::vector<std::array<std::uint32_t, 3>> faces;
    std::vector<BoneBinding> bindings;
    std::vector<TexCoord> texCoords;  // one per rigid vertex
    std::vector<BlendEntry> blends;
    std::vector<SkinVertex> vertices;  // rigid, then blended

    // Adds a bone name unless present; returns its index either way.
    std::uint32_t addBoneName(std::string boneName);
    // Checks the fields and makes the layout; readers call it.
    void prepare();
    const SkinLayout& layout() const { return layout_; }

private:
    SkinMesh() = default;
    SkinLayout layout_;
};

}  // namespace tryster::anim
