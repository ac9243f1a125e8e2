#pragma once
// Text that came with a pack (a name, a description, an entry's name, the
// pack's own file name) as the player is shown it, in the window and on a
// terminal. A stranger chose it, so it is made harmless first:
// - bytes that are not UTF-8 are written as "\xNN";
// - control characters (other than the line breaks of a text of several
//   lines) and the marks that reorder text (bidirectional embeddings,
//   overrides and isolates) become U+FFFD, so nothing can steer a terminal
//   or show a name backwards;
// - text longer than the place it is shown in ends in an ellipsis.
// What is written to the game folder is never this form.

#include <cstddef>
#include <string>
#include <string_view>

namespace tryster::share {

// Characters of a name shown in a line of text: a date's name, a file's.
inline constexpr std::size_t kShownNameLength = 80;
// Characters of a description, which the window shows in a small box.
inline constexpr std::size_t kShownDescriptionLength = 2000;

// `text` (UTF-8, or not) with at most `maxCharacters` characters, the last
// an ellipsis where it was cut. `lines`: line breaks (LF) and tabs pass.
std::string shownText(std::string_view text, std::size_t maxCharacters, bool lines = false);

// A name in double quotes, shown as above.
std::string quotedName(std::string_view name);

}  // namespace tryster::share
