#include "platform/Registry.h"
#include "platform/WineRegistry.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace tryster::platform {
namespace {

constexpr const char* kKey = "Software\\Orvel\\The Ploms";

// Each test has its own registry file and its own (empty) Wine prefix, so
// the machine's own ~/.wine never answers.
class RegistryFile : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TRYSTER_REGISTRY", dir.file("registry.ini").c_str(), 1);
        ::setenv("WINEPREFIX", dir.file("wine").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("TRYSTER_REGISTRY");
        ::unsetenv("WINEPREFIX");
    }
    test::TempDir dir;
};

TEST_F(RegistryFile, KeyAndValueNamesIgnoreCase) {
    dir.write("registry.ini", "[hkey_local_machine\\SOFTWARE\\orvel\\the ploms]\nploms_data = \"/x y\"\n");
    auto v = readMachineValue(kKey, "PLOMS_DATA");
    EXPECT_TRUE(v.keyOpened);
    EXPECT_EQ(v.value, "/x y");
}

TEST_F(RegistryFile, WithoutTheSectionNothingOpensAndWithoutTheValueItIsEmpty) {
    EXPECT_FALSE(readMachineValue(kKey, "PLOMS_DATA").keyOpened) << "no file";
    dir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel]\nPLOMS_DATA=/x\n");
    EXPECT_FALSE(readMachineValue(kKey, "PLOMS_DATA").keyOpened);
    dir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nOTHER=1\n");
    auto v = readMachineValue(kKey, "PLOMS_DATA");
    EXPECT_TRUE(v.keyOpened);
    EXPECT_EQ(v.value, "");
    dir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nPLOMS_DATA=" +
                                  std::string(kMaxRegistryValue + 1, 'a') + "\n");
    EXPECT_EQ(readMachineValue(kKey, "PLOMS_DATA").value, "") << "overlong";
}

// A prefix as Wine and the game's installer leave it: system.reg with the
// key among others, dosdevices/c: linked to drive_c, the game's folder.
class WinePrefix : public RegistryFile {
protected:
    void SetUp() override {
        RegistryFile::SetUp();
        dir.write("wine/drive_c/Program Files/Orvel/The Ploms/GameData/readme.txt", "x");
        std::filesystem::create_directories(dir.path() / "wine/dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", dir.path() / "wine/dosdevices/c:");
        std::filesystem::create_directory_symlink("/", dir.path() / "wine/dosdevices/z:");
    }
    // system.reg with the key `key` holding `values`, between two others.
    void writeSystemReg(const std::string& key, const std::string& values) {
        dir.write("wine/system.reg", R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win32

[Software\\Orvel] 1700000000
#time=1da0c1d2e3f4a5b
"PLOMS_DATA"="C:\\wrong"

[)" + key + "] 1700000001\n#time=1da0c1d2e3f4a5c\n" +
                                         values + R"(

[Software\\Other] 1700000002
"PLOMS_DATA"="C:\\wrong"
)");
    }
    std::string local(const std::string& relative) const {
        return std::filesystem::weakly_canonical(dir.path() / "wine/drive_c" / relative).string();
    }
};

TEST_F(WinePrefix, WithoutARegistryFileTheInstallersKeyIsFoundAndMapped) {
    // Other values around it, and letter case unlike the disk's.
    writeSystemReg(R"(Software\\Orvel\\The Ploms)", R"(@="default"
"Version"=dword:00000001
"Data"=hex:01,02,\
  03,04
"ploms_data"="c:\\PROGRAM FILES\\orvel\\THE PLOMS\\")");
    auto v = readMachineValue(kKey, "PLOMS_DATA");
    EXPECT_TRUE(v.keyOpened);
    EXPECT_EQ(v.value, local("Program Files/Orvel/The Ploms"));
}

// The web exchange file names the game's files by the Windows path, so it
// is given only for the very folder the prefix's value maps to.
TEST_F(WinePrefix, TheWindowsPathIsGivenForTheFolderItMapsToOnly) {
    writeSystemReg(R"(Software\\Orvel\\The Ploms)", R"("PLOMS_DATA"="c:\\Program Files\\Orvel\\The Ploms\\")");
    EXPECT_EQ(readMachineValue(kKey, "PLOMS_DATA").windowsPath, "c:\\Program Files\\Orvel\\The Ploms\\");
    EXPECT_EQ(windowsPathOfFolder(kKey, "PLOMS_DATA", local("Program Files/Orvel/The Ploms") + "/"),
              "c:\\Program Files\\Orvel\\The Ploms");
    EXPECT_EQ(windowsPathOfFolder(kKey, "PLOMS_DATA", local("Program Files/Orvel")), "");
    // A value in the registry file is no Wine path.
    dir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nPLOMS_DATA=" +
                                  local("Program Files/Orvel/The Ploms") + "\n");
    EXPECT_EQ(windowsPathOfFolder(kKey, "PLOMS_DATA", local("Program Files/Orvel/The Ploms")), "");
}

TEST_F(WinePrefix, EscapesInValuesAreRead) {
    dir.write("wine/drive_c/Jeux \xc3\xa9t\xc3\xa9 \"1\"/keep.txt", "x");
    writeSystemReg(R"(Software\\Orvel\\The Ploms)", R"("PLOMS_DATA"="C:\\Jeux \x00e9t\351 \"1\"")");
    EXPECT_EQ(readMachineValue(kKey, "PLOMS_DATA").value, local("Jeux \xc3\xa9t\xc3\xa9 \"1\""));
}

TEST_F(WinePrefix, TheRegistryFileWinsWhereItHasTheValue) {
    writeSystemReg(R"(Software\\Orvel\\The Ploms)", R"("PLOMS_DATA"="C:\\Program Files")");
    dir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nPLOMS_DATA=/from/file\n");
    EXPECT_EQ(readMachineValue(kKey, "PLOMS_DATA").value, "/from/file");
    // A section without the value leaves the question to Wine.
    dir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nOTHER=1\n");
    EXPECT_EQ(readMachineValue(kKey, "PLOMS_DATA").value, local("Program Files"));
}

}  // namespace
}  // namespace tryster::platform
