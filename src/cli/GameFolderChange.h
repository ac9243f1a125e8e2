#pragma once
// What every command that changes a game folder shares: finishing what an
// interrupted run left there before anything else, failing with the
// command's JSON document, and telling where a change was recorded.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

namespace tryster::share {
struct History;
struct UndoPlan;
struct UndoOutcome;
}  // namespace tryster::share

namespace tryster::cli {

// Fails the command with `message`; with --json, `document` is printed
// first with the error in it, so it is the run's one document.
[[noreturn]] void failWith(nlohmann::ordered_json document, const std::string& message, bool json);

// Finishes what an interrupted change left in `game`, telling what was
// found on standard error. A journal that cannot be read stops here unless
// the player asked to set it aside (`setAside`), having seen what it names.
void finishInterrupted(const std::string& game, bool setAside, bool json);

// The game folder a file of the game's lies in, two folders up from it
// (GAME/UserData/Characters/User00001.iff, GAME/UserData/Neighborhood.iff
// with `levels` 1), where that is a game folder; empty otherwise, and the
// change is then made without a record.
std::string gameFolderAbove(const std::string& file, int levels);

// On standard error, after a change: its number and how to undo it.
void tellRecorded(const std::string& game, std::int64_t id);

// An undo's steps as JSON (path, action, backup, keptAs, and the change
// that relies on a file that stays), and as lines of text.
nlohmann::ordered_json undoStepsJson(const share::History& history, const share::UndoPlan& plan);
void printUndoSteps(const share::UndoPlan& plan);
// The way out of a refusal for files changed since, where that is the
// reason: "; run again with --keep-current ...".
std::string keepCurrentHint(const share::UndoPlan& plan);
// Adds what the undo did: undoId, removed, restored, kept, notes.
void addUndoOutcome(nlohmann::ordered_json& document, const share::UndoOutcome& outcome);

}  // namespace tryster::cli
