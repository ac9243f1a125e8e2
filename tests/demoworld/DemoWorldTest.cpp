// The demo game folder as the program reads it: the same every time and
// within its budget, read by the program's own readers, its dates fit to
// stand in for a townie; and its figure checked for what it means
// (whatever its measures), down to its animations' first and last frames.

#include "DemoFolder.h"
#include "render/Scene.h"

#include "anim/AnimationPlayback.h"
#include "anim/CharacterLibrary.h"
#include "demoworld/DemoCatalog.h"
#include "demoworld/FigureAtlas.h"
#include "demoworld/FigureMeshes.h"
#include "demoworld/GameContainers.h"
#include "demoworld/Picture.h"
#include "demoworld/Poses.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/NewDate.h"
#include "exchange/TownieReplacement.h"
#include "exchange/TownieSearch.h"
#include "formats/ImageDecoder.h"
#include "platform/FileFinder.h"
#include "platform/PathPattern.h"
#include "share/GameChange.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

namespace tryster::demoworld {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> readTree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            files[fs::relative(e.path(), root).generic_string()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    return files;
}

TEST(DemoWorldFolder, IsTheSameEveryRunAndWithinItsBudget) {
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(demoworld::writeDemoWorld(dir.file("again"), error)) << error;
    const auto first = readTree(test::demoFolder()), second = readTree(dir.file("again"));
    EXPECT_TRUE(first == second) << "the same files, byte for byte";
    std::uintmax_t total = 0;
    for (const auto& [path, bytes] : first) total += bytes.size();
    EXPECT_LT(total, 10u * 1024 * 1024);
    EXPECT_FALSE(fs::exists(dir.file("again.partial")));
}

TEST(DemoWorldFolder, LeavesAFolderThatHoldsFilesAsItWas) {
    test::TempDir dir;
    dir.write("mine/keep.txt", "mine");
    std::string error;
    EXPECT_FALSE(demoworld::writeDemoWorld(dir.file("mine"), error));
    EXPECT_NE(error.find("not an empty folder"), std::string::npos) << error;
    EXPECT_EQ(readTree(dir.file("mine")).size(), 1u);
    EXPECT_EQ(dir.read("mine/keep.txt"), "mine");
    fs::create_directory(dir.file("empty"));
    EXPECT_TRUE(demoworld::writeDemoWorld(dir.file("empty"), error)) << error;
    EXPECT_TRUE(fs::exists(dir.file("empty/GameData")));
}

class DemoLibrary : public ::testing::Test {
protected:
    DemoLibrary() : scene(64, 64) {
        render::Device3D::setCurrent(scene.device.get());
        library = std::make_unique<anim::CharacterLibrary>();
        library->loadCharacterFiles(anim::kCharacterSearchPath);
        library->readIndexFiles(anim::kAnimationSearchPath);
    }
    ~DemoLibrary() override {
        library.reset();
        render::Device3D::setCurrent(nullptr);
    }

