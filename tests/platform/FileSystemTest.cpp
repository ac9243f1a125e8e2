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

TEST(Files, ReadWriteSeekTruncateAndWorkAtAnOffset) {
    TempDir dir;
    std::string path = dir.file("f.bin");
    auto file = fileSystem().open(path, OpenMode::CreateNew);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->write("hello world", 11), 11u);
    EXPECT_TRUE(file->seek(6));
    char buf[16] = {};
    EXPECT_EQ(file->read(buf, 8), 5u);
    EXPECT_EQ(std::string(buf, 5), "world");
    EXPECT_EQ(file->writeAt(6, "there", 5), 5u);
    EXPECT_EQ(file->writeAt(13, "!", 1), 1u);  // past the end: the gap reads as zeros
    EXPECT_EQ(file->readAt(0, buf, 16), 14u);
    EXPECT_EQ(std::string(buf, 14), std::string("hello there\0\0!", 14));
    EXPECT_EQ(file->readAt(20, buf, 4), 0u);
    EXPECT_TRUE(file->truncate(5));
    EXPECT_EQ(file->size(), 5u);
    file.reset();
    EXPECT_FALSE(fileSystem().open(path, OpenMode::CreateNew)) << "CreateNew must not replace a file";
    auto readOnly = fileSystem().open(path, OpenMode::Read);
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly->isWritable());
    EXPECT_EQ(readOnly->write("x", 1), 0u);
    EXPECT_EQ(readOnly->writeAt(0, "x", 1), 0u);
    EXPECT_EQ(dir.read("f.bin"), "hello");
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
