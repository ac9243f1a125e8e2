#include "exchange/GameFileNames.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/TextNoCase.h"

namespace tryster::exchange {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string withBackslashes(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

// The part of a file name the platform matches against its devices: up to
// the first dot, without the spaces it ignores before one.
std::string_view deviceStem(std::string_view fileName) {
    std::string_view stem = fileName.substr(0, fileName.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    return stem;
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

bool isDeviceName(std::string_view fileName) {
    const std::string stem = platform::toUpper(deviceStem(fileName));
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
           stem[3] <= '9';
}

std::string deviceNameProblem(std::string_view fileName) {
    return platform::toUpper(deviceStem(fileName)) +
           " is the name of a device on the game's platform (as are CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to "
           "LPT9), whatever its extension, so the game could not open the file";
}

}  // namespace tryster::exchange
