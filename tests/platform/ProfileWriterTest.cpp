#include "platform/ProfileWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

// Keys in the order first written; a key written again (in any letter case)
// replaces its line; a value's own line breaks are written as they are.
TEST(ProfileWriter, CreatesTheFileAndKeepsOneLinePerKey) {
    test::TempDir dir;
    std::string path = dir.file("Bob.srf");
    EXPECT_TRUE(writeProfileString(path, "Tryster", "SkinFileCount", "1"));
    EXPECT_TRUE(writeProfileString(path, "Tryster", "Description", "line one\r\nline two\nthree"));
    EXPECT_TRUE(writeProfileString(path, "Tryster", "skinfilecount", "2"));
    EXPECT_EQ(dir.read("Bob.srf"), "[Tryster]\r\nskinfilecount=2\r\nDescription=line one\r\nline two\nthree\r\n");
    EXPECT_FALSE(writeProfileString(dir.file("missing/folder/x.srf"), "Tryster", "a", "b"));
}

// In one pass a value's own lines are never taken for keys.
TEST(ProfileWriter, SeveralKeysInOnePass) {
    test::TempDir dir;
    std::string path = dir.write("x.srf", "[Tryster]\r\nName=Old\r\n");
    EXPECT_TRUE(writeProfileStrings(path, "Tryster",
                                    {{"Description", "two\r\nNice=lines"}, {"Nice", "3"}, {"name", "Bob"}}));
    EXPECT_EQ(dir.read("x.srf"), "[Tryster]\r\nname=Bob\r\nDescription=two\r\nNice=lines\r\nNice=3\r\n");
}

}  // namespace
}  // namespace tryster::platform