    test::InDemoFolder in;
    test::Scene scene;
    std::unique_ptr<anim::CharacterLibrary> library;
};

TEST_F(DemoLibrary, EveryTextureDecodesAndEveryMeshFindsItsOwn) {
    std::set<int> depths;
    for (const auto& f : platform::FileFinder::instance().enumerateType("BMP", anim::kCharacterSearchPath)) {
        auto bytes = platform::readWholeFile(f.path);
        ASSERT_TRUE(bytes);
        formats::DecodedImage image;
        EXPECT_TRUE(formats::decodeBmp(*bytes, image)) << f.path;
        depths.insert((*bytes)[28]);
    }
    EXPECT_EQ(depths, (std::set<int>{8, 24}));
    for (const auto& e : library->outfits())
        for (const auto& part : e.object->parts) {
            auto mesh = library->findMesh(part.meshName, e.searchPath);
            ASSERT_TRUE(mesh) << part.meshName;
            EXPECT_TRUE(platform::FileFinder::instance().find(mesh->textureName, "BMP",
                                                              "GameData\\Textures;GameData\\Textures2;GameData\\Skins;"
                                                              "GameData\\Animations;ExpansionPack3\\Skins"))
                << mesh->textureName;
        }
}

class DemoCharacterFiles : public ::testing::Test {
protected:
    DemoCharacterFiles() {
        std::string error;
        EXPECT_TRUE(demoworld::writeTemplateFile(templatePath, error)) << error;
    }
    test::TempDir dir;
    std::string templatePath = dir.file("TR_Template.iff");
    test::InDemoFolder in;
};

// The dates are the size the game's are: a townie replaced by one of them,
// or by a date made from the program's template, is still a townie.
TEST_F(DemoCharacterFiles, ATownieReplacedByADateStaysATownie) {
    struct Silent final : exchange::ExchangeReporter {
        void showMessage(std::string_view caption, std::string_view text) override {
            if (caption != exchange::kReplaceCompleteCaption) ADD_FAILURE() << text;
        }
        void showStatus(std::string_view) override {}
        void stepProgress() override {}
        void redrawPreview() override {}
    } reporter;
    std::vector<std::string> dates;
    for (const std::string& name : platform::findFiles("TemplateNPCs", "*.iff"))
        dates.push_back(platform::resolvePath("TemplateNPCs\\" + name).string());
    Character made;
    made.record.setGender(kFemale);
    share::GameChange placement("", share::ChangeKind::NewDate);
    ASSERT_TRUE(exchange::createNewDate(dir.file("New"), templatePath, made, reporter, placement));
    dates.push_back(dir.file("New.iff"));

    const std::string characters = dir.file("Characters");
    const std::string townie = platform::joinPath(characters, "User00002.iff");
    for (const std::string& date : dates) {
        SCOPED_TRACE(date);
        fs::remove_all(characters);
        fs::create_directories(characters);
        fs::copy_file(platform::resolvePath("UserData\\Characters\\User00002.iff"), townie);
        share::GameChange replacement("", share::ChangeKind::TownieReplaced);
        ASSERT_TRUE(exchange::replaceTownie(townie, date, reporter, replacement).replaced());
        EXPECT_EQ(exchange::searchTownies(characters), std::vector<std::string>{"User00002.iff"});
    }
}

BoneId twin(BoneId b) {
    for (int left = 0; left < kBoneCount; ++left)
        if (sided(static_cast<BoneId>(left), true) == b) return static_cast<BoneId>(left);
    return sided(b, true);
}

bool near(Vector3 a, Vector3 b) {
    return std::fabs(a.x - b.x) < 2e-3f && std::fabs(a.y - b.y) < 2e-3f && std::fabs(a.z - b.z) < 2e-3f;
}

TEST(Figure, NoBoneRestsAtTheOriginAndLeftMirrorsRight) {
    for (const Joints* joints : {&kAdultJoints, &kChildJoints}) {
        const RestPositions rest = restPositions(*joints);
        for (int b = 0; b < kBoneCount; ++b) {
            EXPECT_FALSE(near(rest[static_cast<std::size_t>(b)], Vector3{})) << b;
            EXPECT_TRUE(near(rest[static_cast<std::size_t>(b)], leftOf(rest[static_cast<std::size_t>(index(twin(static_cast<BoneId>(b))))]))) << b;
        }
    }
}

// Each mesh of every kind of figure (bodies, heads with each hair, hands):
// a vertex is pulled by at most one second bone, by a weight within [0, 1],
// so its weights sum to 1; every vertex has its mirror image on the twin
// bone (a hand's in the other hand); every face takes its colours from one
// band of the atlas.
TEST(Figure, MeshesAreSymmetricWeightedWholeAndMappedIntoTheirBands) {
    using namespace atlas;
    for (int k = 0; k < 8; ++k) {
        const FigureKind kind{k % 2 ? Gender::Female : Gender::Male, static_cast<Build>(k / 2 % 3), k >= 6};
        const RestPositions rest = restPositions(kind.joints());
        std::vector<std::pair<anim::Ref<anim::SkinMesh>, std::vector<Band>>> meshes = {
            {makeBodyMesh("b", "t", kind), {kTorso, kSkirt, kArm, kLeg, kShoe}},
            {makeHandMesh("l", "t", kind, false), {kPalm, kThumb}}, {makeHandMesh("r", "t", kind, true), {kPalm, kThumb}}};
        for (HairStyle hair : {HairStyle::Short, HairStyle::Bob, HairStyle::Long})
            meshes.push_back({makeHeadMesh("h", "t", kind, hair), {kHead, kHair}});
        // Where each rigid vertex lies at rest, sorted by height, and its bone.
        const auto vertices = [&rest](const anim::SkinMesh& m) {
            std::vector<std::pair<Vector3, BoneId>> out;
            for (const anim::BoneBinding& b : m.bindings) {
                BoneId bone = BoneId::Pelvis;
                while (boneInfo(bone).name != m.boneNames[static_cast<std::size_t>(b.bone)]) bone = static_cast<BoneId>(index(bone) + 1);
                for (std::int32_t i = b.firstRigid; i < b.firstRigid + b.rigidCount; ++i)
                    out.emplace_back(rest[static_cast<std::size_t>(index(bone))] + m.vertices[static_cast<std::size_t>(i)].position, bone);
            }
            std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.first.y < b.first.y; });
            return out;
        };
        for (std::size_t n = 0; n < meshes.size(); ++n) {
            const anim::SkinMesh& m = *meshes[n].first;
            SCOPED_TRACE(::testing::Message() << "kind " << k << ", mesh " << n);
            std::vector<int> pulls(m.texCoords.size());
            for (const anim::BlendEntry& e : m.blends) {
                EXPECT_TRUE(e.weight >= 0 && e.weight <= anim::kFullBlendWeight) << e.weight;
                EXPECT_EQ(++pulls.at(static_cast<std::size_t>(e.vertex)), 1) << "vertex " << e.vertex;
            }
            // Each vertex's share of each bone; along a face it shifts by less than 0.9.
            std::vector<std::vector<float>> share(m.texCoords.size(), std::vector<float>(m.boneNames.size()));
            std::vector<std::size_t> boneOf(m.texCoords.size());
            for (const anim::BoneBinding& b : m.bindings)
                for (std::int32_t i = b.firstRigid; i < b.firstRigid + b.rigidCount; ++i) boneOf.at(i) = b.bone, share[i][b.bone] = 1;
            for (const anim::BoneBinding& b : m.bindings)
                for (std::int32_t e = b.firstBlended; e < b.firstBlended + b.blendedCount; ++e) {
                    const auto [weight, v] = m.blends.at(static_cast<std::size_t>(e));
                    const float t = static_cast<float>(weight) / anim::kFullBlendWeight;
                    share[v][b.bone] += t, share[v][boneOf[v]] -= t;
                }
            for (const auto& face : m.faces)
                for (std::size_t a = 0; a < face.size(); ++a) {
                    float shift = 0;
                    for (std::size_t j = 0; j < m.boneNames.size(); ++j) shift += std::fabs(share[face[a]][j] - share[face[(a + 1) % face.size()]][j]) / 2;
                    EXPECT_LT(shift, 0.9f);
                }
            const auto mirror = vertices(n == 1 || n == 2 ? *meshes[3 - n].first : m);
            for (const auto& [at, bone] : vertices(m)) {
                auto i = std::lower_bound(mirror.begin(), mirror.end(), at.y - 2e-3f, [](const auto& v, float y) { return v.first.y < y; });
                while (i != mirror.end() && i->first.y < at.y + 2e-3f && !(i->second == twin(bone) && near(i->first, leftOf(at)))) ++i;
                EXPECT_TRUE(i != mirror.end() && i->first.y < at.y + 2e-3f) << index(bone) << " " << at.x << " " << at.y << " " << at.z;
            }
            for (const auto& face : m.faces)
                EXPECT_TRUE(std::any_of(meshes[n].second.begin(), meshes[n].second.end(), [&](const Band& b) {
                    return std::all_of(face.begin(), face.end(), [&](std::uint32_t v) {
                        return m.texCoords[v].v >= b.v0 - 1e-3f && m.texCoords[v].v <= b.v1 + 1e-3f;
                    });
                })) << "a face across bands";
        }
    }
}

