#include "GameContainers.h"

namespace tryster::demoworld {

bool writeGameContainers(const std::string&, std::string&) {
    return true;
}

bool writeTemplateFile(const std::string&, std::string&) {
    return true;
}

}  // namespace tryster::demoworld
