#pragma once
// The journal of a change, an undo or a forget under way, beside the
// history in the game folder ("TrysterLedger.journal.json"). It is written,
// complete, before the first file of the game folder changes and removed
// after the history has taken the result, so a run that is killed or loses
// power in between leaves it behind, and the next run finishes the job
// from it (Recovery.h):
// - a change whose files are being built names their targets first, and
//   what it staged beside them is removed;
// - a change being put in place is rolled back: the player never saw it
//   finish, so nothing is left half there. Its journal names every file
//   with digests, so the rollback removes only bytes the change wrote;
// - an undo is carried on to its end, step by step as the journal lists
//   them (each step sees whether it was done already);
// - a forget is carried on: the history marks the change forgotten, then
//   its backups are deleted.
// A journal left by version 1 (an install or an uninstall) is read as a
// change or an undo of that install.

#include "share/History.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

inline constexpr std::string_view kJournalFileName = "TrysterLedger.journal.json";

// One step of an undo, as it was planned (Undo.h).
enum class UndoAction {
    Remove,   // written by the change, as it left it: removed
    Restore,  // replaced or taken away by the change: its backup moves back
    Stays,    // a later change relies on it: left, and that change takes it over
    Gone      // already as the change found it
};

struct UndoStep {
    std::string path;  // game path
    UndoAction action = UndoAction::Remove;
    std::string found;         // digest of the file there when planned; empty: none
    std::string backup;        // Restore: what moves back (game path)
    std::string backupSha256;  // its digest
    // Where the file found there is kept first, when the player chose to
    // keep it (a game path named after `path`); empty otherwise.
    std::string keptAs;
    std::int64_t heir = 0;  // Stays: the later change that takes the file over
};

struct Journal {
    enum class Operation { Stage, Change, Undo, Forget };
    Operation operation = Operation::Change;
    // Stage: the kind and name, and the targets (as files without roles).
    // Change: the entry it adds, every file and backup named; id 0 for a
    // version-1 install (known by its date). Undo: the undo's entry (id,
    // time, name), its files filled in as the steps are done.
    HistoryEntry entry;
    // Undo, Forget: the change undone or forgotten (0 for a version-1
    // uninstall, which names its date in `entry.date`).
    std::int64_t target = 0;
    std::vector<UndoStep> steps;           // Undo
    std::vector<std::string> obsoleteBackups;  // Forget: deleted once the history has the result
};

std::string journalPath(std::string_view gameFolder);

// Through a staged file, so a journal found under its own name is whole.
[[nodiscard]] bool writeJournal(std::string_view gameFolder, const Journal& journal);

struct JournalReading {
    bool found = false;
    std::optional<Journal> journal;  // set when found and readable
    std::string problem;             // set when found and not readable
    // Not readable: the game paths it names as far as they can be made
    // out, for the player to look at before setting it aside.
    std::vector<std::string> listed;
};
JournalReading readJournal(std::string_view gameFolder);

[[nodiscard]] bool removeJournal(std::string_view gameFolder);

// A journal that cannot be read stops every change: nothing can tell what
// its run changed. The player's way out, after looking at what it names:
// it is renamed aside ("TrysterLedger.journal.damaged.json",
// "TrysterLedger.journal.damaged-2.json", ...) and kept, never removed. The
// name it now has, or none when it could not be moved.
inline constexpr std::string_view kDamagedJournalStem = "TrysterLedger.journal.damaged";
// How the window offers it, after what the journal names.
inline constexpr std::string_view kSetJournalAsideQuestion =
    "Set the journal aside and go on? It is kept in the game folder as TrysterLedger.journal.damaged.json (or "
    "a numbered name beside it), and nothing else is changed.";
std::optional<std::string> setJournalAside(std::string_view gameFolder);

}  // namespace tryster::share