// Darker tones darken hair, every channel alike; arms are painted all the way round.
TEST(Figure, DarkerHairKeepsItsHueAndArmsArePainted) {
    const FaceStyle grey{.hair = 0xF0F0F0};
    const std::uint32_t dark = faceForTone(grey, Tone::Dark).hair;
    EXPECT_TRUE(dark == (dark & 0xFF) * 0x010101u && (dark & 0xFF) > 22 && (dark & 0xFF) < 0xF0) << std::hex << dark;
    const BodyEntry& body = bodyEntries()[0];
    const Picture p = paintBody(body.kind, Tone::Light, body.clothes[0].style);
    const int row = static_cast<int>((atlas::kArm.v0 + atlas::kArm.v1) / 2 * static_cast<float>(p.height));
    for (int x = 0; x < p.width; ++x) EXPECT_NE(p.at(x, row) & 0xFFFFFF, 0u) << x;
}

Picture gradient(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.at(x, y) = static_cast<std::uint32_t>((x * 255 / (w - 1)) << 16 | (y * 255 / (h - 1)) << 8 | ((x + y) & 255));
    return p;
}

TEST(Bmp, TwentyFourBitsReadBackExactlyAtOddWidths) {
    const Picture p = gradient(5, 3);  // rows padded to 16 bytes
    const auto bytes = encodeBmp24(p);
    formats::DecodedImage out;
    ASSERT_TRUE(formats::decodeBmp(bytes, out));
    ASSERT_EQ(out.width, 5);
    ASSERT_EQ(out.height, 3);
    for (std::size_t i = 0; i < p.pixels.size(); ++i) EXPECT_EQ(out.pixels[i] & 0xFFFFFF, p.pixels[i]) << i;
}

