#pragma once
// Finishing what an interrupted change, undo or forget left (see
// Journal.h), and undoing a change that failed part-way.

#include "share/History.h"

#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

// Undoes whatever part of the change `entry` reached the game folder:
// staged files are removed; a file the change moved into place goes again
// (or, where it replaced one, the backup moves back); a file it took away
// comes back from its backup; a backup that was made, or begun, for a file
// that was not replaced is removed. Only bytes the change wrote are
// removed: each file's digest is checked first. Paths of an entry that is
// not recorded are local, with `gameFolder` empty. False when some step
// could not be done (the disk failing): what is left is named in
// `messages`.
[[nodiscard]] bool rollBackChange(std::string_view gameFolder, const HistoryEntry& entry,
                                  std::vector<std::string>& messages);

struct RecoveryOutcome {
    bool clean = true;                  // nothing is left unfinished
    std::vector<std::string> messages;  // what was found and done, for the player
    // The journal cannot be read, so nothing could be finished: the player
    // may set it aside (setJournalAside) after looking at what it names.
    bool damagedJournal = false;
    // Another copy of the program held the folder past the wait: nothing
    // was looked at, and the one message says so.
    bool folderBusy = false;
    std::string journalFile;                  // its local path
    std::vector<std::string> journalListing;  // game paths
};

// What a damaged journal means, for the player, without the way out (each
// front end offers its own): a sentence without a closing full stop.
std::string damagedJournalMeaning(const RecoveryOutcome& outcome);

// Run before any change, undo, forget or look at the history: holds the
// game folder, finishes a job a journal names (a change is rolled back, an
// undo or a forget carried on) and removes staged files of the history
// and journal left by a kill.
RecoveryOutcome recoverInterrupted(std::string_view gameFolder);
// The same for a caller that holds the game folder already.
RecoveryOutcome recoverHeld(std::string_view gameFolder);

}  // namespace tryster::share
