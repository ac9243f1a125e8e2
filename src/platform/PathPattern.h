#pragma once
// File name patterns: '*' (any run) and '?' (any one character), letters
// compared without regard to case, as the game's searches match them.

#include <string>
#include <string_view>
#include <vector>

namespace tryster::platform {

bool matchesPattern(std::string_view name, std::string_view pattern);

// Files of `folder` whose names match `pattern`, as names without folder,
// in case-insensitive name order (ties broken by the exact bytes), the way
// the game's platform lists a pattern search. Folders are left out.
std::vector<std::string> findFiles(std::string_view folder, std::string_view pattern);

}  // namespace tryster::platform
