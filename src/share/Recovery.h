#pragma once
// Finishing what an interrupted install or uninstall left (see Journal.h),
// and undoing an install that failed part-way.

#include "share/Ledger.h"

#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

// Undoes whatever part of an install of `record` reached the game folder:
// staged files are removed; a file the install moved into place goes again
// (or, where it replaced one, the backup moves back); a backup that was
// made, or begun, for a file that was not replaced is removed. Only bytes
// the install wrote are removed: each file's digest is checked first.
// False when some step could not be done (the disk failing): what is left
// is named in `messages`.
[[nodiscard]] bool rollBackInstall(std::string_view gameFolder, const LedgerRecord& record,
                                   std::vector<std::string>& messages);

struct RecoveryOutcome {
    bool clean = true;                  // nothing is left unfinished
    std::vector<std::string> messages;  // what was found and done, for the player
    // The journal cannot be read, so nothing could be finished: the player
    // may set it aside (setJournalAside) after looking at what it names.
    bool damagedJournal = false;
    std::string journalFile;                  // its local path
    std::vector<std::string> journalListing;  // game paths
};

// What a damaged journal means, for the player, without the way out (each
// front end offers its own): a sentence without a closing full stop.
std::string damagedJournalMeaning(const RecoveryOutcome& outcome);

// Run before any install, uninstall or look at the ledger: finishes a job a
// journal names (an install is undone, an uninstall carried on), and removes
// staged files of the ledger and journal left by a kill.
RecoveryOutcome recoverInterrupted(std::string_view gameFolder);

}  // namespace tryster::share
