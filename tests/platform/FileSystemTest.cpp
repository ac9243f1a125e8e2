#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

using test::TempDir;

TEST(ResolvePath, FindsEveryComponentInAnotherLetterCase) {
    TempDir dir;
    dir.write("GameData/Skins/B003MAFit.cmx", "x");
    auto resolved = resolvePath(dir.str() + "\\gamedata\\SKINS\\b003mafit.CMX");
    EXPECT_EQ(resolved, dir.path() / "GameData/Skins/B003MAFit.cmx");
    EXPECT_TRUE(fileSystem().exists(dir.str() + "\\gamedata\\skins\\b003mafit.cmx"));
}

TEST(ResolvePath, KeepsTheGivenSpellingPastTheFirstMissingComponent) {
    TempDir dir;
    dir.write("UserData/keep.txt", "x");
    auto resolved = resolvePath(dir.str() + "/userdata/Characters/New.iff");
    EXPECT_EQ(resolved, dir.path() / "UserData/Characters/New.iff");
}

TEST(ResolvePath, PrefersTheExactSpellingWhenBothExist) {
    TempDir dir;
    dir.write("Same.iff", "upper");
    dir.write("same.iff", "lower");
    EXPECT_EQ(resolvePath(dir.str() + "/same.iff"), dir.path() / "same.iff");
    EXPECT_EQ(resolvePath(dir.str() + "/Same.iff"), dir.path() / "Same.iff");
    // Neither matches exactly: the smallest spelling wins, whatever the
    // directory's own order.
    EXPECT_EQ(resolvePath(dir.str() + "/SAME.IFF"), dir.path() / "Same.iff");
    // A new name keeps its spelling.
    EXPECT_EQ(resolvePath(dir.str() + "/Other.iff"), dir.path() / "Other.iff");
}

TEST(ResolvePath, RelativePathsStayRelative) {
    EXPECT_EQ(resolvePath("GameData\\x\\y.bmp").string(), "GameData/x/y.bmp");
    EXPECT_EQ(toNativeSeparators("a\\b/c"), "a/b/c");
}

TEST(FindFiles, ListsMatchesInCaseInsensitiveNameOrder) {
    TempDir dir;
    dir.write("user2.iff", "");
    dir.write("User10.IFF", "");
    dir.write("User1.iff", "");
    dir.write("Neighborhood.iff", "");
    dir.write("User3.iff.bak", "");
    std::filesystem::create_directory(dir.path() / "UserDir.iff");
    EXPECT_EQ(findFiles(dir.str(), "User*.iff"),
              (std::vector<std::string>{"User1.iff", "User10.IFF", "user2.iff"}));
}

TEST(FindFiles, MissingFolderListsNothing) {
    TempDir dir;
    EXPECT_TRUE(findFiles(dir.str() + "/nowhere", "*.iff").empty());
}

TEST(MatchesPattern, Wildcards) {
    EXPECT_TRUE(matchesPattern("User00001.iff", "user*.IFF"));
    EXPECT_TRUE(matchesPattern("a.iff", "*.iff"));
    EXPECT_TRUE(matchesPattern("abc", "a?c"));
    EXPECT_TRUE(matchesPattern("ab.iff.iff", "*.iff"));
    EXPECT_FALSE(matchesPattern("a.iffx", "*.iff"));
    EXPECT_FALSE(matchesPattern("ac", "a?c"));
    EXPECT_FALSE(matchesPattern("Usr1.iff", "User*.iff"));
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

TEST(Files, ReadWriteSeekAndTruncate) {
    TempDir dir;
    std::string path = dir.file("f.bin");
    auto file = fileSystem().open(path, OpenMode::CreateNew);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->write("hello world", 11), 11u);
    EXPECT_TRUE(file->seek(6));
    char buf[8] = {};
    EXPECT_EQ(file->read(buf, 8), 5u);
    EXPECT_EQ(std::string(buf, 5), "world");
    EXPECT_TRUE(file->truncate(5));
    EXPECT_EQ(file->size(), 5u);
    file.reset();
    EXPECT_FALSE(fileSystem().open(path, OpenMode::CreateNew)) << "CreateNew must not replace a file";
    auto readOnly = fileSystem().open(path, OpenMode::Read);
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly->isWritable());
    EXPECT_EQ(readOnly->write("x", 1), 0u);
    EXPECT_EQ(dir.read("f.bin"), "hello");
}

TEST(Files, ReadAndWriteAtAnOffset) {
    TempDir dir;
    std::string path = dir.file("f.bin");
    auto file = fileSystem().open(path, OpenMode::CreateNew);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->write("hello world", 11), 11u);
    EXPECT_EQ(file->writeAt(6, "there", 5), 5u);
    EXPECT_EQ(file->writeAt(13, "!", 1), 1u);  // past the end: the gap reads as zeros
    char buf[16] = {};
    EXPECT_EQ(file->readAt(0, buf, 16), 14u);
    EXPECT_EQ(std::string(buf, 14), std::string("hello there\0\0!", 14));
    EXPECT_EQ(file->readAt(20, buf, 4), 0u);
    file.reset();
    auto readOnly = fileSystem().open(path, OpenMode::Read);
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(readOnly->writeAt(0, "x", 1), 0u);
    EXPECT_EQ(dir.read("f.bin").size(), 14u);
}

TEST(Files, RenameReplacesTheTargetInOneStep) {
    TempDir dir;
    dir.write("old.iff", "old");
    dir.write("new.tmp", "new");
    EXPECT_TRUE(fileSystem().rename(dir.file("new.tmp"), dir.file("OLD.iff")));
    EXPECT_EQ(dir.read("old.iff"), "new");
    EXPECT_FALSE(fileSystem().exists(dir.file("new.tmp")));
}

TEST(Files, JoinPath) {
    EXPECT_EQ(joinPath("a", "b"), "a/b");
    EXPECT_EQ(joinPath("a/", "b"), "a/b");
    EXPECT_EQ(joinPath("a\\", "b"), "a\\b");
    EXPECT_EQ(joinPath("", "b"), "b");
}

}  // namespace
}  // namespace tryster::platform
