#pragma once
// Where the running program lies, and the data folder installed beside it
// (<program folder>/../share/tryster; the build tree mirrors that layout).

#include <string>

namespace tryster::platform {

// The folder of the running executable; empty when it cannot be found.
std::string programFolder();

// <program folder>/../share/tryster, normalised; empty when the program
// folder is unknown. Whether it exists is the caller's question.
std::string installedDataFolder();

}  // namespace tryster::platform
