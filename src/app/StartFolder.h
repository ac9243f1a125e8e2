#pragma once
// The start folder holds the readme and the template file. It is the
// current directory at launch when that holds the template; otherwise the
// folder of the program's installed data, so the installed program works
// from any directory.

#include <string>
#include <string_view>

namespace tryster::app {

inline constexpr std::string_view kTemplateFileName = "TR_Template.iff";
inline constexpr std::string_view kReadmeFileName = "readme.txt";

// `currentFolder` when it holds the template; else `dataFolder` (the
// installed data folder, platform::installedDataFolder()), provided
// that exists (a missing one would lose the readme that the current folder
// may still have).
std::string chooseStartFolder(const std::string& currentFolder, const std::string& dataFolder);

}  // namespace tryster::app
