#include "app/StartFolder.h"

#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>

namespace tryster::app {

std::string installedDataFolder() {
    QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tryster");
    return QDir::cleanPath(folder).toStdString();
}

std::string chooseStartFolder(const std::string& currentFolder, const std::string& dataFolder) {
    auto& files = platform::fileSystem();
    if (files.exists(platform::joinPath(currentFolder, kTemplateFileName))) return currentFolder;
    if (!dataFolder.empty() && files.isDirectory(dataFolder)) return dataFolder;
    return currentFolder;
}

}  // namespace tryster::app
