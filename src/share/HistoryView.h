#pragma once
// The history as the player sees it, in the window and on the command
// line alike: what each change is called, when it was made, what its
// files are, what an undo or a forget would do, asked as a question, and
// how it went. Text from the history (names, file names) passes through
// shownText, as it may come from anyone.

#include "share/Forget.h"
#include "share/History.h"
#include "share/Undo.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

inline constexpr std::string_view kUndoCompleteCaption = "Undo Complete";
inline constexpr std::string_view kForgetCompleteCaption = "Forget Complete";

// "New date", "Townie replaced", "Restyled", "Shared date installed",
// "Undone: Townie replaced".
std::string kindLabel(const History& history, const HistoryEntry& entry);
// "Townie replaced: Rosa Marsh" (the label alone for a change without a
// name).
std::string changeTitle(const History& history, const HistoryEntry& entry);
// "the change 7 (Townie replaced: Rosa Marsh)", as a refusal names it.
std::string changeNamed(const History& history, const HistoryEntry& entry);
// The change an undo or a forget is planned for; null, with `problem`
// saying so, when the history of `gameFolder` has no change `id`.
const HistoryEntry* plannedChange(const History& history, std::string_view gameFolder, std::int64_t id,
                                  std::string& problem);
// In local time, "2024-05-14 15:02"; "before History was kept" for an
// install recorded without a time.
std::string whenText(const HistoryEntry& entry);
// "undone (change 7)", "forgotten", or empty.
std::string stateText(const HistoryEntry& entry);
// One line of the list: when, what, state.
std::string entryLine(const History& history, const HistoryEntry& entry);
// A file of an entry: "replaced UserData\Characters\User00001.iff (kept as
// UserData\Characters\User00001.iff.bak)".
std::string fileLine(const ChangedFile& file);
// "0 bytes", "512 bytes", "64.0 KB", "1.2 MB".
std::string sizeText(std::uint64_t bytes);
// "Backups take 1.2 MB."
std::string backupSpaceText(std::uint64_t bytes);

// The character file of a change to show on the preview, where it is still
// there (a local path); empty when it has none or it is gone.
std::string characterFileOf(std::string_view gameFolder, const HistoryEntry& entry);

// The question before an undo: what is removed, what is put back, what
// stays and what is kept as a backup first.
std::string undoQuestion(const History& history, const UndoPlan& plan);
// The question offering to undo a refused change together with the later
// changes that changed its files, newest first.
std::string chainQuestion(const History& history, const UndoPlan& plan);
// The question offering to undo anyway when files changed since, keeping
// each as it is now as a backup (`plan` was made without keeping them).
std::string keepCurrentQuestion(const UndoPlan& plan);
std::string undoOutcomeMessage(const UndoOutcome& outcome);
// The question before a forget, naming the backups deleted.
std::string forgetQuestion(const History& history, const ForgetPlan& plan);
std::string forgetOutcomeMessage(const ForgetOutcome& outcome);

}  // namespace tryster::share
