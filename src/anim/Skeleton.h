#pragma once
// A named hierarchy of bones as read from a character file.
//
// Bones are linked by parent name as they are added: a bone whose parent
// is found becomes that parent's first child (so children end up in
// reverse reading order); one whose parent is not found (or empty) becomes
// a top-level bone in front of the root. A parent is always found among
// earlier bones, so the bone list has every parent before its children.

#include "anim/PropertyList.h"

#include <string>
#include <string_view>
#include <vector>

namespace tryster::anim {

using BoneIndex = std::int32_t;
inline constexpr BoneIndex kNoBone = -1;

struct Bone {
    // File fields, in file order.
    std::string name;
    std::string parentName;
    Ref<PropertyList> properties;  // null when the file has none
    Vector3 translation;           // from the parent's origin, in the parent's frame
    Quaternion rotation;           // the inverse of the rotation relative to the parent
    std::int32_t canTranslate = 1;
    std::int32_t canRotate = 1;
    std::int32_t canBlend = 1;  // 0: animations replace the pose instead of blending into it
    std::int32_t canWiggle = 0;
    float wigglePower = 0;

    // Links within the skeleton's bone list.
    BoneIndex parent = kNoBone;
    BoneIndex firstChild = kNoBone;
    BoneIndex nextSibling = kNoBone;
};

class Skeleton final : public RefCounted {
public:
    static Ref<Skeleton> create(std::string name) {
        return Ref<Skeleton>::adopt(new Skeleton(std::move(name)));
    }

    const std::string& name() const { return name_; }
    const std::vector<Bone>& bones() const { return bones_; }
    std::size_t size() const { return bones_.size(); }
    // The first top-level bone; further top-level bones are its siblings.
    BoneIndex root() const { return root_; }

    void reserve(std::size_t bones) { bones_.reserve(bones); }
    // Appends the bone (its link fields are ignored) and links it.
    void addBone(Bone bone);
    // Depth first from the root (a bone, its first child's subtree, then
    // its next sibling); names compare byte for byte. kNoBone when absent.
    BoneIndex findBone(std::string_view name) const;
    // A new skeleton of the same name with every bone copied and linked
    // again in list order; property lists are shared.
    Ref<Skeleton> copy() const;

    // The folder list the skeleton's file was found on.
    SearchPath searchPath;

private:
    explicit Skeleton(std::string name) : name_(std::move(name)) {}

    std::string name_;
    std::vector<Bone> bones_;
    BoneIndex root_ = kNoBone;
};

}  // namespace tryster::anim
