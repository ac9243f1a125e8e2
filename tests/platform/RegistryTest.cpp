#include "platform/Registry.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tryster::platform {
namespace {

constexpr const char* kKey = "Software\\Orvel\\The Ploms";

class RegistryFile : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("TRYSTER_REGISTRY", dir.file("registry.ini").c_str(), 1); }
    void TearDown() override { ::unsetenv("TRYSTER_REGISTRY"); }
    test::TempDir dir;
};

TEST_F(RegistryFile, ReadsTheValueOfItsSection) {
    dir.write("registry.ini",
              "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\nPLOMS_DATA=/wrong\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\r\nPLOMS_DATA=/home/me/ploms\r\n");
    auto v = readMachineValue(kKey, "PLOMS_DATA");
    EXPECT_TRUE(v.keyOpened);
    EXPECT_EQ(v.value, "/home/me/ploms");
}

TEST_F(RegistryFile, KeyAndValueNamesIgnoreCase) {
    dir.write("registry.ini", "[hkey_local_machine\\SOFTWARE\\orvel\\the ploms]\nploms_data = \"/x y\"\n");
    auto v = readMachineValue(kKey, "PLOMS_DATA");
    EXPECT_TRUE(v.keyOpened);
    EXPECT_EQ(v.value, "/x y");
}

TEST_F(RegistryFile, MissingFileOrSectionCannotBeOpened) {
    EXPECT_FALSE(readMachineValue(kKey, "PLOMS_DATA").keyOpened);
    dir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel]\nPLOMS_DATA=/x\n");
    EXPECT_FALSE(readMachineValue(kKey, "PLOMS_DATA").keyOpened);
}

TEST_F(RegistryFile, MissingOrOverlongValueIsEmpty) {
    dir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nOTHER=1\n");
    auto v = readMachineValue(kKey, "PLOMS_DATA");
    EXPECT_TRUE(v.keyOpened);
    EXPECT_EQ(v.value, "");
    dir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nPLOMS_DATA=" +
                                  std::string(kMaxRegistryValue + 1, 'a') + "\n");
    EXPECT_EQ(readMachineValue(kKey, "PLOMS_DATA").value, "");
}

TEST(RegistryPath, FollowsXdgConfigHome) {
    ::unsetenv("TRYSTER_REGISTRY");
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(registryFilePath(), "/cfg/tryster/registry.ini");
    if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1); else ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace tryster::platform
