#pragma once
// How the entries of an archive a player made by hand map onto a pack's
// names (PackPath.h). Players pack a folder the way their desktop does it,
// and the harmless habits of those tools are taken as they come:
// - leading "./" steps, as `tar -C folder .` writes them, are dropped;
// - litter a desktop adds beside the files (folders "__MACOSX", files
//   "._*", ".DS_Store", "Thumbs.db", "desktop.ini") is left out, and the
//   player is told;
// - when every other entry lies inside one top folder ("Rosa/TemplateNPCs/
//   Rosa.iff", as zipping the folder "Rosa" gives), that folder is dropped,
//   unless it is one of the pack's own folders.
// Everything else is judged by PackPath.h as it stands.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

// What the player can do about a pack laid out otherwise, after the reason.
inline constexpr std::string_view kLayoutAdvice =
    "to install it, pack the date again with manifest.json, TemplateNPCs and GameData\\Skins at the top of the "
    "archive or inside one folder, or ask whoever sent it for the file Tryster's \"Share this date...\" makes";

struct LayoutEntry {
    std::string name;  // as the archive gives it
    bool folder = false;
};

// Whether an entry is litter of a desktop's own.
bool isDesktopLitter(std::string_view name);

// The top folder every entry but the litter lies in (folder entries may be
// that folder itself), as the archive spells it; none when they do not
// share one, when one of them is a file at the top, or when the folder is
// one of the pack's own or no plain name.
std::optional<std::string> sharedTopFolder(const std::vector<LayoutEntry>& entries);

// The name the pack's rules judge: without "./" steps and without the top
// folder. Empty for the top folder itself and for "./".
std::string packEntryName(std::string_view name, const std::optional<std::string>& topFolder);

}  // namespace tryster::share
