#include "character/CatalogRules.h"

#include "character/Vocabulary.h"
#include "platform/FileSystem.h"

#include <cctype>

namespace tryster {
namespace {

using platform::containsNoCase;

// Up to `count` characters from `pos`; empty past the end.
std::string_view slice(std::string_view s, std::size_t pos, std::size_t count) {
    return pos >= s.size() ? std::string_view() : s.substr(pos, count);
}

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool startsWith(std::string_view name, char letter) { return !name.empty() && lower(name[0]) == letter; }

// g + "a" + the given codes: "ma", "mafit", "mafitlgt".
std::string genderAdult(const CatalogFilter& f, std::string_view codes = {}) {
    std::string s{f.gender, 'a'};
    s += codes;
    return s;
}

}  // namespace

CatalogFilter CatalogFilter::from(bool female, int bodyTypeIndex, int skinToneIndex, bool isAdult,
                                  bool isMale) {
    return {female ? 'f' : 'm', bodyTypeCode(bodyTypeIndex), skinToneCode(skinToneIndex), isAdult, isMale};
}

std::string_view firstToken(std::string_view name) { return name.substr(0, name.find('_')); }

std::string_view secondToken(std::string_view name) {
    std::size_t first = name.find('_');
    if (first == std::string_view::npos) return {};
    name.remove_prefix(first + 1);
    return name.substr(0, name.find('_'));
}

bool isHeadMesh(std::string_view outfit, const CatalogFilter& filter) {
    return outfit.size() >= 2 && startsWith(outfit, 'c') && isDigit(outfit[1]) &&
           containsNoCase(firstToken(outfit), genderAdult(filter));
}

bool isBodyMesh(std::string_view outfit, const CatalogFilter& filter) {
    bool shaped = false;
    if (startsWith(outfit, 'b')) {
        for (char c : outfit.substr(1)) shaped = shaped || isDigit(c);
    } else if (startsWith(outfit, 'n')) {
        shaped = outfit.size() > 5 && outfit[5] == '_';
    }
    if (!shaped) return false;
    const std::string wanted = genderAdult(filter, filter.bodyCode);
    if (containsNoCase(firstToken(outfit), wanted) || containsNoCase(secondToken(outfit), wanted)) return true;
    if (filter.isAdult) return false;
    return filter.isMale ? containsNoCase(outfit, "mcchd") : containsNoCase(outfit, "fcchd");
}

TextureKind textureKind(std::string_view texture) {
    if (texture.empty()) return TextureKind::None;
    switch (lower(texture[0])) {
    case 'c': return TextureKind::Head;
    case 'b': return TextureKind::Body;
    case 'n':
    case 'u': return TextureKind::ExtraBody;
    default: return TextureKind::None;
    }
}

bool isHeadTexture(std::string_view texture, const CatalogFilter& filter, std::string_view headMesh) {
    return containsNoCase(firstToken(texture), genderAdult(filter, filter.toneCode)) &&
           containsNoCase(texture, slice(headMesh, 0, 5));
}

bool isBodyTexture(std::string_view texture, const CatalogFilter& filter, std::string_view bodyMesh) {
    const std::string_view token = firstToken(texture);
    // Fit textures only need to be adult ("a") and of the tone; the gender
    // and build come from the mesh prefix below.
    const bool fitShortcut =
        filter.bodyCode == "fit" && containsNoCase(token, "a") && containsNoCase(token, filter.toneCode);
    std::string codes(filter.bodyCode);
    codes += filter.toneCode;
    if (!fitShortcut && !containsNoCase(token, genderAdult(filter, codes))) return false;
    if (filter.isAdult) return containsNoCase(texture, slice(bodyMesh, 0, 9));
    return containsNoCase(texture, slice(bodyMesh, 0, 4)) || containsNoCase(texture, "ucchd");
}

bool isExtraBodyTexture(std::string_view texture, std::string_view bodyMesh) {
    return platform::equalsNoCase(slice(texture, 1, 4), slice(bodyMesh, 1, 4));
}

std::string_view skeletonForBodyMesh(std::string_view bodyMesh) {
    constexpr std::size_t kAgeLetter = 5;
    const bool child =
        bodyMesh.size() > kAgeLetter && (bodyMesh[kAgeLetter] == 'c' || bodyMesh[kAgeLetter] == 'C');
    return child ? "child" : "adult";
}

}  // namespace tryster
