#include "exchange/GameFileNames.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace tryster::exchange {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string withBackslashes(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

}  // namespace

std::string gameFolderAsGameKnows(std::string_view gameFolder) {
    return platform::windowsPathOfFolder(kGameRegistryKey, kInstallFolderValue, gameFolder);
}

std::string gameKnownPath(std::string_view localPath, std::string_view gameFolder, std::string_view knownFolder) {
    while (!gameFolder.empty() && isSeparator(gameFolder.back())) gameFolder.remove_suffix(1);
    std::string relative;
    if (!gameFolder.empty() && localPath.size() > gameFolder.size() + 1 && localPath.starts_with(gameFolder) &&
        isSeparator(localPath[gameFolder.size()])) {
        std::string_view rest = localPath.substr(gameFolder.size());
        while (!rest.empty() && isSeparator(rest.front())) rest.remove_prefix(1);
        // "./" steps, as a game folder given as "." leaves them, name no folder.
        while (rest.starts_with("./") || rest.starts_with(".\\")) rest.remove_prefix(2);
        relative = withBackslashes(rest);
    } else {
        relative = std::string(platform::namePart(localPath));
    }
    if (knownFolder.empty()) return relative;
    return std::string(knownFolder) + "\\" + relative;
}

}  // namespace tryster::exchange
