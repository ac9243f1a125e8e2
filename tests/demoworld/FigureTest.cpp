// The pieces the demo figure is made of: its pictures' encodings and its
// animations' first and last frames.

#include "DemoFolder.h"

#include "anim/CharacterLibrary.h"
#include "demoworld/Picture.h"
#include "demoworld/Poses.h"
#include "formats/ImageDecoder.h"

#include <cmath>

#include <gtest/gtest.h>

namespace tryster::demoworld {
namespace {

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

class DemoMeshes : public ::testing::Test {
protected:
    DemoMeshes() {
        library.loadCharacterFiles(anim::kCharacterSearchPath);
    }

    test::InDemoFolder in;
    anim::CharacterLibrary library{nullptr};
};

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
