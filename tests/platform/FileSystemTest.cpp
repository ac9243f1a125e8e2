#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

using test::TempDir;

TEST(ResolvePath, FindsEveryComponentInAnotherLetterCaseAndKeepsTheRest) {
    TempDir dir;
    dir.write("GameData/Skins/B003MAFit.cmx", "x");
    EXPECT_EQ(resolvePath(dir.str() + "\\gamedata\\SKINS\\b003mafit.CMX"), dir.path() / "GameData/Skins/B003MAFit.cmx");
    EXPECT_TRUE(fileSystem().exists(dir.str() + "\\gamedata\\skins\\b003mafit.cmx"));
    // Past the first missing component the given spelling stays.
    EXPECT_EQ(resolvePath(dir.str() + "/gamedata/Characters/New.iff"), dir.path() / "GameData/Characters/New.iff");
    EXPECT_EQ(resolvePath("GameData\\x\\y.bmp").string(), "GameData/x/y.bmp") << "relative stays relative";
}

TEST(CaseRules, OnlyAsciiLettersFold) {
    EXPECT_TRUE(equalsNoCase("60's STUFF", "60's stuff"));
    EXPECT_FALSE(equalsNoCase("abc", "abcd"));
    EXPECT_TRUE(lessNoCase("apple", "Banana"));
    EXPECT_FALSE(lessNoCase("b", "A"));
    EXPECT_TRUE(containsNoCase("B003MAFitmed", "mafit"));
    EXPECT_TRUE(containsNoCase("x", ""));
    EXPECT_FALSE(containsNoCase("ab", "abc"));
}

TEST(Files, RenameReplacesTheTargetInOneStep) {
    TempDir dir;
    dir.write("old.iff", "old");
    dir.write("new.tmp", "new");
    EXPECT_TRUE(fileSystem().rename(dir.file("new.tmp"), dir.file("OLD.iff")));
    EXPECT_EQ(dir.read("old.iff"), "new");
    EXPECT_FALSE(fileSystem().exists(dir.file("new.tmp")));
}

}  // namespace
}  // namespace tryster::platform
