#pragma once
// A named set of parts, each hanging a skin mesh on a bone.

#include "anim/PropertyList.h"
#include "anim/SkinMesh.h"

#include <string>
#include <vector>

namespace tryster::anim {

struct OutfitPart {
    // File fields, in file order.
    std::string boneName;
    std::string meshName;
    std::int32_t censorFlags = 0;  // bits compared against the mask given when put on
    Ref<PropertyList> properties;

    // The mesh, read on the first put-on and kept while the outfit lives.
    Ref<SkinMesh> mesh;
};

class Outfit final : public RefCounted {
public:
    // Type 0 is drawn; any other type is posed and bounded but never
    // added to the character's render group.
    static constexpr std::int32_t kDrawnType = 0;

    static Ref<Outfit> create() { return Ref<Outfit>::adopt(new Outfit); }

    // File fields, in file order. The name is in lower case (readers fold it).
    std::string name;
    std::int32_t type = kDrawnType;
    Ref<PropertyList> properties;
    std::vector<OutfitPart> parts;

    // The folder list the outfit's file was found on; meshes are searched
    // along it.
    SearchPath searchPath;
    // Worn instances, and the clock time at which the last one was taken
    // off (0 while worn or never taken off); the library's sweep reads both.
    int wornCount = 0;
    TimeMs releaseTime = 0;

private:
    Outfit() = default;
};

}  // namespace tryster::anim
