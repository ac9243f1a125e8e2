#include "platform/FileFinder.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

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

    test::TempDir dir;
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

}  // namespace
}  // namespace tryster::platform
