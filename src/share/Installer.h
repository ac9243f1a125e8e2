#pragma once
// Carrying out an install plan, all or nothing. In order:
// 1. the journal is written, naming every file the install will touch;
// 2. each file to write is staged beside its target, and each file to
//    replace is copied to its backup, synced with its folder;
// 3. the staged files are synced, all of them, then moved over their
//    targets, skins first and the date last, each move one step, and their
//    folders synced (platform::commitTogether);
// 4. the ledger takes the new record, and the journal is removed.
// A failure before step 4 ends undoes what was done (Recovery.h): the game
// folder is as it was. A kill leaves the journal, and the next run undoes
// the install from it.

#include "share/InstallPlan.h"

#include <string>
#include <vector>

namespace tryster::share {

struct InstallOutcome {
    bool installed = false;
    std::vector<std::string> written;  // game paths, in the order they were moved into place
    std::vector<std::string> backups;  // game paths of the backups kept
    // Why it was not installed: a sentence without a closing full stop.
    std::string problem;
    // The install was left half done and could not be undone now (the
    // disk failing throughout); its journal stays for the next run.
    bool leftForRecovery = false;
};

// `plan` must come from planInstall for `shared` and be ok().
InstallOutcome installSharedDate(const SharedDate& shared, const InstallPlan& plan);

// The record an install of `plan` adds to the ledger.
LedgerRecord recordOf(const SharedDate& shared, const InstallPlan& plan);

}  // namespace tryster::share
