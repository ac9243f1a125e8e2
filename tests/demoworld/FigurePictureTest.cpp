// The demo figure as the preview shows it, dressed from the demo folder's
// files: at the snapshot zoom the man of the default look fills the
// snapshot rectangles. (Pictures of every look and animation, for looking
// at, come from tryster-docshots --figures.)

#include "DemoFolder.h"
#include "FigureScene.h"

#include "character/Appearance.h"


#include <gtest/gtest.h>

namespace tryster::demoworld {
namespace {

struct Look {
    std::string skeleton, body, bodyTexture, head, headTexture, leftHand, rightHand, handTexture;
};

Look defaultLook(const DefaultSet& d) {
    return {std::string(d.skeleton), std::string(d.bodyMesh), std::string(d.bodyTexture), std::string(d.headMesh),
            std::string(d.headTexture), std::string(d.leftHandMesh), std::string(d.rightHandMesh),
            std::string(d.leftHandTexture)};
}

class FigurePictures : public ::testing::Test {
protected:
    FigurePictures() {
        scene.library->loadCharacterFiles(anim::kCharacterSearchPath);
        scene.library->readIndexFiles(anim::kAnimationSearchPath);
    }

    // Dresses a new character as the preview does: outfits by name, each
    // with its texture override.
    void dress(const Look& look) {
        scene.character.reset();
        scene.character = anim::PreviewCharacter::make(*scene.library, look.skeleton, {}, {}, 0);
        ASSERT_TRUE(scene.character && scene.character->skeleton());
        auto wear = [&](const std::string& outfit, std::string_view key, const std::string& texture) {
            anim::Outfit* o = scene.library->findOutfit(platform::toLower(outfit));
            ASSERT_TRUE(o) << outfit;
            ASSERT_TRUE(scene.character->putOn(*o, std::string(key) + texture, 0, -1)) << outfit;
        };
        wear(look.head, kHeadOverrideKey, look.headTexture);
        wear(look.leftHand, kHandOverrideKey, look.handTexture);
        wear(look.rightHand, kHandOverrideKey, look.handTexture);
        wear(look.body, kBodyOverrideKey, look.bodyTexture);
    }

    // The smallest rectangle around every pixel that is not background
    // (left, top, right, bottom; right and bottom exclusive), within the
    // rows [top, bottom).
    std::array<int, 4> drawnExtent(int top = 0, int bottom = test::kPreviewHeight) const {
        const auto pixels = scene.scene->pixels();
        const std::uint32_t background = pixels[0] & 0xFFFFFF;
        std::array<int, 4> r{test::kPreviewWidth, test::kPreviewHeight, 0, 0};
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < test::kPreviewWidth; ++x)
                if ((pixels[static_cast<std::size_t>(y * test::kPreviewWidth + x)] & 0xFFFFFF) != background) {
                    r[0] = std::min(r[0], x), r[1] = std::min(r[1], y);
                    r[2] = std::max(r[2], x + 1), r[3] = std::max(r[3], y + 1);
                }
        return r;
    }

    test::InDemoFolder in;
    test::FigureScene scene;
};

TEST_F(FigurePictures, TheDefaultManFillsTheSnapshotRectangles) {
    dress(defaultLook(kAdultDefaults));
    scene.draw(0, 0, 2);
    scene.scene->shoot("default-man");
    // Body: 120, 146 to 220, 366; head: 145, 146 to 190, 191.
    const auto body = drawnExtent();
    EXPECT_GE(body[0], 120);
    EXPECT_GE(body[1], 146);
    EXPECT_LE(body[2], 220);
    EXPECT_LE(body[3], 366);
    EXPECT_GE(body[3] - body[1], 200);  // fills the rectangle's height
    const auto head = drawnExtent(body[1], body[1] + 38);
    EXPECT_GE(head[0], 145);
    EXPECT_LE(head[2], 190);
    EXPECT_GE(head[2] - head[0], 28);
}

TEST_F(FigurePictures, TheChildIsSmallerThanTheMan) {
    dress(defaultLook(kAdultDefaults));
    scene.draw(0, 0, 2);
    const auto man = drawnExtent();
    dress(defaultLook(kChildDefaults));
    scene.draw(0, 0, 2);
    scene.scene->shoot("default-child");
    const auto child = drawnExtent();
    EXPECT_LT(child[3] - child[1], (man[3] - man[1]) * 3 / 4);
    EXPECT_NEAR(child[3], man[3], 6);  // on the same ground (the child's feet are shorter)
}

}  // namespace
}  // namespace tryster::demoworld
