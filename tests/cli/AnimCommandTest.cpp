// tryster-cli anim pose, skin, frames and convert, run in-process on a game
// folder written with the project's own writers: an arm one unit along x from
// the root, and a one-second animation that turns the root a quarter about
// y (and keeps it where it is).

#include "RunCli.h"
#include "anim/CharacterScene.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace tryster::anim {
namespace {

using nlohmann::json;

class AnimCommand : public test::GameFolder {
protected:
    void SetUp() override {
        GameFolder::SetUp();
        CharacterFileContents c;
        c.skeletons.push_back(test::makeSkeleton("adult", {{"ROOT", ""}, {"ARM", "ROOT", {1, 0, 0}}}));
        auto hand = test::squareMesh("hand-mesh", "ARM", {}, 0.5f, "hand-texture");
        c.outfits.push_back(test::outfitOf("hand", {hand}));
        auto turn = Animation::create();
        turn->name = turn->dataName = "turn";
        turn->duration = 1000;
        turn->translationCount = turn->rotationCount = 2;
        turn->tracks = {test::makeTrack("ROOT", 2, 0, 0)};
        c.animations.push_back(turn);
        writeCharacters("GameData/cmx/people.cmx", c);
        writeMesh("GameData/Skins/hand-mesh.skn", *hand);
        // The stored rotation is the inverse of the turn the bone applies.
        dir.write("GameData/cmx/turn.bin",
                  test::text(writeBinFrames({{{0, 0, 0}, {0, 0, 0}}, {{0, 0, 0, 1}, {0, kHalf, 0, kHalf}}})));
    }
    json run(const std::string& command, std::vector<std::string> args) {
        args.insert(args.begin(), {"anim", command, "--game", dir.str(), "--json"});
        const std::string out = test::runCli({cli::addAnimCommand}, args);
        EXPECT_FALSE(out.starts_with("failed")) << out;
        return json::parse(out, nullptr, false);
    }
    static void expectNear(const json& values, std::vector<float> expected) {
        ASSERT_EQ(values.size(), expected.size()) << values;
        for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(values[i].get<float>(), expected[i], 1e-5f) << values;
    }

    const float kHalf = std::sqrt(0.5f);
};

TEST_F(AnimCommand, FramesListsEveryEntryOfBothPools) {
    EXPECT_EQ(test::runCli({cli::addAnimCommand}, {"anim", "frames", "--game", dir.str(), "--anim", "turn"}),
              "translations: 2\n  0: 0 0 0\n  1: 0 0 0\nrotations: 2\n  0: 0 0 0 1\n  1: 0 0.70710677 0 0.70710677\n");
}

TEST_F(AnimCommand, PoseFollowsTheAnimationToItsEnd) {
    const json frames = run("pose", {"--skeleton", "adult", "--anim", "turn", "--loop", "hold", "--weight", "1",
                                     "--times", "0,1000"});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]["phase"], 0);
    expectNear(frames[0]["bones"][1]["position"], {1, 0, 0});
    EXPECT_EQ(frames[1]["phase"], 1);
    EXPECT_EQ(frames[1]["reachedEnd"], true);
    EXPECT_EQ(frames[1]["bones"][1]["parent"], "ROOT");
    expectNear(frames[1]["bones"][1]["position"], {0, 0, 1});
}

// The square's corner (-0.5, -0.5, 0) on the turned arm: the turn takes x to
// z and z to -x.
TEST_F(AnimCommand, SkinPlacesTheWornMeshOnItsTurnedBone) {
    const json frames = run("skin", {"--skeleton", "adult", "--outfit", "hand", "--anim", "turn", "--loop", "hold",
                             "--times", "1000"});
    ASSERT_EQ(frames.size(), 1u);
    const json& part = frames[0]["parts"][0];
    EXPECT_EQ(part["mesh"], "hand-mesh");
    EXPECT_EQ(part["texture"], "hand-texture");
    expectNear(part["vertices"][0]["position"], {0, -0.5f, 0.5f});
    expectNear(part["vertices"][0]["normal"], {1, 0, 0});
}

}  // namespace
}  // namespace tryster::anim
