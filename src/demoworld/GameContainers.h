#pragma once
// The demo folder's character containers: the neighbourhood with its
// townies, the dates of the template-character folder, and the program's
// own template.

#include <string>

namespace tryster::demoworld {

// Writes UserData\Neighborhood.iff, UserData\Characters\User*.iff and
// TemplateNPCs\*.iff below `root`.
[[nodiscard]] bool writeGameContainers(const std::string& root, std::string& error);

// Writes the program's template file (TR_Template.iff) at `path`.
[[nodiscard]] bool writeTemplateFile(const std::string& path, std::string& error);

}  // namespace tryster::demoworld
