#include "RunCli.h"
#include "preview/PreviewHarness.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>

namespace tryster::test {
namespace {

class PreviewCommands : public PreviewInstall {
protected:
    void SetUp() override {
        PreviewInstall::SetUp();
        writeInstall();
    }

    std::string run(std::vector<std::string> args) {
        return runCli({cli::addCatalogCommand, cli::addRenderCommand}, std::move(args));
    }
};

// A damaged mesh of the look is worn as far as it reads, and told.
TEST_F(PreviewCommands, CatalogListsWhatTheGenderButtonsLeave) {
    dir.write(std::string(kSkins) + "b004fafit_01-BODY.skn", "b004fafit_01-BODY\nno-such-body\nmany");
    ::testing::internal::CaptureStderr();
    const auto out = nlohmann::json::parse(
        run({"catalog", "--game", dir.str(), "--gender", "female", "--body-type", "0", "--skin-tone", "1", "--json"}));
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(warnings.find("warning: " + dir.file(std::string(kSkins) + "b004fafit_01-BODY.skn")), std::string::npos)
        << warnings;
    EXPECT_EQ(out["headMeshes"], nlohmann::json({"c200fa_anne"}));
    EXPECT_EQ(out["bodyTextures"], nlohmann::json({"B004FAFitmed_x"}));
    EXPECT_EQ(out["bodyMesh"], "b004fafit_01");
    EXPECT_EQ(out["headTexture"], "C200famed_anne");
    EXPECT_EQ(out.size(), 8u);
    EXPECT_EQ(run({"catalog", "--game", dir.str(), "--gender", "female", "--body-type", "0"}),
              "failed: --skin-tone is required");
}

TEST_F(PreviewCommands, RenderDrawsTheFramesAskedAndReportsTheirStages) {
    const std::string out = run({"render", "--game", dir.str(), "--idle-seconds", "2", "--size", "201x150",
                                 "--frames", "3", "--stats", "--out", dir.file("p.png")});
    EXPECT_NE(out.find("200x150, playing"), std::string::npos) << out;
    for (const char* stage : {"update", "skinning", "drawing", "present"})
        EXPECT_NE(out.find(stage), std::string::npos) << stage;
    formats::PngPicture picture;
    ASSERT_TRUE(formats::readPng(dir.file("p.png"), picture));
    EXPECT_EQ(picture.width, 200);
    EXPECT_EQ(picture.height, 150);
}

TEST_F(PreviewCommands, RenderShowsAnAnimationAtItsTimeAndNoFurtherThanItsEnd) {
    EXPECT_NE(run({"render", "--game", dir.str(), "--anim", "a2o-idle3", "--time", "100", "--out", dir.file("a.jpg")})
                  .find("playing a2o-idle3 at 100 ms"),
              std::string::npos);
    EXPECT_NE(run({"render", "--game", dir.str(), "--anim", "a2o-idle3", "--time", "5000", "--out", dir.file("b.png")})
                  .find("playing a2o-idle3 at 300 ms"),
              std::string::npos);
    EXPECT_GT(dir.read("a.jpg").size(), 100u);
    // However many frames lead up to it, the picture is the one at that time.
    (void)run({"render", "--game", dir.str(), "--anim", "a2o-idle3", "--time", "100", "--frames", "5", "--out",
               dir.file("c.jpg")});
    EXPECT_EQ(dir.read("c.jpg"), dir.read("a.jpg"));
}

// The command enters the game folder; paths given relative to where it was
// started still mean files there.
TEST_F(PreviewCommands, RenderReadsAndWritesRelativePathsFromWhereItStarted) {
    std::ifstream bob(std::string(TRYSTER_TEST_DATA) + "/bob.json");
    dir.write("work/bob.json", std::string(std::istreambuf_iterator<char>(bob), {}));
    ASSERT_TRUE(platform::fileSystem().setCurrentDirectory(dir.file("work")));
    const std::string out = run({"render", "--game", dir.str(), "--character", "bob.json", "--out", "bob.png"});
    EXPECT_EQ(out.find("failed"), std::string::npos) << out;
    EXPECT_TRUE(platform::fileSystem().exists(dir.file("work/bob.png")));
    EXPECT_FALSE(platform::fileSystem().exists(dir.file("bob.png")));
}

}  // namespace
}  // namespace tryster::test
