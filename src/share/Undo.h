#pragma once
// Undoing a change of the history: each file is put back exactly as the
// change found it.
// - What the change added is removed; what it replaced or took away comes
//   back from its backup.
// - A file a later change relies on (an installed date sharing a skin)
//   stays, and that change takes over the duty of taking it back.
// - Only while each file is as the change left it, by digest. A file that
//   changed since is never lost: the undo is refused, naming the file and
//   the change that changed it, or that it was changed outside Tryster;
//   asked to keep the current file, the undo goes on and keeps that file
//   as a backup first.
// - A change whose files a later change changed is refused, naming the
//   later change: they can be undone newest first.
// - A backup that is gone or changed refuses the undo: the file could not
//   be put back as it was (forgetting the change is the way out).
// The undo is journaled like a change (Journal.h) and recorded as an entry
// of its own; a step that fails keeps the backup, and the change stays in
// the history with the files not yet taken back, to try again.

#include "share/History.h"
#include "share/Journal.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

struct UndoPlan {
    std::string gameFolder;
    HistoryEntry entry;  // the change to undo
    std::vector<UndoStep> steps;
    bool keepCurrent = false;
    // Why it cannot be undone as asked: a sentence without its full stop;
    // empty when it can.
    std::string problem;
    // Later changes that changed its files, with the ones that changed
    // theirs, newest first: undone in that order, this one can be.
    std::vector<std::int64_t> laterChanges;
    // Files changed since the change (game paths): refused unless
    // `keepCurrent`, which keeps each as a backup.
    std::vector<std::string> changedFiles;

    bool ok() const { return problem.empty(); }
};

// What undoing change `id` would do now; reads the files, writes nothing.
UndoPlan planUndo(const History& history, std::string_view gameFolder, std::int64_t id, bool keepCurrent);

struct UndoOutcome {
    bool done = false;         // every file is as the change found it
    std::int64_t undoId = 0;   // the undo's entry, where one was recorded
    std::vector<std::string> removed;   // game paths
    std::vector<std::string> restored;  // game paths
    std::vector<std::string> kept;      // backups of the files found there, kept first
    std::vector<std::string> notes;     // what failed or stays, in sentences
    std::string problem;                // why nothing was done
    bool leftForRecovery = false;       // its journal stays for the next run
};

// Holds the game folder, finishes what an interrupted run left, reads the
// history afresh and plans the undo again, then carries it out. Given the
// plan the player agreed to, a plan that differs now is refused.
UndoOutcome undoChange(std::string_view gameFolder, std::int64_t id, bool keepCurrent,
                       const UndoPlan* agreed = nullptr);

// Carries out an undo's journal on a held game folder whose history is
// `history`: the steps (each one seeing whether it was done already), the
// history's result, the journal's removal. Undoing runs it; so does
// finishing an undo a kill interrupted.
UndoOutcome finishUndo(std::string_view gameFolder, History history, const Journal& journal);

}  // namespace tryster::share
