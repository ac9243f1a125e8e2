#include "platform/Registry.h"

#include "platform/FileSystem.h"
#include "platform/WineRegistry.h"

#include <cstdlib>

namespace tryster::platform {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The value from the registry file; `found` tells whether the file has a
// line for it at all (an empty or overlong value still counts).
struct FileValue {
    RegistryValue value;
    bool found = false;
};

FileValue readFileValue(std::string_view keyPath, std::string_view valueName) {
    FileValue result;
    auto bytes = readWholeFile(registryFilePath());
    if (!bytes) return result;
    std::string wanted = "HKEY_LOCAL_MACHINE\\" + std::string(keyPath);
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    bool inKey = false;
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view line = trim(text.substr(0, eol));
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            std::size_t close = line.rfind(']');
            std::string_view section = close == std::string_view::npos ? line.substr(1)
                                                                       : line.substr(1, close - 1);
            inKey = equalsNoCase(trim(section), wanted);
            if (inKey) result.value.keyOpened = true;
            continue;
        }
        if (!inKey) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (!equalsNoCase(trim(line.substr(0, eq)), valueName)) continue;
        std::string_view value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        result.value.value = value.size() <= kMaxRegistryValue ? std::string(value) : std::string();
        result.found = true;
        return result;
    }
    return result;
}

}  // namespace

std::string registryFilePath() {
    if (const char* explicitPath = std::getenv("TRYSTER_REGISTRY"); explicitPath && *explicitPath)
        return explicitPath;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".";
    return base + "/tryster/registry.ini";
}

RegistryValue readMachineValue(std::string_view keyPath, std::string_view valueName) {
    FileValue file = readFileValue(keyPath, valueName);
    if (file.found) return file.value;
    // Where the file is silent, the game may be installed under Wine.
    const std::string prefix = winePrefixPath();
    RegistryValue wine = readWineMachineValue(prefix, keyPath, valueName);
    if (!wine.keyOpened) return file.value;
    if (!wine.value.empty()) {
        wine.windowsPath = wine.value;
        wine.value = wineToLocalPath(prefix, wine.value);
    }
    return wine;
}

std::string windowsPathOfFolder(std::string_view keyPath, std::string_view valueName, std::string_view localFolder) {
    const RegistryValue found = readMachineValue(keyPath, valueName);
    if (found.windowsPath.empty() || found.value.empty()) return {};
    // The same folder however it is spelt: links, "..", a closing separator.
    auto place = [](std::string_view path, std::error_code& error) {
        while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.remove_suffix(1);
        return std::filesystem::weakly_canonical(resolvePath(path), error);
    };
    std::error_code e1, e2;
    const auto mapped = place(found.value, e1);
    const auto given = place(localFolder, e2);
    if (e1 || e2 || mapped != given) return {};
    std::string out = found.windowsPath;
    while (out.size() > 3 && (out.back() == '\\' || out.back() == '/')) out.pop_back();
    return out;
}

}  // namespace tryster::platform
