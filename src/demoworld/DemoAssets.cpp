#include "demoworld/DemoAssets.h"

#include "demoworld/DemoCatalog.h"
#include "demoworld/Motions.h"

#include "anim/CharacterFile.h"
#include "anim/IndexFile.h"
#include "anim/SkinMeshFile.h"
#include "formats/WaveFile.h"

#include <cmath>
#include <map>

namespace tryster::demoworld {
namespace {

// Frame values may miss by this much when a delta byte can stand for
// them (quaternion components; the turn is off by well under a degree).
constexpr float kFrameTolerance = 2e-4f;

std::string join(std::string_view folder, std::string_view name) {
    return std::string(folder) + "\\" + std::string(name);
}

class Assets {
public:
    explicit Assets(std::vector<DemoFile>& out) : out_(out) {}

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    void add(std::string path, std::vector<std::uint8_t> bytes) { out_.push_back({std::move(path), std::move(bytes)}); }
    void add(std::string path, const std::string& text) { add(std::move(path), std::vector<std::uint8_t>(text.begin(), text.end())); }

    void characters(const std::string& path, const anim::CharacterFileContents& c, bool binary) {
        anim::FormatStatus s;
        if (binary) {
            std::vector<std::uint8_t> bytes;
            s = anim::writeCharacterBinary(c, bytes);
            if (s.ok) add(path, std::move(bytes));
        } else {
            std::string text;
            s = anim::writeCharacterText(c, text);
            if (s.ok) add(path, text);
        }
        check(s, path);
    }

    void mesh(std::string_view folder, const anim::SkinMesh& m, bool alsoBinary) {
        std::string text;
        check(anim::writeSkinMeshText(m, text), m.name);
        add(join(folder, m.name + ".skn"), text);
        if (!alsoBinary) return;
        std::vector<std::uint8_t> bytes;
        check(anim::writeSkinMeshBinary(m, bytes), m.name);
        add(join(folder, m.name + ".bmf"), std::move(bytes));
    }

    void index(const std::string& path, const anim::IndexFileContents& contents) {
        std::vector<std::uint8_t> bytes;
        const anim::FormatStatus s = anim::writeIndexFile(contents, bytes);
        check(s, path);
        if (s.ok) add(path, std::move(bytes));
    }

    void texture(std::string_view folder, const std::string& name, const Picture& p, BmpDepth depth) {
        add(join(folder, name + ".bmp"), depth == BmpDepth::Bits8 ? encodeBmp8(p) : encodeBmp24(p));
    }
    // The medium tone in the entry's depth, the others in 8 bits (which
    // keeps the folder small).
    void texture(std::string_view folder, const std::string& name, const Picture& p, BmpDepth depth, Tone tone) {
        texture(folder, name, p, tone == Tone::Medium ? depth : BmpDepth::Bits8);
    }

private:
    void check(const anim::FormatStatus& s, std::string_view what) {
        if (!s.ok && error_.empty()) error_ = std::string(what) + ": " + s.message;
    }

