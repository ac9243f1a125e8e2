#include "share/PackLayout.h"

#include "platform/TextNoCase.h"
#include "share/PackPath.h"

namespace tryster::share {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The name without its leading "./" steps (and a lone ".").
std::string_view withoutDotSteps(std::string_view name) {
    for (;;) {
        if (name == ".") return {};
        if (name.size() >= 2 && name[0] == '.' && isSeparator(name[1])) {
            name.remove_prefix(2);
            while (!name.empty() && isSeparator(name.front())) name.remove_prefix(1);
            continue;
        }
        return name;
    }
}

// The first component and what follows its separator (empty when there is
// no separator, or nothing after it).
std::string_view firstComponent(std::string_view name, std::string_view& rest) {
    std::size_t at = 0;
    while (at < name.size() && !isSeparator(name[at])) ++at;
    rest = at < name.size() ? name.substr(at + 1) : std::string_view();
    return name.substr(0, at);
}

std::string_view lastComponent(std::string_view name) {
    while (!name.empty() && isSeparator(name.back())) name.remove_suffix(1);
    std::size_t at = name.size();
    while (at > 0 && !isSeparator(name[at - 1])) --at;
    return name.substr(at);
}

// A folder a pack's own files lie in, or its manifest: never a wrapper.
bool isPackTopName(std::string_view name) {
    return platform::equalsNoCase(name, kManifestName) || platform::equalsNoCase(name, kDatesFolder) ||
           platform::equalsNoCase(name, "GameData");
}

// A name a player's folder can have, and nothing that would make the rest
// of an entry's name mean something else (a way up, a drive).
bool isPlainFolderName(std::string_view name) {
    return !name.empty() && name.find_first_not_of('.') != std::string_view::npos &&
           name.find(':') == std::string_view::npos;
}

}  // namespace

bool isDesktopLitter(std::string_view name) {
    std::string_view rest = withoutDotSteps(name);
    while (!rest.empty()) {
        std::string_view after;
        const std::string_view part = firstComponent(rest, after);
        if (platform::equalsNoCase(part, "__MACOSX")) return true;
        rest = after;
    }
    const std::string_view last = lastComponent(name);
    return last.starts_with("._") || platform::equalsNoCase(last, ".DS_Store") ||
           platform::equalsNoCase(last, "Thumbs.db") || platform::equalsNoCase(last, "desktop.ini");
}

std::optional<std::string> sharedTopFolder(const std::vector<LayoutEntry>& entries) {
    std::optional<std::string> top;
    for (const LayoutEntry& e : entries) {
        if (isDesktopLitter(e.name)) continue;
        const std::string_view name = withoutDotSteps(e.name);
        if (name.empty()) continue;
        std::string_view rest;
        const std::string_view first = firstComponent(name, rest);
        if (rest.empty() && !e.folder) return std::nullopt;  // a file at the top
        if (!top) top = std::string(first);
        else if (*top != first) return std::nullopt;
    }
    if (!top || isPackTopName(*top) || !isPlainFolderName(*top)) return std::nullopt;
    return top;
}

std::string packEntryName(std::string_view name, const std::optional<std::string>& topFolder) {
    name = withoutDotSteps(name);
    if (topFolder) {
        std::string_view rest;
        if (firstComponent(name, rest) == *topFolder) name = withoutDotSteps(rest);
    }
    return std::string(name);
}

}  // namespace tryster::share
