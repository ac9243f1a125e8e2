// What a pack's entries may be called.

#include "share/PackPath.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tryster::share;

namespace {

TEST(PackPath, KnownFoldersAndExtensionsAreKeptInTheGamesForm) {
    const std::tuple<const char*, const char*, PackFileKind> cases[] = {
        {"manifest.json", "manifest.json", PackFileKind::Manifest},
        {"TemplateNPCs/Rosa.iff", "TemplateNPCs\\Rosa.iff", PackFileKind::Date},
        {"templatenpcs\\Rosa.SRF", "TemplateNPCs\\Rosa.SRF", PackFileKind::WebExchange},
        {"TemplateNPCs/Rosahead.jpg", "TemplateNPCs\\Rosahead.jpg", PackFileKind::Snapshot},
        {"gamedata/SKINS/b006fafit_01.cmx", "GameData\\Skins\\b006fafit_01.cmx", PackFileKind::CharacterFile},
        {"GameData/Skins/b006.bcf", "GameData\\Skins\\b006.bcf", PackFileKind::CharacterFile},
        {"GameData/Skins/xskin-b006fafit_01-BODY.skn", "GameData\\Skins\\xskin-b006fafit_01-BODY.skn",
         PackFileKind::SkinMesh},
        {"GameData/Skins/x.bmf", "GameData\\Skins\\x.bmf", PackFileKind::SkinMesh},
        {"GameData/Skins/B006FAFitmed_dots.bmp", "GameData\\Skins\\B006FAFitmed_dots.bmp", PackFileKind::Texture},
        // The game's code page holds more than ASCII; names stay UTF-8.
        {"GameData/Skins/caf\xc3\xa9.bmp", "GameData\\Skins\\caf\xc3\xa9.bmp", PackFileKind::Texture},
        {"TemplateNPCs/Zo\xc3\xab\xe2\x82\xac.iff", "TemplateNPCs\\Zo\xc3\xab\xe2\x82\xac.iff", PackFileKind::Date},
    };
    for (const auto& [name, gamePath, kind] : cases) {
        SCOPED_TRACE(name);
        const PackPathCheck check = checkFileName(name);
        ASSERT_TRUE(check.path) << check.problem;
        EXPECT_EQ(check.path->path, gamePath);
        EXPECT_EQ(check.path->kind, kind);
    }
}

TEST(PackPath, EverythingElseIsRefusedWithItsReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "has no name"},
        {"GameData/Skins/../../../.bashrc", "way up"},
        {"GameData/Skins/..", "way up"},
        {"GameData/Skins/.../x.bmp", "way up"},
        {"/etc/passwd", "absolute"},
        {"\\GameData\\Skins\\x.bmp", "absolute"},
        {"C:/Windows/x.bmp", "absolute"},
        {"C:x.bmp", "absolute"},
        {"GameData//Skins/x.bmp", "empty folder name"},
        {"GameData/Skins/x.bmp/", "empty folder name"},
        {"GameData/Skins/con\x01.bmp", "control character"},
        {"GameData/Skins/a\tb.bmp", "control character"},
        {"GameData/Skins/caf\xe9.bmp", "not UTF-8"},
        {"GameData/Skins/Zo\xd1\x8f.bmp", "code page"},
        {"GameData/Skins/x\xe2\x80\xae.bmp", "code page"},
        {"GameData/Skins/a:b.bmp", "':'"},
        {"GameData/Skins/x.bmp.", "ends in a dot"},
        {"GameData/Skins/x.bmp ", "space"},
        {"GameData/Skins/x.exe", "not a kind of file the game reads in that folder"},
        {"GameData/Skins/x.iff", "not a kind of file"},
        {"TemplateNPCs/x.bmp", "not a kind of file"},
        {"GameData/Skins/.bmp", "not a kind of file"},
        {"GameData/Skins/sub/x.bmp", "outside the folders"},
        {"UserData/Characters/User00001.iff", "outside the folders"},
        {"Rosa.iff", "outside the folders"},
        {"autorun.inf", "outside the folders"},
    };
    for (const auto& [name, problem] : cases) {
        SCOPED_TRACE(name);
        const PackPathCheck check = checkFileName(name);
        EXPECT_FALSE(check.path);
        EXPECT_NE(check.problem.find(problem), std::string::npos) << check.problem;
    }
    EXPECT_FALSE(checkFileName(std::string(150, 'a') + ".bmp").path);
}

// The game's platform keeps these names for devices, in any case and before
// any extension; names that only begin like them are files.
TEST(PackPath, DeviceNamesOfTheGamesPlatformAreRefused) {
    for (const char* name : {"CON.bmp", "nul.bmp", "Com1.bmp", "LPT9.cmx", "aux.skn", "prn.tar.bmp", "CON .bmp"})
        EXPECT_NE(checkFileName(std::string("GameData/Skins/") + name).problem.find("name of a device"), std::string::npos) << name;
    for (const char* name : {"nul.iff", "CON.iff"}) EXPECT_FALSE(checkFileName(std::string("TemplateNPCs/") + name).path);
    for (const char* name : {"CONNIE.bmp", "COM10.bmp", "lpt0.cmx", "nullable.bmp", "xcon.bmp"})
        EXPECT_TRUE(checkFileName(std::string("GameData/Skins/") + name).path) << name;
}

TEST(PackPath, OnlyTheDatesFoldersAreKnownFolders) {
    EXPECT_EQ(caseKey("GameData\\Skins\\X.BMP"), caseKey("gamedata\\skins\\x.bmp"));
    EXPECT_EQ(caseKey("TemplateNPCs\\ZO\xc3\x8b.iff"), caseKey("templatenpcs\\zo\xc3\xab.iff")) << "\"\u00cb\" is \"\u00eb\"";
    EXPECT_NE(caseKey("TemplateNPCs\\\xc3\x97.iff"), caseKey("TemplateNPCs\\\xc3\xb7.iff")) << "\"\u00d7\" is no letter";
    EXPECT_EQ(folderProblem("GameData/Skins/.."), "has a way up (..)");
    EXPECT_EQ(folderProblem("Rosa/"), kOutsideFolders);
}

}  // namespace
