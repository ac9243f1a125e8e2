#include "platform/FileFinder.h"

#include "platform/FileSystem.h"
#include "platform/GameText.h"

#include <algorithm>

namespace tryster::platform {
namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A folder spelled for comparison: native separators, no trailing one,
// lower case.
std::string folderKey(std::string_view folder) {
    std::string s = toLower(toNativeSeparators(folder));
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    while (s.rfind("./", 0) == 0) s.erase(0, 2);
    return s;
}

bool containsType(const std::vector<std::string>& types, std::string_view type) {
    return std::any_of(types.begin(), types.end(), [&](const std::string& t) { return equalsNoCase(t, type); });
}

}  // namespace

std::vector<std::string> splitFolderList(std::string_view list) {
    std::vector<std::string> out;
    while (true) {
        std::size_t semi = list.find(';');
        std::string_view folder = trimBlanks(list.substr(0, semi));
        if (!folder.empty()) out.emplace_back(folder);
        if (semi == std::string_view::npos) break;
        list.remove_prefix(semi + 1);
    }
    return out;
}

std::string fileType(std::string_view name) {
    name = namePart(name);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    return toUpper(name.substr(dot + 1));
}

std::string baseName(std::string_view name) {
    name = namePart(name);
    std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

FileFinder& FileFinder::instance() {
    static FileFinder finder;
    return finder;
}

void FileFinder::registerCategory(std::string_view name, const std::vector<std::string>& types) {
    Category* found = nullptr;
    for (Category& c : categories_)
        if (equalsNoCase(c.name, name)) found = &c;
    if (!found) {
        categories_.push_back({std::string(name), {}});
        found = &categories_.back();
    }
    for (const std::string& t : types)
        if (!containsType(found->types, t)) found->types.push_back(toUpper(t));
}

const FileFinder::Category* FileFinder::category(std::string_view name) const {
    for (const Category& c : categories_)
        if (equalsNoCase(c.name, name)) return &c;
    return nullptr;
}

std::vector<std::string> FileFinder::typesOf(std::string_view name) const {
    const Category* c = category(name);
    return c ? c->types : std::vector<std::string>{};
}

std::vector<std::string> FileFinder::kindTypes(std::string_view kind) const {
    if (const Category* c = category(kind)) return c->types;
    return {toUpper(kind)};
}

std::vector<FoundFile> FileFinder::enumerate(const std::vector<std::string>& types,
                                             std::string_view folderList) const {
    std::vector<FoundFile> out;
    for (const std::string& folder : splitFolderList(folderList)) {
        for (std::string& name : findFiles(folder, "*")) {
            std::string type = fileType(name);
            if (!containsType(types, type)) continue;
            std::string path = joinPath(toNativeSeparators(folder), name);
            out.push_back({folder, std::move(name), std::move(path), std::move(type)});
        }
    }
    return out;
}

std::vector<FoundFile> FileFinder::enumerateCategory(std::string_view name, std::string_view folderList) const {
    const Category* c = category(name);
    if (!c) return {};
    return enumerate(c->types, folderList);
}

std::vector<FoundFile> FileFinder::enumerateType(std::string_view type, std::string_view folderList) const {
    return enumerate({toUpper(type)}, folderList);
}

std::optional<std::string> FileFinder::find(std::string_view name, std::string_view kind,
                                            std::string_view folderList) const {
    std::vector<std::string> types = kindTypes(kind);
    const std::string fileName = fileNameOfGameName(name);
    std::string given = fileType(fileName);
    bool hasExtension = !given.empty() && containsType(types, given);
    FileSystem& fs = fileSystem();
    for (const std::string& folder : splitFolderList(folderList)) {
        std::string base = joinPath(toNativeSeparators(folder), toNativeSeparators(fileName));
        if (hasExtension) {
            if (fs.exists(base) && !fs.isDirectory(base)) return resolvePath(base).string();
            continue;
        }
        for (const std::string& type : types) {
            std::string candidate = base + "." + toLower(type);
            if (fs.exists(candidate) && !fs.isDirectory(candidate)) return resolvePath(candidate).string();
        }
    }
    return std::nullopt;
}

void FileFinder::addFolder(std::string_view folder, bool recursive) {
    FileSystem& fs = fileSystem();
    if (!fs.isDirectory(folder)) return;
    std::string key = folderKey(folder);
    if (std::find(knownFolders_.begin(), knownFolders_.end(), key) == knownFolders_.end())
        knownFolders_.push_back(key);
    if (!recursive) return;
    for (const DirEntry& e : fs.list(folder))
        if (e.isDirectory) addFolder(joinPath(toNativeSeparators(folder), e.name), true);
}

bool FileFinder::knowsFolder(std::string_view folder) const {
    std::string key = folderKey(folder);
    return std::find(knownFolders_.begin(), knownFolders_.end(), key) != knownFolders_.end();
}

void FileFinder::clearFolders() { knownFolders_.clear(); }

}  // namespace tryster::platform
