#pragma once
// One demo game folder per test program, written on first use and removed
// at exit, and a guard that makes it the current directory (the game's
// folder lists are relative to it, as in the program).

#include "demoworld/DemoWorld.h"

#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace tryster::test {

inline const std::string& demoFolder() {
    static std::unique_ptr<TempDir> dir;
    static std::string folder;
    if (!dir) {
        dir = std::make_unique<TempDir>();
        folder = dir->file("game");
        std::string error;
        EXPECT_TRUE(demoworld::writeDemoWorld(folder, error)) << error;
    }
    return folder;
}

class InDemoFolder {
public:
    InDemoFolder() : previous_(platform::fileSystem().currentDirectory()) {
        EXPECT_TRUE(platform::fileSystem().setCurrentDirectory(demoFolder()));
    }
    ~InDemoFolder() { (void)platform::fileSystem().setCurrentDirectory(previous_); }
    InDemoFolder(const InDemoFolder&) = delete;
    InDemoFolder& operator=(const InDemoFolder&) = delete;

private:
    std::string previous_;
};

}  // namespace tryster::test
