#pragma once
// Where the writers' files go into the game. A writer (a new date, a
// replaced townie, a look saved back) builds each file it makes under a
// staged name beside its target and then hands them all to a placement,
// which puts them in place together and keeps a backup of every file they
// replace or take away. How that is made safe and how the change is
// remembered is the placement's business: the program's is the game
// folder's history (share/GameChange.h), which journals the change, holds
// the game folder meanwhile and records it so that it can be undone.

#include "platform/StagedFile.h"

#include <span>
#include <string_view>
#include <string>
#include <vector>

namespace tryster::exchange {

struct Placement {
    bool placed = false;
    // Why nothing was placed, as a sentence to show (in the game's text,
    // as the writers' messages are).
    std::string problem;
    // Local paths of the backups kept, in the order of the files given.
    std::vector<std::string> backups;
    // What the writer's closing message adds, as a sentence of its own
    // ("This change can be undone from History."); empty when nothing.
    std::string closingNote;
};

class FilePlacement {
public:
    virtual ~FilePlacement() = default;
    // The files a writer is about to build (local paths of their targets),
    // before it writes a byte: a placement that keeps a journal names them
    // there, so a run killed while building leaves nothing behind. False
    // when the change cannot be made at all (problem() says why): the
    // writer builds nothing.
    [[nodiscard]] virtual bool begin(std::span<const std::string> targets) = 0;
    // The character the change is about, in the game's text (as the
    // writer read or wrote it), for the change's record.
    virtual void describe(std::string_view characterName) = 0;
    // Puts `built` (each written, closed, not committed) over its target,
    // all together, and takes `removed` (local paths) away; what either
    // replaces or takes away is kept as a backup. On failure nothing of the
    // game has changed and the staged files are gone.
    virtual Placement place(std::span<platform::StagedFile> built, std::span<const std::string> removed) = 0;
    // Why begin failed, as a sentence to show.
    virtual std::string problem() const = 0;
};

}  // namespace tryster::exchange