// The idles chain: each begins and ends in its posture, a transition in the
// postures it joins, so that the director's next pick starts where the
// last one stopped.
TEST_F(DemoLibrary, AnimationsBeginAndEndInTheirPostures) {
    const PoseSolver adult(kAdultJoints);
    const Pose down = armsDown(), hips = handsOnHips(adult), crossed = armsCrossed(adult);
    auto postureOf = [&](std::string_view name) -> const Pose& {
        if (name.find("handships") != std::string_view::npos) return hips;
        if (name.find("armscrossed") != std::string_view::npos) return crossed;
        return down;
    };
    auto expectPose = [](const anim::Animation& a, int frame, const Pose& pose, const char* which) {
        for (std::size_t b = 0; b < a.tracks.size(); ++b) {
            const auto& t = a.tracks[b];
            const Quaternion q = a.rotations()[static_cast<std::size_t>(t.rotationOffset + (frame < 0 ? t.frameCount - 1 : frame))];
            const Quaternion want = math::conjugate(pose.turn[b]);
            // q and −q are the same turn; frames are stored to within 2e-4.
            const float sign = math::dot(q, want) < 0 ? -1.0f : 1.0f;
            const float off = std::max({std::fabs(q.x - sign * want.x), std::fabs(q.y - sign * want.y),
                                        std::fabs(q.z - sign * want.z), std::fabs(q.w - sign * want.w)});
            EXPECT_LT(off, 1e-3f) << a.name << " " << which << " " << t.boneName;
        }
    };
    for (const auto& e : library->animations()) {
        anim::Animation* a = library->findAnimation(e.name);
        ASSERT_TRUE(a && a->loadFrames()) << e.name;
        for (const auto& t : a->tracks) EXPECT_TRUE(!t.hasTranslation || t.boneName == boneInfo(BoneId::Pelvis).name) << "only the root moves";
        const std::string& n = a->name;
        const auto transition = n.find("transition-");
        if (transition != std::string::npos) {
            const std::string postures = n.substr(transition + 11);
            const std::string from = postures.substr(0, postures.find('-')), to = postures.substr(postures.find('-') + 1);
            expectPose(*a, 0, postureOf(from), "first");
            expectPose(*a, -1, postureOf(to), "last");
        } else if (n[0] == 'a') {
            expectPose(*a, 0, postureOf(n), "first");
            expectPose(*a, -1, postureOf(n), "last");
        } else {
            expectPose(*a, -1, down, "last");  // the child's, before the idles take over
        }
    }
}

}  // namespace
}  // namespace tryster::demoworld
