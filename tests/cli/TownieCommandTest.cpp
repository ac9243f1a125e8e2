// tryster-cli townie and character, run in-process on a game folder of
// character files made from the date template.

#include "RunCli.h"
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
    std::string run(std::vector<std::string> args) {
        return runCli({cli::addTownieCommand, cli::addCharacterCommand}, std::move(args));
    }
    json show(const std::string& path) { return json::parse(run({"character", "show", path, "--json"})); }

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
    EXPECT_NE(child.find("not a townie"), std::string::npos) << child;
    EXPECT_EQ(run({"townie", "replace", hood, "User00001.iff", dir.file("TemplateNPCs/Date1.iff")}), townie + ".bak\n");
    // The date, smaller than a townie, took its place.
    EXPECT_EQ(run({"townie", "list", hood, "--json"}), "[]\n");
}

TEST_F(TownieCommand, SaveBackWritesTheLookThatShowReads) {
    const std::vector<std::string> look = {"character", "save-back", townie, "--body-mesh", "b005fafat_01",
                                           "--body-texture", "b005fafatdrk_suit", "--head-mesh", "c020fa_ann",
                                           "--skin-tone", "2", "--body-type", "1", "--head-texture"};
    const auto before = fileBytes(townie);
    auto refused = look;
    refused.push_back("");
    EXPECT_NE(run(refused).find("You must choose valid textures to save."), std::string::npos);
    EXPECT_TRUE(fileBytes(townie) == before);

    auto args = look;
    args.push_back("c020fadrk_ann");
    EXPECT_EQ(run(args), townie + ".bak\nTemplate has been saved to the game. The next time you see Template this is "
                                  "what they will look like.\n");
    EXPECT_EQ(show(townie), json::parse(R"({"name": "Template", "age": "Adult", "gender": "Male", "skinTone": "Dark",
        "bodyType": "Full", "bodyMesh": "b005fafat_01", "bodyTexture": "b005fafatdrk_suit",
        "headMesh": "c020fa_ann", "headTexture": "c020fadrk_ann"})"));
    resfile::IFFResFile2 file;
    ASSERT_EQ(file.Open(townie), resfile::kNoError);
    resfile::StringSet strings;
    ASSERT_EQ(strings.Load(&file, exchange::kAppearanceListId, false), resfile::kNoError);
    EXPECT_EQ(*strings.GetString(16), "u0fat_swim,BODY=u0fatdrk_swim") << "the outfits take the build and tone";
}

}  // namespace
}  // namespace tryster::test
