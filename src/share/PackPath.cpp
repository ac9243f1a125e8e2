#include "share/PackPath.h"

#include "exchange/GameFileNames.h"
#include "platform/GameText.h"
#include "platform/TextNoCase.h"
#include "share/PackLimits.h"

#include <vector>

namespace tryster::share {
namespace {

struct FolderRule {
    std::string_view folder;
    std::string_view extension;
    PackFileKind kind;
};

constexpr FolderRule kRules[] = {
    {kDatesFolder, exchange::kDateExtension, PackFileKind::Date},
    {kDatesFolder, exchange::kWebExchangeExtension, PackFileKind::WebExchange},
    {kDatesFolder, ".jpg", PackFileKind::Snapshot},
    {kSkinsFolder, ".cmx", PackFileKind::CharacterFile},
    {kSkinsFolder, ".bcf", PackFileKind::CharacterFile},
    {kSkinsFolder, ".skn", PackFileKind::SkinMesh},
    {kSkinsFolder, ".bmf", PackFileKind::SkinMesh},
    {kSkinsFolder, ".bmp", PackFileKind::Texture},
};

std::vector<std::string_view> split(std::string_view name) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == '/' || name[i] == '\\') {
            parts.push_back(name.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// Why a path component cannot name a file on the game's platform; empty
// when it can. Names are UTF-8, as archives and this system keep them; the
// game names its files in its code page, so each must be one it can hold.
std::string componentProblem(std::string_view part) {
    if (part.empty()) return "has an empty folder name";
    if (part.find_first_not_of('.') == std::string_view::npos) return "has a way up (..)";
    for (char c : part) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) return "has a control character";
        if (std::string_view(":*?\"<>|").find(c) != std::string_view::npos)
            return std::string("has the character '") + c + "', which the game's platform does not allow";
    }
    if (platform::escapedUtf8(part) != part) return "has a name that is not UTF-8 text";
    const std::optional<std::string> game = platform::gameNameOfFile(part);
    if (!game) return "has a character that the game's code page (Western European letters and signs) cannot hold";
    if (game->size() > kMaxNameLength)
        return "has a name longer than " + std::to_string(kMaxNameLength) + " characters";
    if (part.back() == ' ' || part.back() == '.' || part.front() == ' ')
        return "has a name that begins or ends in a space or ends in a dot";
    if (exchange::isDeviceName(part)) return "has a name the game cannot use: " + exchange::deviceNameProblem(part);
    return {};
}

// The components after the checks that every name gets; none, with
// `problem` set, when one fails.
std::optional<std::vector<std::string_view>> components(std::string_view name, std::string& problem) {
    if (name.empty()) {
        problem = "has no name";
        return std::nullopt;
    }
    if (name.front() == '/' || name.front() == '\\' || (name.size() >= 2 && name[1] == ':')) {
        problem = "is an absolute path";
        return std::nullopt;
    }
    std::vector<std::string_view> parts = split(name);
    for (std::string_view part : parts) {
        problem = componentProblem(part);
        if (!problem.empty()) return std::nullopt;
    }
    return parts;
}

bool hasExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           platform::equalsNoCase(name.substr(name.size() - extension.size()), extension);
}

}  // namespace

std::string_view PackPath::fileName() const {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

PackPathCheck checkFileName(std::string_view name) {
    PackPathCheck out;
    std::optional<std::vector<std::string_view>> parts = components(name, out.problem);
    if (!parts) return out;
    if (parts->size() == 1 && platform::equalsNoCase((*parts)[0], kManifestName)) {
        out.path = PackPath{std::string(kManifestName), PackFileKind::Manifest};
        return out;
    }
    const std::string_view file = parts->back();
    std::string folder;
    for (std::size_t i = 0; i + 1 < parts->size(); ++i) {
        if (i > 0) folder += '\\';
        folder += (*parts)[i];
    }
    bool knownFolder = false;
    for (const FolderRule& rule : kRules) {
        if (!platform::equalsNoCase(folder, rule.folder)) continue;
        knownFolder = true;
        if (!hasExtension(file, rule.extension)) continue;
        out.path = PackPath{std::string(rule.folder) + "\\" + std::string(file), rule.kind};
        return out;
    }
    out.problem = knownFolder ? "is not a kind of file the game reads in that folder"
                              : "lies outside the folders a date's files go to (TemplateNPCs, GameData\\Skins)";
    return out;
}

std::string gamePathProblem(std::string_view path) {
    std::string problem;
    (void)components(path, problem);  // only the reason is asked for, not the parts
    return problem;
}

bool isKnownFolder(std::string_view name) {
    while (!name.empty() && (name.back() == '/' || name.back() == '\\')) name.remove_suffix(1);
    std::string problem;
    std::optional<std::vector<std::string_view>> parts = components(name, problem);
    if (!parts) return false;
    std::string folder;
    for (std::size_t i = 0; i < parts->size(); ++i) {
        if (i > 0) folder += '\\';
        folder += (*parts)[i];
    }
    return platform::equalsNoCase(folder, kDatesFolder) || platform::equalsNoCase(folder, "GameData") ||
           platform::equalsNoCase(folder, kSkinsFolder);
}

std::string folderProblem(std::string_view name) {
    if (isKnownFolder(name)) return {};
    while (!name.empty() && (name.back() == '/' || name.back() == '\\')) name.remove_suffix(1);
    std::string problem;
    if (!components(name, problem)) return problem;
    return std::string(kOutsideFolders);
}

std::string caseKey(std::string_view gamePath) {
    // The game's platform folds the letters of its code page, not ASCII's
    // alone: "ZOË.bmp" is "zoë.bmp" there. The key is in the code page.
    const std::optional<std::string> game = platform::gameNameOfFile(gamePath);
    if (!game) return platform::toLower(gamePath);
    std::string key = *game;
    for (char& c : key) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = static_cast<char>(b + 0x20);
        else if (b == 0x8A || b == 0x8C || b == 0x8E) c = static_cast<char>(b + 0x10);  // Š Œ Ž
        else if (b == 0x9F) c = static_cast<char>(0xFF);                               // Ÿ
    }
    return key;
}

std::string archiveName(std::string_view gamePath) {
    std::string out(gamePath);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

}  // namespace tryster::share
