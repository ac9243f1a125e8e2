#pragma once
// Where text crosses between the core's std::string and Qt's QString.
//
// Three kinds of text cross, each by its own conversion:
// - game text: everything the core hands the window to show (catalog names,
//   ages, genders, messages, titles, the program's own words) and what the
//   player types for the game, in the game's code page (Windows-1252);
// - file names and paths on disk, in the system's encoding;
// - shared text: what the sharing of dates shows, in UTF-8 (a shared
//   date's manifest, the install's lists and messages, a pack's file name).
// Nothing else in the window converts between the two string types.

#include "platform/GameText.h"

#include <QString>

#include <string>
#include <string_view>

namespace tryster::app {

// The game's bytes as the characters they stand for; a byte the code page
// leaves undefined shows as U+FFFD.
QString gameTextToQt(std::string_view bytes);

// The game's bytes for `text`, or, when the code page cannot hold one of its
// characters, no text and the first such character. Line breaks become
// CR LF when `multiLine`.
platform::GameTextResult qtToGameText(const QString& text, bool multiLine);

// The plain-words reason a character was refused.
QString refusalHint(char32_t refused);

QString sharedTextToQt(std::string_view utf8);

QString fileNameToQt(std::string_view path);
std::string qtToFileName(const QString& path);

}  // namespace tryster::app
