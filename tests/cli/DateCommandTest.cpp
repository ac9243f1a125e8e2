// tryster-cli date create and date show, run in-process: a date made from a
// template built here reads back every value of the character description.

#include "RunCli.h"
#include "demoworld/DemoWorld.h"
#include "exchange/DateTemplate.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

namespace tryster::cli {
namespace {

using nlohmann::json;

class DateCommand : public ::testing::Test {
protected:
    DateCommand() {
        EXPECT_EQ(exchange::buildDateTemplate(templatePath), resfile::kNoError);
        dir.write("game/GameData/Skins/c011ma_repo.cmx", "xskin-c011ma_repo-head\n");
        dir.write("game/TemplateNPCs/GLM_Generic.iff", "");
    }
    // The snapshots' preview enters the game folder, which goes with `dir`.
    ~DateCommand() override { (void)platform::fileSystem().setCurrentDirectory(cwd); }

    std::string run(std::vector<std::string> args) { return test::runCli({addDateCommand}, std::move(args)); }
    std::string create(const std::string& character, const std::string& out) {
        return run({"date", "create", "--game", dir.file("game"), "--character", character, "--out", out,
                    "--template", templatePath});
    }
    json show(const std::string& date) { return json::parse(run({"date", "show", date, "--json"})); }

    std::string cwd = platform::fileSystem().currentDirectory();
    test::TempDir dir;
    std::string templatePath = dir.file("TR_Template.iff");
};

// A folder without skeletons still gives a preview (an empty one), so the
// snapshots are written beside the date as the program writes them.
TEST_F(DateCommand, CreateWritesADateItsExportAndTheSnapshotsAndNothingElse) {
    std::string out = create(std::string(TRYSTER_TEST_DATA) + "/bob.json", dir.file("game/TemplateNPCs/Bob.srf"));
    const std::string base = dir.file("game/TemplateNPCs/Bob");
    EXPECT_EQ(out, base + ".srf\n" + base + ".iff\n" + base + "head.jpg\n" + base + "body.jpg\n");
    auto entries = platform::findFiles(dir.file("game/TemplateNPCs"), "*");
    EXPECT_EQ(entries, (std::vector<std::string>{"Bob.iff", "Bob.srf", "Bobbody.jpg", "Bobhead.jpg",
                                                 "GLM_Generic.iff"}));

    json date = show(dir.file("game/TemplateNPCs/Bob.iff"));
    EXPECT_EQ(test::missingFrom(date, json::parse(R"({
        "catalog": {"name": "Bob", "description": "Likes long walks."},
        "constants": {"career": "Life of Crime", "careerLevel": 7,
                      "personality": {"Neat": 4, "Active": 4, "Playful": 4, "Outgoing": 10, "Nice": 3},
                      "interests": {"60's Stuff": 10, "Music": 5, "Romance": 1}},
        "appearance": {"2": "b003mafit_01,BODY=B003MAFitdrk_bmoc", "15": "drk",
                       "3": "c011ma_repo,HEAD-HEAD=C011mamed_rotc", "16": "u0fit_swim,BODY=u0fitdrk_swim"},
        "webExchange": {"keys": {"Gender": "Male", "SkinFileCount": "1"}}})")),
              json::array());
    EXPECT_EQ(date["objects"][0]["name"], "Bob.iff");
    // As text: a line per value, lists numbered from 0.
    const std::string text = run({"date", "show", dir.file("game/TemplateNPCs/Bob.iff")});
    EXPECT_NE(text.find("\nobjects[1].name: Bob.iff\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("objects[2]"), std::string::npos) << text;
}

// The identifiers come from the system's clock and the program's generator,
// not from the snapshots' simulated clock: two dates made one after the
// other, within the same second and very likely the same millisecond, and
// with a preview on the game folder, still differ.
TEST_F(DateCommand, TwoDatesInOneProcessNeverShareAnIdentity) {
    std::string error;
    ASSERT_TRUE(demoworld::writeDemoWorld(dir.file("demo"), error)) << error;
    std::vector<std::string> identifiers;
    for (const char* name : {"Ann", "Ben"}) {
        const std::string base = dir.file(std::string("demo/TemplateNPCs/") + name);
        (void)run({"date", "create", "--game", dir.file("demo"), "--character",
                   std::string(TRYSTER_TEST_DATA) + "/bob.json", "--out", base + ".srf", "--template",
                   templatePath});
        const json date = show(base + ".iff");
        for (const json& object : date["objects"])
            identifiers.push_back(object["identifier"].get<std::string>());
    }
    ASSERT_EQ(identifiers.size(), 4u);
    std::sort(identifiers.begin(), identifiers.end());
    EXPECT_EQ(std::unique(identifiers.begin(), identifiers.end()), identifiers.end());
}

TEST_F(DateCommand, ShowReadsBackAFemaleChildWithoutCareer) {
    std::string ann = dir.write("ann.json", R"({
        "name": "Ann", "description": "two\nlines", "gender": "female", "bodyType": 1, "skinTone": 0,
        "personality": {"neat": 1, "active": 2, "playful": 3, "outgoing": 4, "nice": 5},
        "interests": {"top": ["Food", "Exercise", "Music", "Sports", "Style"], "low": ["Weather"]},
        "career": {"track": -1, "level": 0},
        "appearance": {"headMesh": "c205fc_ann", "headTexture": "C205fclgt_ann"},
        "adult": false})");
    ASSERT_EQ(create(ann, dir.file("game/TemplateNPCs/Ann.txt")).find("failed"), std::string::npos);
    json date = show(dir.file("game/TemplateNPCs/Ann.iff"));
    // The game's line breaks; a child keeps the body type in its outfits.
    EXPECT_EQ(test::missingFrom(date, json::parse(R"({"catalog": {"description": "two\r\nlines"},
        "constants": {"career": "none", "careerTrack": -1, "interests": {"Food": 10, "Weather": 1}},
        "appearance": {"3": "c205fc_ann,HEAD-HEAD=C205fclgt_ann", "16": "u0fit_swim,BODY=u0fitlgt_swim"}})")),
              json::array());
    EXPECT_FALSE(date.contains("webExchange"));  // "Ann.txt" is no ".srf"
}

// Each refusal names the file and says what was found there.
bool says(const std::string& failure, const std::string& file, const std::string& found) {
    return failure.starts_with("failed: " + file + ": expected ") && failure.find("; found " + found) != std::string::npos;
}

TEST_F(DateCommand, BadArgumentsAreRefusedBeforeAnythingIsWritten) {
    std::string bob = std::string(TRYSTER_TEST_DATA) + "/bob.json";
    EXPECT_PRED3(says, run({"date", "create", "--game", dir.file("nowhere"), "--character", bob, "--out",
                             dir.file("B.srf"), "--template", templatePath}),
                 dir.file("nowhere"), "nothing there");
    EXPECT_PRED3(says, run({"date", "create", "--game", dir.file("game"), "--character", bob, "--out",
                             dir.file("B.srf"), "--template", dir.file("none.iff")}),
                 dir.file("none.iff"), "nothing there");
    EXPECT_PRED3(says, create(bob, dir.file("missing/B.srf")), dir.file("missing/B.srf"), "no folder");
    EXPECT_PRED3(says, create(bob, dir.file(".srf")), dir.file(".srf"), "none");
    EXPECT_PRED3(says, run({"date", "show", dir.file("none.iff")}), dir.file("none.iff"), "nothing there");
    EXPECT_PRED3(says, run({"date", "show", dir.write("text.iff", "text")}), dir.file("text.iff"),
                 "4 bytes of text: \"text\" (kShortRead (-48))");
    EXPECT_EQ(platform::findFiles(dir.str(), "B*"), std::vector<std::string>{});
}

TEST_F(DateCommand, AFailedDateIsAnError) {
    dir.write("broken.iff", "not a container");
    std::string out = run({"date", "create", "--game", dir.file("game"), "--character",
                           std::string(TRYSTER_TEST_DATA) + "/bob.json", "--out", dir.file("Bob.srf"), "--template",
                           dir.file("broken.iff")});
    EXPECT_PRED3(says, out, dir.file("Bob.iff"), "it was not");
    EXPECT_FALSE(platform::fileSystem().exists(dir.file("Bob.iff")));
}

}  // namespace
}  // namespace tryster::cli
