#pragma once
// Replacing a player's file so that it is whole whenever the program is
// killed, the system crashes or the power fails: the old file or the new
// one, never an empty or partly written one.
//
//   1. The new bytes are written under a staged name beside the target
//      (`StagedFile::path()`), by whatever writer makes them.
//   2. The staged file is synced: its bytes and size reach the disk.
//   3. It is renamed over the target, which replaces the target in one step.
//   4. The target's folder is synced: the rename reaches the disk.
//
// Without step 2 several common file systems can put the rename on the disk
// before the data, and a power cut leaves an empty file in the target's
// place; without step 4 the rename itself can be lost.
//
// One file:
//
//     StagedFile staged(target);
//     write(staged.path());           // any writer, any number of opens
//     if (!staged.commit()) ...;      // steps 2 to 4; the target is as it was
//
// Several files that go into place together (an install of many files):
//
//     std::vector<StagedFile> files;  // one per target, each written
//     if (!commitTogether(files)) ...;
//
// syncs every staged file first, so none is renamed before all are on the
// disk, then renames each, then syncs each folder once.
//
// A staged file that is not committed is removed when its object goes, and
// a staged name is cleared of what an interrupted run left there by
// `discard()`.

#include <span>
#include <string>
#include <string_view>

namespace tryster::platform {

class StagedFile {
public:
    // The staged name: the target's name followed by this suffix. The game
    // looks only at its own extensions, so it never picks up a staged file.
    static constexpr std::string_view kSuffix = ".tryster-new";

    // `suffix` for a caller that must open the staged file by the
    // extension it gives (at most 7 characters for a combined file's rule).
    explicit StagedFile(std::string_view target, std::string_view suffix = kSuffix);
    // Removes the staged file unless it was committed.
    ~StagedFile();
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::string& path() const { return staged_; }
    const std::string& target() const { return target_; }

    // Steps 2 to 4 above. False, with the staged file removed and the
    // target as it was, when the sync or the rename fails. A folder that
    // cannot be synced (some file systems refuse) does not make it fail:
    // the file is in place by then, and saying otherwise would tell the
    // caller that the old one still is.
    [[nodiscard]] bool commit();
    // The steps one at a time, for commitTogether. `sync` is step 2;
    // `moveIntoPlace` is step 3 (the folder is not synced) and marks the
    // file committed when it succeeds.
    [[nodiscard]] bool sync();
    [[nodiscard]] bool moveIntoPlace();
    // Removes the staged file (also what an interrupted run left there).
    void discard();

private:
    std::string target_;
    std::string staged_;
    bool committed_ = false;
};

// Commits several staged files: every one synced (on a failure none is
// renamed, and every staged file is removed), then each renamed over its
// target in the order given, then the folder of each renamed file synced
// once. False when a sync or a rename failed; the files renamed before a
// failed rename stay in place, as a rename cannot be taken back in the same
// step, and the staged files after it are removed.
[[nodiscard]] bool commitTogether(std::span<StagedFile> files);

// Copies `from` to `to`, which must not exist. False, and nothing left at
// `to`, when the copy could not be completed. Nothing is synced: for a
// staged file that a commit syncs anyway.
[[nodiscard]] bool copyFile(std::string_view from, std::string_view to);

}  // namespace tryster::platform
