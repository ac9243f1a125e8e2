#pragma once
// The journal of an install or uninstall under way, beside the ledger in the
// game folder ("TrysterLedger.journal.json"). It is written, complete, before
// the first file of the game folder changes and removed after the ledger has
// taken the result, so a run that is killed or loses power in between leaves
// it behind, and the next run finishes the job from it (Recovery.h):
// - an install is rolled back: what it moved into place is taken away or
//   restored from its backup, what it staged is removed; the player never
//   saw it finish, so nothing is left half there;
// - an uninstall is carried on to its end.
// The journal of an install names every file it will touch, with digests,
// so the rollback removes only bytes it wrote itself.

#include "share/Ledger.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

inline constexpr std::string_view kJournalFileName = "TrysterLedger.journal.json";

struct Journal {
    enum class Operation { Install, Uninstall };
    Operation operation = Operation::Install;
    // An install: the record it is adding, every file and backup named.
    // An uninstall: the record it is taking away (its date is what counts).
    LedgerRecord record;
    // An uninstall: backups that no record needs once it is done, removed
    // after the ledger has taken the result.
    std::vector<std::string> obsoleteBackups;
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

// A journal that cannot be read stops every install and uninstall: nothing
// can tell what its run changed. The player's way out, after looking at
// what it names: it is renamed aside ("TrysterLedger.journal.damaged.json",
// "TrysterLedger.journal.damaged-2.json", ...) and kept, never removed. The
// name it now has, or none when it could not be moved.
inline constexpr std::string_view kDamagedJournalStem = "TrysterLedger.journal.damaged";
// How the window offers it, after what the journal names.
inline constexpr std::string_view kSetJournalAsideQuestion =
    "Set the journal aside and go on? It is kept in the game folder as TrysterLedger.journal.damaged.json (or "
    "a numbered name beside it), and nothing else is changed.";
std::optional<std::string> setJournalAside(std::string_view gameFolder);

}  // namespace tryster::share
