#pragma once
// A small game install for the preview tests, written with the project's
// own writers: an "adult" and a "child" skeleton, block figures (a head, a
// body and two hands) for both genders and ages under names the catalog
// rules sort, solid-colour textures, a greeting and a few idles.
//
// The adult figure keeps within the preview's framing: between the feet at
// y = -0.35 and the top of the head at 5.55, chin at 4.55, within x =
// -0.8..0.8, facing +z.

#include "anim/AnimFixtures.h"
#include "formats/ImageFiles.h"

#include "anim/CharacterFile.h"
#include "anim/FrameFile.h"
#include "anim/SkinMeshFile.h"

#include <string>
#include <vector>

namespace tryster::test {

// Texture colours (0xRRGGBB).
inline constexpr std::uint32_t kHeadColour = 0x30E030;
inline constexpr std::uint32_t kBodyColour = 0x3050F0;
inline constexpr std::uint32_t kHandColour = 0xF0F0F0;
inline constexpr std::uint32_t kOtherColour = 0xF0F000;

// The greeting says its sound file here.
inline constexpr const char* kGreetingSound = "GameData\\Sounds\\hey.wav";
inline constexpr int kGreetingSoundMs = 100;
inline constexpr float kGreetingMs = 600;

// Every idle the director chooses.
inline constexpr const char* kIdles[] = {
    "a2o-idle1", "a2o-idle2", "a2o-idle3", "a2o-idle4", "a2o-idle5", "a2o-idle6", "a2o-idle7", "a2o-idle8",
    "a2o-idle-armsdown-fidget", "a2o-idle-armsdown-lookoff", "a2o-idle-armsdown-breathe",
    "a2o-idle-transition-armsdown-handships", "a2o-idle-handships-shiftside", "a2o-idle-handships-lookoff",
    "a2o-idle-handships-breathe", "a2o-idle-transition-handships-armscrossed",
    "a2o-idle-armscrossed-scratchchin", "a2o-idle-armscrossed-lookoff", "a2o-idle-armscrossed-breathe",
    "a2o-idle-transition-armscrossed-armsdown"};

// A box of 6 quads with outward normals, bound rigidly to `bone`; front
// faces wind clockwise as seen from outside.
inline anim::Ref<anim::SkinMesh> boxMesh(std::string name, std::string bone, anim::Vector3 min, anim::Vector3 max,
                                         std::string texture) {
    auto m = anim::SkinMesh::create();
    m->name = std::move(name);
    m->textureName = std::move(texture);
    m->boneNames = {std::move(bone)};
    const anim::Vector3 c = (min + max) * 0.5f, h = (max - min) * 0.5f;
    struct Face {
        anim::Vector3 n, t1, t2;  // t1 × t2 = n
    };
    const Face faces[] = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                          {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
                          {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}};
    auto scaled = [&](anim::Vector3 v) { return anim::Vector3{v.x * h.x, v.y * h.y, v.z * h.z}; };
    for (const Face& f : faces) {
        const auto base = static_cast<std::uint32_t>(m->vertices.size());
        const anim::Vector3 centre = c + scaled(f.n), a = scaled(f.t1), b = scaled(f.t2);
        const anim::Vector3 corners[] = {centre - a - b, centre + a - b, centre + a + b, centre - a + b};
        const anim::TexCoord uv[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int i = 0; i < 4; ++i) {
            m->vertices.push_back({corners[i], f.n});
            m->texCoords.push_back(uv[i]);
        }
        m->faces.push_back({base, base + 1, base + 2});
        m->faces.push_back({base, base + 2, base + 3});
    }
    m->bindings = {{0, 0, static_cast<std::int32_t>(m->vertices.size()), 0, 0}};
    m->prepare();
    return m;
}

inline std::vector<std::uint8_t> solidBmp(std::uint32_t colour) {
    return bmp24(4, 4, std::vector<std::uint32_t>(16, colour));
}

class PreviewInstall : public GameFolder {
protected:
    static constexpr const char* kSkins = "GameData/Skins/";

    // Bones: ROOT at the origin; HEAD at the chin; the hands at the sides.
    static anim::Ref<anim::Skeleton> skeleton(std::string name, float scale) {
        return makeSkeleton(std::move(name), {{"ROOT", ""},
                                              {"HEAD", "ROOT", {0, 4.55f * scale, 0}},
                                              {"L_HAND", "ROOT", {-0.7f * scale, 2.0f * scale, 0}},
                                              {"R_HAND", "ROOT", {0.7f * scale, 2.0f * scale, 0}}});
    }

