#pragma once
// A path as the program writes it, made one the operating system can open.

#include <filesystem>
#include <string_view>

namespace tryster::platform {

// Resolves `path` against the disk: every component that exists in some
// letter case is replaced by the spelling on disk (an exact match wins over
// a case-insensitive one). Components past the first missing one keep the
// spelling given, so a file about to be created lands in the folder that
// exists. Relative paths stay relative (to the current directory).
std::filesystem::path resolvePath(std::string_view path);

}  // namespace tryster::platform
