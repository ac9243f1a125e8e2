#include "FigureScene.h"

#include "demoworld/FigureMeshes.h"
#include "demoworld/FigurePainter.h"

#include <gtest/gtest.h>

namespace tryster::demoworld {
namespace {

anim::Ref<anim::Outfit> outfitOf(std::string name, anim::Ref<anim::SkinMesh> mesh, std::string bone) {
    auto o = anim::Outfit::create();
    o->name = std::move(name);
    anim::OutfitPart p;
    p.boneName = std::move(bone);
    p.meshName = mesh->name;
    p.mesh = mesh;
    o->parts.push_back(std::move(p));
    return o;
}

void dress(test::FigureScene& s, const FigureKind& kind, Tone tone) {
    anim::CharacterFileContents c;
    c.skeletons.push_back(makeFigureSkeleton("fig", kind.joints()));
    ClothesStyle clothes{0x3050A0, 0xF0F0F0, Pattern::Stripes, false, 0x303848, false, 0x402010};
    FaceStyle face{0x5A3820, 0x3060A0, 0xB05050,
                   kind.gender == Gender::Female ? HairStyle::Long : HairStyle::Short, false};
    s.addTexture("body", paintBody(kind, tone, clothes));
    s.addTexture("head", paintHead(kind, tone, face));
    s.addTexture("hand", paintHand(tone));
    c.outfits.push_back(outfitOf("body", makeBodyMesh("BODY", "body", kind), "pelvis"));
    c.outfits.push_back(outfitOf("head", makeHeadMesh("HEAD-HEAD", "head", kind, face.hairStyle), "head"));
    c.outfits.push_back(outfitOf("lhand", makeHandMesh("lHAND", "hand", kind, false), "l_hand"));
    c.outfits.push_back(outfitOf("rhand", makeHandMesh("rHAND", "hand", kind, true), "r_hand"));
    s.library->registerContents(c, "", "test", "");
    s.character = anim::PreviewCharacter::make(*s.library, "fig", {}, {}, 0);
    for (const char* o : {"body", "head", "lhand", "rhand"})
        ASSERT_NE(s.character->putOn(*s.library->findOutfit(o), "", 0, -1), nullptr) << o;
}

TEST(FigurePictures, Shots) {
    int n = 0;
    for (Gender g : {Gender::Male, Gender::Female})
        for (Build b : {Build::Fit, Build::Fat, Build::Skinny})
            for (bool child : {false, true}) {
                if (child && b != Build::Fit) continue;
                test::FigureScene s;
                dress(s, {g, b, child}, static_cast<Tone>(n % 3));
                for (float facing : {0.0f, 1.0f, 2.0f}) {
                    s.draw(0, facing, 2);
                    s.scene->shoot("fig-" + std::to_string(n) + "-f" + std::to_string(static_cast<int>(facing)));
                }
                s.draw(0, 0.5f, 4);
                s.scene->shoot("fig-" + std::to_string(n) + "-z4");
                ++n;
            }
}

}  // namespace
}  // namespace tryster::demoworld

#include "demoworld/Motions.h"

namespace tryster::demoworld {
namespace {

TEST(FigurePictures, Motions) {
    auto motions = makeMotions();
    for (bool child : {false, true}) {
        test::FigureScene s;
        dress(s, {Gender::Male, Build::Fit, child}, Tone::Medium);
        anim::CharacterFileContents c;
        for (auto& m : motions) {
            m.record->setFrames(m.frames.translations, m.frames.rotations);
            c.animations.push_back(m.record);
        }
        s.library->registerContents(c, "", "anims", "");
        for (const auto& m : motions) {
            if (child != (m.record->name[0] == 'c') && m.record->name != "a2o-idle-armscrossed-breathe") continue;
            auto* pb = s.character->startPlayback(*s.library->findAnimation(m.record->name), 1, 1, 1, 0);
            std::vector<std::string> shots;
            for (int i = 0; i <= 4; ++i) {
                const auto t = static_cast<anim::TimeMs>(m.record->duration * static_cast<float>(i) / 4);
                s.draw(t, 0.5f, 2);
                const std::string name = "m-" + m.record->name + "-" + std::to_string(i) + (child ? "c" : "");
                s.scene->shoot(name);
                if (i == 2) {
                    s.draw(t, 0.5f, 4);
                    s.scene->shoot(name + "z");
                    s.draw(t, 1.5f, 3);
                    s.scene->shoot(name + "s");
                }
            }
            s.character->stopPlayback(pb, 0);
        }
    }
}

}  // namespace
}  // namespace tryster::demoworld
