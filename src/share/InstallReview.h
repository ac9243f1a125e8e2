#pragma once
// What the window shows of a shared date before, while and after it is
// installed, in the player's words: the date's name, gender, age and
// description, a line for every file of the plan, the conflicts with the
// player's choice, what the player is told besides, and the messages that
// end the install. The page and the command line only show these.
//
// The date file is the truth and the manifest only its sender's claim: what
// is shown of the date is read from the date itself, as `character show`
// reads it, and where the manifest says otherwise the player is told.
//
// Texts are UTF-8, made harmless to show (ShownText.h): the date's own text
// converted from the game's code page, the manifest's, the program's words
// and game paths. Reasons the module gives may quote a local path.

#include "share/InstallPlan.h"
#include "share/Installer.h"
#include "share/ShareOffer.h"
#include "share/SharedDate.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

inline constexpr std::string_view kOpenSharedDateTitle = "Select a shared date";
// The archive kinds a shared date may come in, as file patterns.
inline constexpr std::string_view kSharedDateFilter =
    "Shared dates (*.zip *.7z *.rar *.tar *.tar.gz *.tgz *.tar.bz2 *.tbz2 *.tar.xz *.txz)";
inline constexpr std::string_view kInstallCompleteCaption = "Install Complete";
inline constexpr std::string_view kUnknownGender = "Unknown";
inline constexpr std::string_view kUnknownAge = "Unknown";

// The date's own name, else its file name.
std::string sharedDateName(const SharedDate& shared);
// "Male" or "Female", as the date's look says; "Unknown" without one.
std::string sharedDateGender(const SharedDate& shared);
// "Adult" or "Child", likewise.
std::string sharedDateAge(const SharedDate& shared);
// The date's own description, lines broken by "\n".
std::string sharedDateDescription(const SharedDate& shared);

// The look the preview shows: the date's own. None when the date tells no
// look.
std::optional<Character> shownLook(const SharedDate& shared);

// Where the manifest's name, gender or description differs from the
// date's, a sentence for each, quoting both.
std::vector<std::string> claimNotices(const SharedDate& shared);

// The sentence about entries left out as a desktop's litter; empty when
// there were none.
std::string ignoredNotice(const SharedDate& shared);

// One line per file of the plan, in its order: the file's name and what
// becomes of it ("b006fafit_01.bmp (new)"); its folder follows from its
// kind, and the plan's file has its whole game path.
std::vector<std::string> plannedFileLines(const InstallPlan& plan);

struct ConflictChoice {
    std::string path;  // game path
    bool replace = false;
};

// The skins that differ from the player's, with the choice the plan holds.
std::vector<ConflictChoice> conflictChoices(const InstallPlan& plan);
// The choice as the player makes it, on or off: "Replace your b006fafit_01.bmp".
std::string replaceChoiceText(const ConflictChoice& choice);
// The options that plan the player's choices.
InstallOptions optionsFor(const std::vector<ConflictChoice>& choices);

// Sentences the player is told besides the lists: why the date cannot be
// installed, a fresh object identifier, the skins it would go without.
std::vector<std::string> installNotices(const InstallPlan& plan);
// Those of the pack (claims that differ, litter left out), then the plan's.
std::vector<std::string> reviewNotices(const SharedDate& shared, const InstallPlan& plan);

// "This shared date cannot be installed: <why>. Nothing was written."
std::string refusedPackMessage(std::string_view problem);
// What an install did: the files written and the backups kept, or why it
// was not installed and what was left.
std::string installOutcomeMessage(const SharedDate& shared, const InstallOutcome& outcome);

}  // namespace tryster::share
