// The pieces the demo figure is made of: its pictures' encodings, its
// meshes at rest, and its animations' first and last frames.

#include "DemoFolder.h"

#include "anim/CharacterLibrary.h"
#include "demoworld/DemoCatalog.h"
#include "demoworld/FigureMeshes.h"
#include "demoworld/Picture.h"
#include "demoworld/Poses.h"
#include "render/ImageDecoder.h"

#include <cmath>

#include <gtest/gtest.h>

namespace tryster::demoworld {
namespace {

int worstChannelError(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)));
    return worst;
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
    render::DecodedImage out;
    ASSERT_TRUE(render::decodeBmp(bytes, out));
    ASSERT_EQ(out.width, 5);
    ASSERT_EQ(out.height, 3);
    for (std::size_t i = 0; i < p.pixels.size(); ++i) EXPECT_EQ(out.pixels[i] & 0xFFFFFF, p.pixels[i]) << i;
}

TEST(Bmp, EightBitsOfAPictureWithMoreColoursStayClose) {
    const Picture p = gradient(64, 64);  // 4096 colours
    render::DecodedImage out;
    ASSERT_TRUE(render::decodeBmp(encodeBmp8(p), out));
    int worst = 0;
    for (std::size_t i = 0; i < p.pixels.size(); ++i) worst = std::max(worst, worstChannelError(out.pixels[i], p.pixels[i]));
    EXPECT_LE(worst, 40);
    EXPECT_EQ(encodeBmp8(p), encodeBmp8(p));
}

// Where each vertex of a mesh lies at rest: its bone's joint plus its
// offset, rigid and blended alike.
std::vector<Vector3> restPositionsOf(const anim::SkinMesh& m, const RestPositions& rest) {
    std::vector<Vector3> out(m.vertices.size());
    auto jointOf = [&](std::int32_t bone) {
        for (int b = 0; b < kBoneCount; ++b)
            if (boneInfo(static_cast<BoneId>(b)).name == m.boneNames[static_cast<std::size_t>(bone)])
                return rest[static_cast<std::size_t>(b)];
        ADD_FAILURE() << m.boneNames[static_cast<std::size_t>(bone)];
        return Vector3{};
    };
    const std::size_t rigid = m.texCoords.size();
    for (const anim::BoneBinding& b : m.bindings) {
        for (std::int32_t i = 0; i < b.rigidCount; ++i) {
            const auto v = static_cast<std::size_t>(b.firstRigid + i);
            out[v] = m.vertices[v].position + jointOf(b.bone);
        }
        for (std::int32_t i = 0; i < b.blendedCount; ++i) {
            const auto v = rigid + static_cast<std::size_t>(b.firstBlended + i);
            out[v] = m.vertices[v].position + jointOf(b.bone);
        }
    }
    return out;
}

class DemoMeshes : public ::testing::Test {
protected:
    DemoMeshes() {
        library.loadCharacterFiles(anim::kCharacterSearchPath);
    }
    anim::Ref<anim::SkinMesh> meshOf(std::string_view outfit) {
        const anim::Outfit* o = library.findOutfit(outfit);
        EXPECT_TRUE(o) << outfit;
        return o ? library.findMesh(o->parts[0].meshName, o->searchPath) : nullptr;
    }

    test::InDemoFolder in;
    anim::CharacterLibrary library{nullptr};
};

TEST_F(DemoMeshes, TheAdultFigureHasTheAgreedSize) {
    anim::Box head;
    for (const Vector3& p : restPositionsOf(*meshOf("c011ma_repo"), restPositions(kAdultJoints))) head.extend(p);
    EXPECT_NEAR(head.max.y, kHeadTopY, 0.03f);
    EXPECT_NEAR(head.min.y, kChinY, 0.03f);
    EXPECT_NEAR(head.max.x - head.min.x, 2 * kHeadHalfWidth, 0.1f);
    for (const BodyEntry& body : bodyEntries()) {
        if (body.kind.child) continue;
        anim::Box box;
        for (const Vector3& p : restPositionsOf(*meshOf(body.outfit), restPositions(kAdultJoints))) box.extend(p);
        for (const char* hand : {"hmlo", "hmro"})
            for (const Vector3& p : restPositionsOf(*meshOf(hand), restPositions(kAdultJoints))) box.extend(p);
        EXPECT_NEAR(box.min.y, kGroundY, 0.01f) << body.outfit;
        EXPECT_LE(std::max(-box.min.x, box.max.x), kMaxHalfWidth) << body.outfit;
        EXPECT_LE(box.max.y, kChinY + 0.35f) << body.outfit;  // the neck ends inside the head
    }
}

// The idles chain: each begins and ends in its posture, a transition in the
// postures it joins, so that the director's next pick starts where the
// last one stopped.
TEST_F(DemoMeshes, AnimationsBeginAndEndInTheirPostures) {
    library.readIndexFiles(anim::kAnimationSearchPath);
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
    for (const auto& e : library.animations()) {
        anim::Animation* a = library.findAnimation(e.name);
        ASSERT_TRUE(a && a->loadFrames()) << e.name;
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
