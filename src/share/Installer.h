#pragma once
// Carrying out an install plan, all or nothing, as one change of the game
// folder's history (GameChange.h): the folder is held and the history read
// afresh, the plan checked against it (the date not installed meanwhile,
// each file still as planned), the journal names every file, the files are
// staged, the files replaced kept as backups, all moved into place
// together (skins first, the date last) and the history takes the entry. A
// failure part-way undoes what was done; a kill leaves the journal, and the
// next run undoes the install from it.

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
    std::int64_t id = 0;  // its entry in the history
};

// `plan` must come from planInstall for `shared` and be ok().
InstallOutcome installSharedDate(const SharedDate& shared, const InstallPlan& plan);

}  // namespace tryster::share
