#pragma once
// The demo folder's character containers: the neighbourhood with its
// townies, the dates of the template-character folder, and the program's
// own template.

#include <string>

namespace tryster::demoworld {

// Writes UserData\Neighborhood.iff, UserData\Characters\User*.iff and
// TemplateNPCs\*.iff below `root`.
[[nodiscard]] bool writeGameContainers(const std::string& root, std::string& error);

}  // namespace tryster::demoworld
