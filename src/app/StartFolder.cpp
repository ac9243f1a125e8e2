#include "app/StartFolder.h"

#include "platform/FileSystem.h"

namespace tryster::app {

std::string chooseStartFolder(const std::string& currentFolder, const std::string& dataFolder) {
    auto& files = platform::fileSystem();
    if (files.exists(platform::joinPath(currentFolder, kTemplateFileName))) return currentFolder;
    if (!dataFolder.empty() && files.isDirectory(dataFolder)) return dataFolder;
    return currentFolder;
}

}  // namespace tryster::app
