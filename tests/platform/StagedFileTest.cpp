// Staged files reach the disk in the order a crash-safe write needs: data,
// sync, rename, folder sync; a failure before the rename keeps the target.

#include "platform/StagedFile.h"
#include "support/EveryFault.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tryster::platform {
namespace {

using Kind = test::RecordingFileSystem::Kind;
using test::RecordingFileSystem;

std::vector<std::string> namesIn(const test::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<Kind> kinds(const RecordingFileSystem& fs) {
    std::vector<Kind> out;
    for (const auto& e : fs.events) out.push_back(e.kind);
    return out;
}

TEST(StagedFile, CommitSyncsTheDataBeforeTheRenameAndTheFolderAfter) {
    test::TempDir dir;
    dir.write("Bob.iff", "old");
    RecordingFileSystem recording;
    test::ScopedFileSystem scoped(recording);
    StagedFile staged(dir.file("Bob.iff"));
    ASSERT_TRUE(writeWholeFile(staged.path(), "new", 3));
    ASSERT_TRUE(staged.commit());

    EXPECT_EQ(kinds(recording), (std::vector<Kind>{Kind::Write, Kind::Write, Kind::Sync, Kind::Rename,
                                                   Kind::SyncFolder}));
    EXPECT_EQ(recording.events[2].path, RecordingFileSystem::key(staged.path()));
    EXPECT_EQ(recording.events[4].path, RecordingFileSystem::key(dir.str()));
    EXPECT_TRUE(recording.undurable().empty());
    EXPECT_EQ(dir.read("Bob.iff"), "new");
    EXPECT_FALSE(dir.exists("Bob.iff" + std::string(StagedFile::kSuffix)));
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

TEST(StagedFile, TogetherEveryFileIsSyncedBeforeAnyIsRenamed) {
    test::TempDir dir;
    RecordingFileSystem recording;
    test::ScopedFileSystem scoped(recording);
    std::vector<StagedFile> files;
    for (const char* name : {"a/one.bmp", "b/two.bmp", "a/three.bmp"}) {
        dir.write(name, "old");
        files.emplace_back(dir.file(name));
        ASSERT_TRUE(writeWholeFile(files.back().path(), "new", 3));
    }
    recording.events.clear();
    ASSERT_TRUE(commitTogether(files));
    EXPECT_EQ(kinds(recording), (std::vector<Kind>{Kind::Sync, Kind::Sync, Kind::Sync, Kind::Rename, Kind::Rename,
                                                   Kind::Rename, Kind::SyncFolder, Kind::SyncFolder}));
    for (const char* name : {"a/one.bmp", "b/two.bmp", "a/three.bmp"}) EXPECT_EQ(dir.read(name), "new");
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
