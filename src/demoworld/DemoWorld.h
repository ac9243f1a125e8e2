#pragma once
// Writes the demo game folder: a small, complete install of the game made
// by the project's own writers, the same bytes on every run (see
// README.md for its layout).

#include <string>

namespace tryster::demoworld {

// Makes `folder` (which must not exist yet, or be empty) and fills it. The
// files are written into a sibling folder first and moved into place at
// the end, so a failure leaves no half-made folder; `error` says why.
[[nodiscard]] bool writeDemoWorld(const std::string& folder, std::string& error);

}  // namespace tryster::demoworld
