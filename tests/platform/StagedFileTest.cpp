// Staged files survive a power cut at any step whole, old or new; a
// failure before the rename keeps the target.

#include "platform/StagedFile.h"
#include "support/EveryFault.h"
#include "support/FaultyFileSystem.h"
#include "support/PowerCutFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tryster::platform {
namespace {

using State = test::PowerCutFileSystem::State;

std::vector<std::string> namesIn(const test::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The power cut after any step, one file or several together: in every
// state the disk may hold, each file is the old one or the new one, never
// empty or cut short; once the commit returned, only the new one.
TEST(StagedFile, APowerCutAnywhereLeavesEachFileOldOrNew) {
    const std::vector<std::string> names = {"a/one.bmp", "b/two.bmp", "a/three.bmp"};
    for (bool together : {false, true}) {
        test::TempDir dir;
        for (const std::string& name : names) dir.write(name, "old");
        test::PowerCutFileSystem cut(dir.str());
        {
            test::ScopedFileSystem scoped(cut);
            std::vector<StagedFile> files;
            for (const std::string& name : names) {
                files.emplace_back(dir.file(name));
                ASSERT_TRUE(writeWholeFile(files.back().path(), "new", 3));
                ASSERT_TRUE(together || files.back().commit());
            }
            ASSERT_TRUE(!together || commitTogether(files));
        }
        std::size_t states = 0;
        cut.forEachState([&](const State& state, bool done) {
            ++states;
            for (const std::string& name : names) {
                const auto& bytes = state.at(name);
                const std::string text = bytes ? std::string(bytes->begin(), bytes->end()) : "(none)";
                EXPECT_TRUE(text == "new" || (text == "old" && !done)) << name << ": " << text;
            }
        });
        EXPECT_GT(states, 3u);
        EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"a", "b"}));
    }
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
            committed = writeWholeFile(staged.path(), "new", 3) && staged.commit();
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

TEST(StagedFile, TogetherAFailedSyncRenamesNothing) {
    test::TempDir dir;
    test::FaultyFileSystem faulty;
    faulty.everyChange = true;
    test::ScopedFileSystem scoped(faulty);
    std::vector<StagedFile> files;
    for (const char* name : {"one.bmp", "two.bmp"}) {
        dir.write(name, "old");
        files.emplace_back(dir.file(name));
        ASSERT_TRUE(writeWholeFile(files.back().path(), "new", 3));
    }
    faulty.writes = 0;
    faulty.failFrom = 2;  // the second file's sync
    faulty.once = true;
    EXPECT_FALSE(commitTogether(files));
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"one.bmp", "two.bmp"}));
    EXPECT_EQ(dir.read("one.bmp"), "old");
}

}  // namespace
}  // namespace tryster::platform