    // An outfit of one mesh, written as its own file.
    void addOutfit(anim::CharacterFileContents& c, const std::string& name,
                   const anim::Ref<anim::SkinMesh>& mesh) {
        c.outfits.push_back(outfitOf(name, {mesh}));
        writeMesh(std::string(kSkins) + mesh->name + ".skn", *mesh);
    }

    // Boxes show their top and front corners beyond the centre line, so
    // the head stops short of 5.55 and the body short of -0.35.
    void addHead(anim::CharacterFileContents& c, const std::string& name, float scale = 1) {
        const float r = 0.36f * scale;
        addOutfit(c, name,
                  boxMesh(name + "-HEAD-HEAD", "HEAD", {-r, 0, -r}, {r, 0.8f * scale, r}, "no-such-head"));
    }
    void addBody(anim::CharacterFileContents& c, const std::string& name, float scale = 1, float girth = 1) {
        addOutfit(c, name,
                  boxMesh(name + "-BODY", "ROOT", {-0.55f * scale * girth, -0.1f * scale, -0.2f * scale},
                          {0.55f * scale * girth, 4.55f * scale, 0.2f * scale}, "no-such-body"));
    }
    void addHand(anim::CharacterFileContents& c, const std::string& name, float side) {
        addOutfit(c, name,
                  boxMesh(name + "-HAND", side < 0 ? "L_HAND" : "R_HAND", {-0.1f, -0.2f, -0.1f},
                          {0.1f, 0.2f, 0.1f}, "no-such-hand"));
    }

    // A motion of the whole figure: ROOT turns a little and back.
    anim::Ref<anim::Animation> animation(const std::string& name, float durationMs) {
        auto a = anim::Animation::create();
        a->name = name;
        a->dataName = name;
        a->duration = durationMs;
        a->rotationCount = 3;
        a->tracks = {makeTrack("ROOT", 3, -1, 0)};
        anim::FramePools pools;
        const float s = std::sin(0.1f);
        pools.rotations = {{0, 0, 0, 1}, {0, s, 0, std::cos(0.1f)}, {0, 0, 0, 1}};
        dir.write(std::string(kSkins) + name + ".cfp", text(anim::encodeCfp(pools)));
        return a;
    }

    void writeInstall() {
        anim::CharacterFileContents c;
        c.skeletons = {skeleton("adult", 1), skeleton("child", 0.6f)};
        for (const char* head : {"c011ma_repo", "c012ma_bald", "c200fa_anne"}) addHead(c, head);
        addHead(c, "c201ma_child", 0.6f);
        addBody(c, "b003mafit_01");
        addBody(c, "b003mafat_01", 1, 1.4f);
        addBody(c, "b004fafit_01");
        addBody(c, "nsuit_mafit");
        addBody(c, "b005mcchd_01", 0.6f);
        addBody(c, "b006fcchd_01", 0.6f);
        for (const char* hand : {"hmlo", "hflo", "hulo"}) addHand(c, hand, -1);
        for (const char* hand : {"hmro", "hfro", "huro"}) addHand(c, hand, 1);

        auto greeting = animation("a2o-heyyou1", kGreetingMs);
        auto sound = anim::PropertyList::create();
        sound->set("sound", kGreetingSound);
        greeting->tracks[0].timedProperties = anim::TimedPropertyList::create();
        greeting->tracks[0].timedProperties->set(kGreetingSoundMs, sound);
        c.animations = {greeting};
        for (const char* idle : kIdles) c.animations.push_back(animation(idle, 300));
        writeCharacters(std::string(kSkins) + "people.cmx", c);

        for (const char* name : {"C011mamed_rotc", "C012mamed_x", "C200famed_anne", "C201mamed_child"})
            writeBmp(name, kHeadColour);
        writeBmp("C011malgt_rotc", kOtherColour);
        for (const char* name : {"B003MAFitmed_bmoc", "B003MAFatmed_bmoc", "B004FAFitmed_x", "B005MAChdmed_kid"})
            writeBmp(name, kBodyColour);
        writeBmp("B003MAFitmed_alt", kOtherColour);
        writeBmp("u003m_extra", kOtherColour);
        for (const char* name : {"HUAOmed", "HUAOlgt", "HUAOdrk"}) writeBmp(name, kHandColour);
        writeBmp("zz_ignored", kOtherColour);
        // The same texture in a second folder is offered twice.
        dir.write("GameData/Textures/B003MAFitmed_alt.bmp", text(solidBmp(kOtherColour)));
    }

    void writeBmp(const std::string& name, std::uint32_t colour) {
        dir.write(std::string(kSkins) + name + ".bmp", text(solidBmp(colour)));
    }
};

}  // namespace tryster::test
