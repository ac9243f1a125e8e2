// The web export file's keys and the skin file list.

#include "ExchangeTestSupport.h"
#include "exchange/GameFileNames.h"
#include "exchange/SkinFileList.h"
#include "exchange/WebExchange.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::exchange;

namespace {

using Key = std::pair<std::string, std::string>;

TEST(WebExchangeKeys, AreWrittenInOrderAsDecimalText) {
    test::TempDir dir;
    std::string path = dir.file("Bob.srf");
    PlomData record = test::sampleRecord();
    ASSERT_TRUE(writeWebExchangeKeys(path, record));
    EXPECT_EQ(dir.read("Bob.srf"),
              "[Tryster]\r\nSign=4\r\nCareerPath=3\r\nCareerLevel=4\r\nGender=Male\r\nName=Bob\r\n"
              "Description=Likes long walks.\r\nDislikes short ones.\r\nSkinColor=DRK\r\n"
              "Outgoing=4\r\nNice=9\r\nPlayful=3\r\nNeat=7\r\nActive=2\r\n"
              "Weather=10\r\nHollywood=1\r\nRomance=1\r\nTechnology=1\r\nMoney=10\r\nParties=1\r\nTravel=10\r\n"
              "Politics=10\r\nSixties=10\r\nStyle=1\r\nSports=5\r\nMusic=5\r\nOutdoors=5\r\nFood=5\r\nExercise=5\r\n");

    record.setCareerTrack(-1);
    ASSERT_TRUE(writeWebExchangeKeys(path, record));
    EXPECT_NE(dir.read("Bob.srf").find("\r\nCareerPath=-1\r\n"), std::string::npos);
}

TEST(WebExchangeKeys, ReadOnlyTheirSection) {
    auto keys = parseWebExchangeKeys("a=1\n[Other]\nb=2\n[tryster]\nDescription=x\ny\n\nName=z\r\n[More]\nc=3");
    EXPECT_EQ(keys, (WebExchangeKeys{{"Description", "x\ny\n"}, {"Name", "z"}}));
}

class SkinFiles : public ::testing::Test {
protected:
    void SetUp() override {
        skin("b005fafat_01.cmx", "version 1\nXSkin-B005fafat_01-body\r\nxskin-missing\n../xskin\nsub/xskin\nother\n");
        skin("xskin-b005fafat_01-body.skn", "xskin-b005fafat_01-body\nb005fafatdrk_suit\nmore\n");
        skin("b005fafatdrk_suit.bmp", "BM");
        skin("c020fa_bob.cmx", "xskin-c020fa_bob-head\n");
        skin("xskin-c020fa_bob-head.skn", "head\nb005fafatdrk_suit\r\n");
        skin("c020fadrk_bob.bmp", "BM");
        skin("plain.cmx", "no skins here\n");
        // Reachable only through names that leave the skin folder.
        dir.write("GameData/xskin.skn", "x\ny\n");
        skin("sub/xskin.skn", "x\ny\n");
    }
    void skin(std::string_view name, std::string_view text) { dir.write("GameData/Skins/" + std::string(name), text); }
    std::string path(std::string_view name) const { return folder + std::string(name); }

    test::TempDir dir;
    std::string folder = skinFolderOf(dir.str() + "/");
    Appearance look = test::sampleCharacter().appearance;
};

TEST_F(SkinFiles, FollowTheMeshListsOnceEachAndASecondSaveAppendsTheNewFiles) {
    EXPECT_EQ(folder, dir.file("GameData/Skins/"));
    SkinFileList list;
    collectSkinFiles(folder, look, list);
    EXPECT_EQ(list.entries(), (std::vector<std::string>{
                                  path("b005fafat_01.cmx"), path("xskin-b005fafat_01-body.skn"),
                                  path("b005fafatdrk_suit.bmp"), path("c020fa_bob.cmx"),
                                  path("xskin-c020fa_bob-head.skn"), path("c020fadrk_bob.bmp")}));
    look.bodyMesh = "plain";
    look.headTexture = "missing";
    skin("c020fadrk_other.bmp", "BM");
    look.bodyTexture = "c020fadrk_other";
    collectSkinFiles(folder, look, list);
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.entries()[6], path("plain.cmx"));
    EXPECT_EQ(list.entries()[7], path("c020fadrk_other.bmp"));

    test::TempDir out;
    ASSERT_TRUE(writeSkinFileKeys(out.file("x.srf"), list, dir.str(), ""));
    auto keys = readWebExchangeKeys(out.file("x.srf"));
    ASSERT_TRUE(keys);
    ASSERT_EQ(keys->size(), 9u);
    EXPECT_EQ((*keys)[0], Key("SkinFileCount", "8"));
    EXPECT_EQ((*keys)[8], Key("SkinFile8", "GameData\\Skins\\c020fadrk_other.bmp"));
}

// Written for sharing: never the player's home folder, never a stray "./".
TEST(GameKnownPath, IsRelativeToTheGameFolderOrUnderItsWindowsPath) {
    EXPECT_EQ(gameKnownPath("/home/ann/ploms/GameData/Skins/b006fafit_01.cmx", "/home/ann/ploms", ""),
              "GameData\\Skins\\b006fafit_01.cmx");
    EXPECT_EQ(gameKnownPath("/home/ann/ploms/./GameData/Skins/b006fafit_01.cmx", "/home/ann/ploms/", ""),
              "GameData\\Skins\\b006fafit_01.cmx");
    EXPECT_EQ(gameKnownPath("./GameData/Skins/x.bmp", ".", ""), "GameData\\Skins\\x.bmp");
    EXPECT_EQ(gameKnownPath("/home/ann/ploms/GameData/Skins/x.bmp", "/home/ann/ploms",
                            "C:\\Program Files\\Orvel\\The Ploms"),
              "C:\\Program Files\\Orvel\\The Ploms\\GameData\\Skins\\x.bmp");
    // A folder whose name merely starts like the game's is not inside it.
    EXPECT_EQ(gameKnownPath("/home/ann/ploms2/GameData/Skins/x.bmp", "/home/ann/ploms", ""), "x.bmp");
}

TEST_F(SkinFiles, NamesOutsideTheSkinFolderAreIgnored) {
    look.bodyMesh = "../Skins/b005fafat_01";
    look.headMesh = "none";
    look.headTexture = "none";
    SkinFileList list;
    collectSkinFiles(folder, look, list);
    EXPECT_EQ(list.entries(), (std::vector<std::string>{path("b005fafatdrk_suit.bmp")}));
}

}  // namespace
