#pragma once
// The figure's meshes: bodies by gender and build, heads, and hands, each
// skinned to the demo skeleton (FigureSkeleton.h) and mapped after
// FigureAtlas.h.

#include "demoworld/FigureSkeleton.h"

#include "anim/SkinMesh.h"

#include <string>

namespace tryster::demoworld {

enum class Gender { Male, Female };
enum class Build { Fit, Fat, Skinny };

struct FigureKind {
    Gender gender = Gender::Male;
    Build build = Build::Fit;
    bool child = false;

    const Joints& joints() const { return child ? kChildJoints : kAdultJoints; }
};

// A body: torso with neck, arms down to the wrists, legs and shoes, and a
// skirt for women and girls.
anim::Ref<anim::SkinMesh> makeBodyMesh(std::string name, std::string texture, const FigureKind& kind);

// Short hair is painted on; a bob and long hair add a shell of hair behind
// the head, falling to the jaw or to the shoulders.
enum class HairStyle { Short, Bob, Long };

// A head from the chin to the crown, with a nose and ears.
anim::Ref<anim::SkinMesh> makeHeadMesh(std::string name, std::string texture, const FigureKind& kind,
                                       HairStyle hair);

// A hand (palm, fingers as one, thumb) hanging from the wrist.
anim::Ref<anim::SkinMesh> makeHandMesh(std::string name, std::string texture, const FigureKind& kind,
                                       bool right);

}  // namespace tryster::demoworld
