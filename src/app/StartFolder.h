#pragma once
// The start folder holds the readme and the template file. It is the
// current directory at launch when that holds the template; otherwise the
// folder of the program's installed data, so the installed program works
// from any directory.

#include "exchange/NewDate.h"

#include <string_view>

namespace tryster::app {

inline constexpr std::string_view kReadmeFileName = "readme.txt";

using exchange::chooseStartFolder;

}  // namespace tryster::app
