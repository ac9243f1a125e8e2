#pragma once
// Taking back an installed shared date, exactly as its ledger record says:
// - what the install added is removed;
// - what it replaced is restored from its backup;
// - a skin another installed date still uses stays (and that date takes
//   over the duty of taking it back, with this date's backup, if any);
// - a file the player changed after the install is kept and reported,
//   never removed, and a backup of a file it cannot restore is kept;
// - a restore that fails keeps the backup, says so, and keeps the entry in
//   the ledger so that running the uninstall again tries again.
// Like an install it writes a journal first (Journal.h): a kill part-way is
// carried on to the end by the next run.

#include "share/Ledger.h"

#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

enum class TakeBack {
    Remove,         // added by the install, unchanged: removed
    Restore,        // replaced by the install: the backup moves back
    Stays,          // another installed date uses it
    KeepChanged,    // changed since the install: kept (and the backup, if any)
    Gone,           // already taken back: added and gone, or replaced and restored
    BackupMissing   // replaced, but its backup is gone: left as it is
};

struct UninstallStep {
    std::string path;    // game path
    TakeBack action = TakeBack::Remove;
    std::string sha256;  // the bytes the install wrote
    std::string backup;  // a replaced file's backup (game path)
    std::string usedBy;  // Stays: the installed date that uses it
};

struct UninstallPlan {
    std::string gameFolder;
    LedgerRecord record;  // the record taken away
    std::size_t recordIndex = 0;  // its place in the ledger
    std::vector<UninstallStep> steps;
    Ledger after;  // the ledger once the record is gone and its duties handed on
    std::vector<std::string> obsoleteBackups;
    std::string problem;  // set when there is nothing to take back

    bool ok() const { return problem.empty(); }
};

// Why an uninstall names no date.
inline constexpr std::string_view kNoDateNamed =
    "no date was named: give the installed date's file name (Rosa or Rosa.iff) or its character's name";

// The plan for the installed date `name`: its file name ("Rosa", "Rosa.iff",
// letter case aside) or, when no date file has that name, the character's
// name if one installed date alone has it.
UninstallPlan planUninstall(std::string_view gameFolder, std::string_view name);
// The plan for the `index`-th record of `ledger` (also used to finish an
// interrupted uninstall).
UninstallPlan planUninstallRecord(std::string_view gameFolder, const Ledger& ledger, std::size_t index);

struct UninstallOutcome {
    bool done = false;  // the ledger no longer lists the date (or only what failed)
    std::vector<std::string> removed;   // game paths
    std::vector<std::string> restored;  // game paths
    std::vector<std::string> notes;     // what was kept, and why, in sentences
    std::string problem;                // why it could not be done at all
    bool leftForRecovery = false;       // its journal stays for the next run
};

UninstallOutcome uninstallSharedDate(const UninstallPlan& plan);

}  // namespace tryster::share