    std::vector<DemoFile>& out_;
    std::string error_;
};

// An outfit of one part hanging `mesh` on `bone`.
anim::Ref<anim::Outfit> outfitOf(std::string_view name, std::string_view bone, const std::string& mesh,
                                 std::string_view age) {
    auto o = anim::Outfit::create();
    o->name = name;
    o->properties = anim::PropertyList::create();
    o->properties->set("age", std::string(age));
    anim::OutfitPart part;
    part.boneName = bone;
    part.meshName = mesh;
    part.censorFlags = 1;
    o->parts.push_back(std::move(part));
    return o;
}

std::string_view ageOf(const FigureKind& kind) {
    return kind.child ? "child" : "adult";
}

void addBodies(Assets& a) {
    for (const BodyEntry& body : bodyEntries()) {
        const std::string mesh = bodyMeshName(body);
        const ClothesEntry& first = body.clothes.front();
        const std::string defaultTexture = bodyTextureName(body, Tone::Medium, first);
        anim::CharacterFileContents c;
        c.outfits.push_back(outfitOf(body.outfit, "pelvis", mesh, ageOf(body.kind)));
        a.characters(join(kSkinFolder, std::string(body.outfit) + ".cmx"), c, false);
        a.mesh(kSkinFolder, *makeBodyMesh(mesh, defaultTexture, body.kind), false);
        for (const ClothesEntry& clothes : body.clothes)
            for (Tone tone : kTones)
                a.texture(kSkinFolder, bodyTextureName(body, tone, clothes), paintBody(body.kind, tone, clothes.style),
                          clothes.depth, tone);
    }
}

// The further outfits: each wears the body mesh of its build, in a small
// texture of its own.
void addExtraOutfits(Assets& a) {
    constexpr int kWidth = kBodyTextureWidth / 2, kHeight = kBodyTextureHeight / 2;
    anim::CharacterFileContents c;
    for (const ExtraOutfitEntry& e : extraOutfitEntries()) {
        c.outfits.push_back(outfitOf(extraOutfitName(e), "pelvis", bodyMeshName(manOfBuild(e.build)), "adult"));
        const FigureKind kind{Gender::Male, e.build, false};
        for (Tone tone : kTones)
            a.texture(kSkinFolder, extraTextureName(e, tone), paintBody(kind, tone, e.style, kWidth, kHeight),
                      BmpDepth::Bits8);
    }
    a.characters(join(kSkinFolder, "u0outfits.cmx"), c, false);
}

void addHeads(Assets& a) {
    for (const HeadEntry& head : headEntries()) {
        const std::string mesh = headMeshName(head);
        anim::CharacterFileContents c;
        c.outfits.push_back(outfitOf(head.outfit, "head", mesh, ageOf(head.kind)));
        a.characters(join(kSkinFolder, std::string(head.outfit) + ".cmx"), c, false);
        a.mesh(kSkinFolder, *makeHeadMesh(mesh, headTextureName(head, Tone::Medium), head.kind, head.face.hairStyle),
               true);
        for (Tone tone : kTones)
            a.texture(kSkinFolder, headTextureName(head, tone), paintHead(head.kind, tone, faceForTone(head.face, tone)),
                      head.depth, tone);
    }
}

void addHands(Assets& a) {
    anim::CharacterFileContents c;
    for (const HandEntry& hand : handEntries()) {
        const std::string mesh = handMeshName(hand);
        const BoneId bone = sided(BoneId::LeftHand, hand.right);
        c.outfits.push_back(outfitOf(hand.outfit, boneInfo(bone).name, mesh, ageOf(hand.kind)));
        a.mesh(kHandFolder, *makeHandMesh(mesh, std::string(hand.texture), hand.kind, hand.right), true);
    }
    a.characters(join(kHandFolder, "hands.bcf"), c, true);
    for (const HandTexture& t : handTextures())
        a.texture(kHandTextureFolder, std::string(t.name), paintHand(t.tone), t.depth);
}

void addSkeletons(Assets& a) {
    anim::CharacterFileContents adult, child;
    adult.skeletons.push_back(makeFigureSkeleton("adult", kAdultJoints));
    child.skeletons.push_back(makeFigureSkeleton("child", kChildJoints));
    a.characters(join(kSkeletonFolder, "adult.cmx"), adult, false);
    a.characters(join(kChildSkeletonFolder, "child.bcf"), child, true);
}

void addMotions(Assets& a) {
    struct Group {
        std::string_view folder, file;
        bool binary;
    };
    const std::map<MotionFile, Group> groups = {
        {MotionFile::Idles, {kSkeletonFolder, "idles.cmx", false}},
        {MotionFile::HandsOnHips, {kIndexedAnimationFolder, "handships.bcf", true}},
        {MotionFile::ArmsCrossed, {kIndexedAnimationFolder, "armscrossed.bcf", true}},
        {MotionFile::Kids, {kIndexedAnimationFolder, "kids.bcf", true}},
    };
    std::map<MotionFile, anim::CharacterFileContents> files;
    anim::IndexFileContents index;
    for (Motion& m : makeMotions()) {
        const Group& g = groups.at(m.file);
        files[m.file].animations.push_back(m.record);
        if (g.binary)
            index.animations.push_back({m.record->name, std::string(g.file.substr(0, g.file.size() - 4))});
        if (m.rawFrames)
            a.add(join(g.folder, m.record->dataName + ".bin"), anim::writeBinFrames(m.frames));
        else
            a.add(join(g.folder, m.record->dataName + ".cfp"), anim::encodeCfp(m.frames, kFrameTolerance));
    }
    for (const auto& [file, contents] : files) {
        const Group& g = groups.at(file);
        a.characters(join(g.folder, g.file), contents, g.binary);
    }
    a.index(join(kIndexedAnimationFolder, "animations.ndx"), index);
}

// A soft tap of a shoe on the floor: a low thump under a short click.
std::vector<std::uint8_t> tapSound() {
    constexpr int kRate = 22050;
    formats::WaveSound sound;
    sound.channels = 1;
    sound.sampleRate = kRate;
    sound.bitsPerSample = 16;
    std::uint32_t noise = 12345;
    const int samples = kRate * 12 / 100;
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / kRate;
        noise = noise * 1103515245u + 12345u;
        const double n = static_cast<double>((noise >> 9) & 0xFFFF) / 32768.0 - 1.0;
        const double s = 0.7 * std::exp(-t / 0.03) * std::sin(2 * 3.14159265358979 * 90 * t) +
                         0.3 * std::exp(-t / 0.004) * n;
        const auto v = static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0, 1.0) * 24000));
        sound.samples.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) & 0xFF));
        sound.samples.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
    }
    return formats::encodeWave(sound);
}

}  // namespace

bool makeAssetFiles(std::vector<DemoFile>& out, std::string& error) {
    Assets a(out);
    addSkeletons(a);
    addBodies(a);
    addExtraOutfits(a);
    addHeads(a);
    addHands(a);
    addMotions(a);
    a.add(kTapSoundPath, tapSound());
    if (!a.ok()) error = a.error();
    return a.ok();
}

}  // namespace tryster::demoworld
