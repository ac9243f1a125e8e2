// tryster-cli townie and character, run in-process on a game folder of
// character files made from the date template.

#include "RunCli.h"
#include "demoworld/DemoWorld.h"
#include "exchange/ExchangeTestSupport.h"

#include <nlohmann/json.hpp>

namespace tryster::test {
namespace {

using nlohmann::json;

class TownieCommand : public ::testing::Test {
protected:
    TownieCommand() {
        makeCharacter(dir, "UserData/Characters/User00001.iff", 60000);
        makeCharacter(dir, "UserData/Characters/User00002.iff", 60000, "Child");
        makeCharacter(dir, "TemplateNPCs/Date1.iff", 30000);
        dir.write("UserData/Neighborhood.iff", "");
        dir.write("TemplateNPCs/GLM_Generic.iff", "");
    }
    ~TownieCommand() override { (void)platform::fileSystem().setCurrentDirectory(cwd); }
    std::string run(std::vector<std::string> args) {
        return runCli({cli::addTownieCommand, cli::addCharacterCommand, cli::addCatalogCommand, cli::addDateCommand},
                      std::move(args));
    }
    json show(const std::string& path) { return json::parse(run({"character", "show", path, "--json"})); }

    std::string cwd = platform::fileSystem().currentDirectory();
    TempDir dir;
    std::string hood = dir.file("UserData/Neighborhood.iff");
    std::string townie = dir.file("UserData/Characters/User00001.iff");
};

TEST_F(TownieCommand, ListsTheTowniesAndDatesAndReplacesOnlyATownie) {
    EXPECT_EQ(json::parse(run({"townie", "list", hood, "--json"})),
              json::parse(R"([{"file": "User00001.iff", "name": "Template", "age": "Adult", "gender": "Male"}])"));
    const json dates = json::parse(run({"townie", "dates", "--game", dir.str(), "--json"}));
    ASSERT_EQ(dates.size(), 1u);
    EXPECT_EQ(dates[0]["file"], "Date1.iff");

    const std::string child = run({"townie", "replace", hood, "User00002.iff", dir.file("TemplateNPCs/Date1.iff")});
    EXPECT_NE(child.find("found a child"), std::string::npos) << child;
    EXPECT_EQ(run({"townie", "replace", hood, "User00001.iff", dir.file("TemplateNPCs/Date1.iff")}), townie + ".bak\n");
    // The date, smaller than a townie, took its place.
    EXPECT_EQ(run({"townie", "list", hood, "--json"}), "[]\n");
}

// The names come from the catalog of a demo game, as the save-back checks
// them against it; names it does not offer are refused.
TEST_F(TownieCommand, SaveBackWritesTheLookThatShowReads) {
    std::string error;
    ASSERT_TRUE(demoworld::writeDemoWorld(dir.file("demo"), error)) << error;
    const json offered = json::parse(run({"catalog", "--game", dir.file("demo"), "--gender", "male", "--body-type", "1",
                                          "--skin-tone", "2", "--json"}));
    ASSERT_TRUE(platform::fileSystem().setCurrentDirectory(dir.str()));  // the catalog entered the game folder
    const std::string bodyMesh = offered["bodyMeshes"][0], bodyTexture = offered["bodyTextures"][0];
    const std::string headMesh = offered["headMesh"], headTexture = offered["headTexture"];
    const std::vector<std::string> look = {"character", "save-back", townie, "--game", dir.file("demo"),
                                           "--body-mesh", bodyMesh, "--body-texture", bodyTexture, "--head-mesh",
                                           headMesh, "--skin-tone", "2", "--body-type", "1", "--head-texture"};
    auto with = [&](const std::string& texture) {
        auto args = look;
        args.push_back(texture);
        return run(args);
    };
    const auto before = fileBytes(townie);
    EXPECT_NE(with("").find("You must choose valid textures to save."), std::string::npos);
    EXPECT_NE(with("c020fadrk_ann").find("found the head texture \"c020fadrk_ann\""), std::string::npos);
    EXPECT_TRUE(fileBytes(townie) == before);

    EXPECT_EQ(with(headTexture), townie + ".bak\nTemplate has been saved to the game. The next time you see Template "
                                          "this is what they will look like.\n");
    EXPECT_EQ(missingFrom(show(townie), {{"skinTone", "Dark"}, {"bodyType", "Full"},
                                         {"bodyMesh", platform::toLower(bodyMesh)},
                                         {"headTexture", platform::toLower(headTexture)}}),
              json::array());
    const json date = json::parse(run({"date", "show", townie, "--json"}));
    EXPECT_EQ(date["appearance"]["16"], "u0fat_swim,BODY=u0fatdrk_swim") << "the outfits take the build and tone";
}

}  // namespace
}  // namespace tryster::test
