#pragma once
// One change to a game folder, made with its record or not at all. Every
// writer goes through it: a new date, a replaced townie and a look saved
// back (as their exchange::FilePlacement) and an install (Installer.h).
//
// While it lives it holds the game folder (platform::FolderLock), so two
// copies of the program never change one folder at once; it finishes what
// an interrupted run left, then reads the history afresh. Then:
// 1. begin(): the journal names the files about to be built, so a kill
//    while they are built leaves nothing behind;
// 2. the writer builds each under its staged name;
// 3. commit(): the journal is written again naming every file, what it
//    finds there and the backup it will keep; each file that is replaced
//    is copied to its backup and synced, each file taken away is moved to
//    its backup; the built files are synced, all of them, and moved into
//    place (platform::commitTogether); the history takes the entry; the
//    journal goes.
// A failure before the history has the entry undoes what was done: the
// game folder is as it was. A kill leaves the journal, and the next run
// undoes the change from it (Recovery.h).
//
// Files outside the game folder (a date saved elsewhere) are put in place
// the same way, backups and all, but the change is not recorded: no
// history lists it, and nothing holds or journals it.

#include "exchange/FilePlacement.h"
#include "platform/FileSystem.h"
#include "share/History.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tryster::share {

// How long a change waits while another copy of the program holds the
// game folder: longer than any one change takes.
inline constexpr std::uint32_t kFolderWaitMs = 20000;

// The closing messages' sentence for a recorded change.
inline constexpr std::string_view kUndoableNote = "This change can be undone from History on the first page.";

// Holds `gameFolder` as a change does, or says why it cannot.
struct FolderHold {
    std::unique_ptr<platform::FolderLock> lock;
    std::string problem;  // a sentence without its full stop
};
FolderHold holdGameFolder(std::string_view gameFolder);

struct ChangeOutcome {
    bool done = false;
    std::string problem;  // why not: a sentence without its full stop
    // It was left half done and could not be undone now (the disk
    // failing throughout); its journal stays for the next run.
    bool leftForRecovery = false;
    std::int64_t id = 0;  // the entry's number; 0 when not recorded
    HistoryEntry entry;   // what was done (game paths where recorded)
    std::vector<std::string> backups;  // local paths, in the order of the files
};

class GameChange final : public exchange::FilePlacement {
public:
    // `gameFolder` empty: files outside any game folder.
    GameChange(std::string gameFolder, ChangeKind kind);
    // A change begun and never committed (its writer gave up) takes its
    // journal with it; what was built is gone by then.
    ~GameChange() override;
    GameChange(const GameChange&) = delete;
    GameChange& operator=(const GameChange&) = delete;

    bool ready() const { return problem_.empty(); }
    // Why the change cannot be made: a sentence without its full stop.
    const std::string& reason() const { return problem_; }
    // As read inside the hold.
    const History& history() const { return history_; }
    // An install: the character (UTF-8), the date and the archive.
    void describeInstall(std::string name, std::string date, std::string pack);

    // One file of the change.
    struct File {
        std::string target;                     // local path
        platform::StagedFile* built = nullptr;  // the new bytes; null: relied on, or taken away
        bool remove = false;                    // taken away
        std::string sha256;                     // of the bytes built or relied on; empty: computed
        // What the change must find at the target: this digest, "" for no
        // file; none: whatever is there. Otherwise nothing is done.
        std::optional<std::string> found;
    };
    ChangeOutcome commit(std::vector<File> files);

    // The entry the last commit added; 0 when none was recorded.
    std::int64_t recordedId() const { return recordedId_; }

    // FilePlacement, for the exchange writers.
    bool begin(std::span<const std::string> targets) override;
    void describe(std::string_view characterName) override;
    exchange::Placement place(std::span<platform::StagedFile> built, std::span<const std::string> removed) override;
    std::string problem() const override;

private:
    bool recordable(std::span<const std::string> targets);
    ChangeOutcome fail(std::string problem);

    std::string folder_;
    HistoryEntry entry_;
    FolderHold hold_;
    History history_;
    std::string problem_;
    bool recorded_;
    bool staging_ = false;  // a stage journal is on the disk
    std::int64_t recordedId_ = 0;
};

}  // namespace tryster::share
