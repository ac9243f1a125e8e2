#include "platform/ProfileWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

TEST(ProfileWriter, CreatesTheFileWithSectionAndKeysInOrder) {
    test::TempDir dir;
    std::string path = dir.file("Bob.srf");
    EXPECT_TRUE(writeProfileString(path, "Tryster", "Sign", "4"));
    EXPECT_TRUE(writeProfileString(path, "Tryster", "Name", "Bob"));
    EXPECT_EQ(dir.read("Bob.srf"), "[Tryster]\r\nSign=4\r\nName=Bob\r\n");
}

TEST(ProfileWriter, AKeyWrittenTwiceStaysOneLine) {
    test::TempDir dir;
    std::string path = dir.file("x.srf");
    writeProfileString(path, "Tryster", "SkinFileCount", "1");
    writeProfileString(path, "Tryster", "SkinFile1", "a");
    writeProfileString(path, "Tryster", "skinfilecount", "2");
    EXPECT_EQ(dir.read("x.srf"), "[Tryster]\r\nskinfilecount=2\r\nSkinFile1=a\r\n");
}

TEST(ProfileWriter, MultiLineValueIsWrittenUnchanged) {
    test::TempDir dir;
    std::string path = dir.file("x.srf");
    writeProfileString(path, "Tryster", "Description", "line one\r\nline two\nthree");
    writeProfileString(path, "Tryster", "SkinColor", "MED");
    EXPECT_EQ(dir.read("x.srf"),
              "[Tryster]\r\nDescription=line one\r\nline two\nthree\r\nSkinColor=MED\r\n");
}

TEST(ProfileWriter, KeysGoIntoTheirOwnSection) {
    test::TempDir dir;
    std::string path = dir.write("x.ini", "[A]\r\none=1\r\n\r\n[B]\r\ntwo=2\r\n");
    writeProfileString(path, "A", "three", "3");
    writeProfileString(path, "C", "four", "4");
    EXPECT_EQ(dir.read("x.ini"), "[A]\r\none=1\r\nthree=3\r\n\r\n[B]\r\ntwo=2\r\n[C]\r\nfour=4\r\n");
}

// In one pass a value's own lines are never taken for keys.
TEST(ProfileWriter, SeveralKeysInOnePass) {
    test::TempDir dir;
    std::string path = dir.write("x.srf", "[Tryster]\r\nName=Old\r\n");
    EXPECT_TRUE(writeProfileStrings(path, "Tryster",
                                    {{"Description", "two\r\nNice=lines"}, {"Nice", "3"}, {"name", "Bob"}}));
    EXPECT_EQ(dir.read("x.srf"), "[Tryster]\r\nname=Bob\r\nDescription=two\r\nNice=lines\r\nNice=3\r\n");
}

TEST(ProfileWriter, UnwritablePathFails) {
    test::TempDir dir;
    EXPECT_FALSE(writeProfileString(dir.file("missing/folder/x.srf"), "Tryster", "a", "b"));
}

}  // namespace
}  // namespace tryster::platform
