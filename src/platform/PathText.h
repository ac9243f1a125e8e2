#pragma once
// Paths as text: separators, joining, and splitting into folder and name.
// The program writes '\' where the game does; either separator counts.

#include <string>
#include <string_view>

namespace tryster::platform {

// '\' and '/' both separate; the result uses the platform's own separator.
std::string toNativeSeparators(std::string_view path);

// The platform's separator as text ("/" here).
char nativeSeparator();

// Joins a folder and a name with the platform's separator (no separator is
// added when the folder is empty or already ends in one).
std::string joinPath(std::string_view folder, std::string_view name);

// A path's folder with its closing separator ("" when the path names no
// folder), and the name after it. Either separator counts.
std::string_view folderPart(std::string_view path);
std::string_view namePart(std::string_view path);

}  // namespace tryster::platform
