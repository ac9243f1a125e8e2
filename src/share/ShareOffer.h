#pragma once
// What the window offers around sharing, decided here so its pages only
// show it: the commands' texts, whether the question after a save offers a
// pack, and the file name a pack is offered under.

#include <string>
#include <string_view>

namespace tryster::share {

inline constexpr std::string_view kShareCommandText = "Share this date...";
inline constexpr std::string_view kInstallCommandText = "Install a shared date";

// Whether the question after "Finished!" offers to make a pack instead of
// opening the exchange's page: so when no address is configured, as the
// default address is a placeholder that leads nowhere.
bool offersPackAfterSave(std::string_view configuredExchangeAddress);

// The file name a pack of the date is offered under: the character's name
// (the game's text) with what file names cannot hold replaced by '_', then
// ".zip"; "Shared date.zip" for a name that leaves nothing.
std::string defaultPackFileName(std::string_view characterName);

}  // namespace tryster::share
