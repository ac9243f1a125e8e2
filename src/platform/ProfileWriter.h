#pragma once
// Writes keys into an INI-style profile file, with the semantics the game's
// web exchange expects of the platform's profile writer:
// - a missing file is created;
// - a missing section is appended as a "[Section]" line;
// - a new key is appended at the end of its section as "key=value";
// - an existing key (compared without regard to case) is replaced in place,
//   so a key written twice stays one line;
// - the value is written unchanged: a value with line breaks stays as it is;
// - lines end in CR LF.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tryster::platform {

// False when the file cannot be read or written.
bool writeProfileString(std::string_view path, std::string_view section, std::string_view key,
                        std::string_view value);
// Several keys of one section in one read and one write of the file, with
// the result of writing them one after the other.
bool writeProfileStrings(std::string_view path, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& keys);

}  // namespace tryster::platform
