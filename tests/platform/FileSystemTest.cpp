#include "platform/FileFinder.h"
#include "platform/FileSystem.h"
#include "platform/ProfileWriter.h"
#include "platform/StagedFile.h"
#include "support/EveryFault.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <algorithm>

#include <unistd.h>

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

TEST(Files, RenameReplacesTheTargetInOneStepAndSyncNeedsNoStandardInput) {
    TempDir dir;
    dir.write("old.iff", "old");
    dir.write("new.tmp", "new");
    EXPECT_TRUE(fileSystem().rename(dir.file("new.tmp"), dir.file("OLD.iff")));
    EXPECT_EQ(dir.read("old.iff"), "new");
    EXPECT_FALSE(fileSystem().exists(dir.file("new.tmp")));
    // Run with standard input closed, the file opened to be synced takes descriptor 0.
    const int input = ::dup(0);
    ::close(0);
    const bool synced = fileSystem().syncFile(dir.file("old.iff"));
    ::dup2(input, 0), ::close(input);
    EXPECT_TRUE(synced);
}

// Runs a test inside a fake install folder, as the program runs inside the
// game's.
class InstallFolder : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = fileSystem().currentDirectory();
        ASSERT_TRUE(fileSystem().setCurrentDirectory(dir.str()));
        finder.registerCategory("ANIM", {"CMX", "BCF"});
        finder.registerCategory("SKIN", {"SKN", "BMF"});
    }
    void TearDown() override { fileSystem().setCurrentDirectory(saved_); }

    TempDir dir;
    FileFinder finder;
    std::string saved_;
};

TEST_F(InstallFolder, EnumeratesACategoryFolderByFolderInNameOrder) {
    dir.write("GameData/cmx/b.cmx", "");
    dir.write("GameData/cmx/A.BCF", "");
    dir.write("GameData/cmx/c.skn", "");
    dir.write("GameData/Skins/z.cmx", "");
    auto files = finder.enumerateCategory("ANIM", "GameData\\Skins;GameData\\missing; GameData\\CMX ");
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].name, "z.cmx");
    EXPECT_EQ(files[1].name, "A.BCF");
    EXPECT_EQ(files[1].type, "BCF");
    EXPECT_EQ(files[1].folder, "GameData\\CMX");
    EXPECT_EQ(files[2].name, "b.cmx");
    EXPECT_EQ(finder.enumerateType("skn", "GameData\\cmx").size(), 1u);
    EXPECT_TRUE(finder.enumerateCategory("NOPE", "GameData\\cmx").empty());
}

TEST(FileNames, TypeAndBaseName) {
    EXPECT_EQ(fileType("a.b.Cmx"), "CMX");
    EXPECT_EQ(fileType("dir.x/noext"), "");
    EXPECT_EQ(baseName("GameData\\Skins\\B003.bmp"), "B003");
    EXPECT_EQ(splitFolderList(";a; b ;;c"), (std::vector<std::string>{"a", "b", "c"}));
}

// Keys in the order first written; a key written again (in any letter case)
// replaces its line; a value's own line breaks are written as they are.
TEST(ProfileWriter, CreatesTheFileAndKeepsOneLinePerKey) {
    TempDir dir;
    std::string path = dir.file("Bob.srf");
    EXPECT_TRUE(writeProfileString(path, "Tryster", "SkinFileCount", "1"));
    EXPECT_TRUE(writeProfileString(path, "Tryster", "Description", "line one\r\nline two\nthree"));
    EXPECT_TRUE(writeProfileString(path, "Tryster", "skinfilecount", "2"));
    EXPECT_EQ(dir.read("Bob.srf"), "[Tryster]\r\nskinfilecount=2\r\nDescription=line one\r\nline two\nthree\r\n");
    EXPECT_FALSE(writeProfileString(dir.file("missing/folder/x.srf"), "Tryster", "a", "b"));
}

// In one pass a value's own lines are never taken for keys.
TEST(ProfileWriter, SeveralKeysInOnePass) {
    TempDir dir;
    std::string path = dir.write("x.srf", "[Tryster]\r\nName=Old\r\n");
    EXPECT_TRUE(writeProfileStrings(path, "Tryster",
                                    {{"Description", "two\r\nNice=lines"}, {"Nice", "3"}, {"name", "Bob"}}));
    EXPECT_EQ(dir.read("x.srf"), "[Tryster]\r\nname=Bob\r\nDescription=two\r\nNice=lines\r\nNice=3\r\n");
}

std::vector<std::string> namesIn(const test::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Any one step refused: a refused sync keeps the old file (nothing is
// renamed that is not on the disk), a refused folder sync still leaves
// the file in place, and no staged file is ever left behind.
TEST(StagedFile, AFailedStepKeepsTheOldFileOrCommits) {
    test::TempDir dir;
    test::FaultyFileSystem faulty;
    faulty.everyChange = true;
    faulty.once = true;
    test::ScopedFileSystem scoped(faulty);
    const std::string target = dir.file("Bob.iff");
    const std::uint64_t steps = test::forEveryFault(faulty, [&] { dir.write("Bob.iff", "old"); }, [&](std::uint64_t n) {
        bool committed = false;
        {
            StagedFile staged(target);
            const bool written = writeWholeFile(staged.path(), "new", 3);
            committed = written && staged.commit();
            EXPECT_FALSE(written && dir.exists("Bob.iff" + std::string(StagedFile::kSuffix))) << "gone at once, step " << n;
        }
        EXPECT_EQ(dir.read("Bob.iff"), committed ? "new" : "old");
        EXPECT_FALSE(dir.exists("Bob.iff" + std::string(StagedFile::kSuffix)));
        if (n == 3) {
            EXPECT_FALSE(committed) << "the sync failed: nothing may be renamed";
        }
        if (n == 5) {
            EXPECT_TRUE(committed) << "only the folder's sync failed";
        }
    });
    EXPECT_EQ(steps, 5u);  // create, write, sync, rename, folder sync
}

TEST(StagedFile, TogetherAFailedSyncOrRenameRenamesNothingAndLeavesNothingStaged) {
    test::TempDir dir;
    test::FaultyFileSystem faulty;
    faulty.everyChange = true;
    test::ScopedFileSystem scoped(faulty);
    faulty.once = true;
    for (std::uint64_t step : {2, 3}) {  // the second file's sync; the first one's rename
        faulty.failFrom = 0;
        std::vector<StagedFile> files;
        for (const char* name : {"one.bmp", "two.bmp"}) {
            dir.write(name, "old");
            files.emplace_back(dir.file(name));
            ASSERT_TRUE(writeWholeFile(files.back().path(), "new", 3));
        }
        faulty.writes = 0;
        faulty.failFrom = step;
        EXPECT_FALSE(commitTogether(files));
        EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"one.bmp", "two.bmp"})) << step;
        EXPECT_EQ(dir.read("one.bmp"), "old");
    }
}

}  // namespace
}  // namespace tryster::platform
