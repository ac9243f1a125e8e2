#pragma once
// What the window offers around sharing, decided here so its pages only
// show it: the commands' texts, whether the question after a save offers a
// pack, and the file name a pack is offered under.

#include <string>
#include <string_view>

namespace tryster::share {

inline constexpr std::string_view kShareCommandText = "Share this date...";
inline constexpr std::string_view kInstallCommandText = "Install a shared date";

// The question after "Finished!" where it offers a pack.
inline constexpr std::string_view kPackQuestion =
    "Would you like to put this date in one file to share with other players now?";
// The save dialog of a pack, and the message when it is written (followed
// by the file's path on a line of its own).
inline constexpr std::string_view kShareDialogTitle = "Share this date as one file";
inline constexpr std::string_view kPackFilter = "Shared dates (*.zip)";
inline constexpr std::string_view kShareCompleteCaption = "Share Complete";
inline constexpr std::string_view kSharedMessage =
    "The date, its pictures and the skins it wears are in one file, ready to send:";

// Whether the question after "Finished!" offers to make a pack instead of
// opening the exchange's page: so when no address is configured, as the
// default address is a placeholder that leads nowhere.
bool offersPackAfterSave(std::string_view configuredExchangeAddress);

// A reason this module gives (a sentence without its capital and full
// stop) as a sentence to show.
std::string asSentence(std::string_view reason);

// The file name a pack of the date is offered under: the character's name
// (the game's text) with what file names cannot hold replaced by '_', then
// ".zip"; "Shared date.zip" for a name that leaves nothing.
std::string defaultPackFileName(std::string_view characterName);

}  // namespace tryster::share
