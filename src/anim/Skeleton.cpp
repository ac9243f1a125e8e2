#include "anim/Skeleton.h"

namespace tryster::anim {

void Skeleton::addBone(Bone bone) {
    const auto index = static_cast<BoneIndex>(bones_.size());
    bone.parent = bone.firstChild = bone.nextSibling = kNoBone;
    // An empty parent name never matches, not even a bone without a name.
    BoneIndex parent = root_ == kNoBone || bone.parentName.empty() ? kNoBone : findBone(bone.parentName);
    bones_.push_back(std::move(bone));
    Bone& added = bones_.back();
    if (root_ == kNoBone) {
        root_ = index;
    } else if (parent != kNoBone) {
        added.parent = parent;
        added.nextSibling = bones_[static_cast<std::size_t>(parent)].firstChild;
        bones_[static_cast<std::size_t>(parent)].firstChild = index;
    } else {
        added.nextSibling = root_;
        root_ = index;
    }
}

BoneIndex Skeleton::findBone(std::string_view name) const {
    BoneIndex i = root_;
    while (i != kNoBone) {
        const Bone& b = bones_[static_cast<std::size_t>(i)];
        if (b.name == name) return i;
        if (b.firstChild != kNoBone) {
            i = b.firstChild;
            continue;
        }
        // Up until a bone with a next sibling; top-level bones are siblings.
        while (i != kNoBone && bones_[static_cast<std::size_t>(i)].nextSibling == kNoBone)
            i = bones_[static_cast<std::size_t>(i)].parent;
        if (i != kNoBone) i = bones_[static_cast<std::size_t>(i)].nextSibling;
    }
    return kNoBone;
}

Ref<Skeleton> Skeleton::copy() const {
    Ref<Skeleton> s = create(name_);
    s->bones_.reserve(bones_.size());
    for (const Bone& b : bones_) s->addBone(b);
    s->searchPath = searchPath;
    return s;
}

}  // namespace tryster::anim
