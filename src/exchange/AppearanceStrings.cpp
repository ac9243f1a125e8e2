#include "exchange/AppearanceStrings.h"

#include "platform/TextNoCase.h"
#include "resfile/IFFResFile2.h"
#include "resfile/StringSet.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace tryster::exchange {

using namespace resfile;

namespace {

constexpr std::size_t kSeparatorLength = 6;  // ",BODY=" and ",HAND="
constexpr int kAgeString = 1;
constexpr int kBodyString = 2;
constexpr int kHeadString = 3;
constexpr int kGenderString = 13;
constexpr int kToneString = 15;
constexpr int kBodyOutfitStrings[] = {16, 17, 28};
constexpr int kFirstHandString = 18;
constexpr int kLastHandString = 23;

struct OutfitParts {
    std::string mesh;
    std::string texture;
};

std::optional<OutfitParts> split(std::string_view text) {
    std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    OutfitParts parts{std::string(text.substr(0, comma)), {}};
    if (text.size() - comma > kSeparatorLength) parts.texture = std::string(text.substr(comma + kSeparatorLength));
    return parts;
}

void putCode(std::string& part, std::size_t at, std::string_view code) {
    if (part.size() >= at + code.size()) part.replace(at, code.size(), code);
}

void rewrite(StringSet& strings, int number, const auto& change) {
    if (const std::string* old = strings.GetString(number)) strings.SetString(number, change(*old));
}

void writeStrings(StringSet& strings, const Character& character) {
    const Appearance& names = character.appearance;
    const std::string_view tone = appearanceToneCode(character.record.skinTone());
    const std::string_view body = bodyTypeCode(character.record.bodyType());
    strings.SetString(kBodyString, names.bodyString());
    strings.SetString(kHeadString, names.headString());
    strings.SetString(kToneString, tone);
    for (int number : kBodyOutfitStrings)
        rewrite(strings, number, [&](const std::string& s) { return bodyOutfitString(s, tone, body, names.isAdult); });
    for (int number = kFirstHandString; number <= kLastHandString; ++number)
        rewrite(strings, number, [&](const std::string& s) { return handOutfitString(s, tone); });
}

ResError removePictures(iResFile& file) {
    std::vector<DataHandle> pictures;
    const int count = file.CountResources(kTypePicture);
    for (int i = 1; i <= count && i <= kMaxPicturesRemoved; ++i) {
        if (DataHandle h = file.GetIndResource(kTypePicture, static_cast<std::int16_t>(i), nullptr))
            pictures.push_back(h);
    }
    ResError first = kNoError;
    for (DataHandle h : pictures) {
        ResError error = file.RemoveResource(h);
        if (first == kNoError) first = error;
    }
    return first;
}

std::string stringOr(const StringSet& strings, int number) {
    const std::string* s = strings.GetString(number);
    return s ? *s : std::string();
}

}  // namespace

std::string_view appearanceToneCode(std::int32_t skinToneSelection) {
    switch (skinToneSelection) {
    case kMedium: return "med";
    case kDark: return "drk";
    default: return "lgt";
    }
}

std::string bodyOutfitString(std::string_view text, std::string_view tone, std::string_view bodyType, bool isAdult) {
    std::optional<OutfitParts> parts = split(text);
    if (!parts) return std::string(text);
    putCode(parts->texture, 5, tone);
    if (isAdult) {
        putCode(parts->mesh, 2, bodyType);
        putCode(parts->texture, 2, bodyType);
    }
    return parts->mesh + std::string(kBodySeparator) + parts->texture;
}

std::string handOutfitString(std::string_view text, std::string_view tone) {
    std::optional<OutfitParts> parts = split(text);
    if (!parts) return std::string(text);
    putCode(parts->texture, 4, tone);
    return parts->mesh + std::string(kHandSeparator) + parts->texture;
}

namespace {

// `newDate`: the date also says its age and gender.
ResError rewriteList(IFFResFile2& file, const Character& character, bool newDate) {
    ResError error = kNoError;
    StringSet strings;
    if (strings.Load(&file, kAppearanceListId, false) == kNoError) {
        writeStrings(strings, character);
        if (newDate) {
            const std::string age = stringOr(strings, kAgeString);
            const std::string gender = stringOr(strings, kGenderString);
            strings.SetString(kAgeString, inLetterCaseOf(character.appearance.isAdult ? "Adult" : "Child", age));
            strings.SetString(kGenderString, inLetterCaseOf(character.isMale() ? "Male" : "Female", gender));
        }
        error = strings.Save();
    }
    ResError removed = removePictures(file);
    return error != kNoError ? error : removed;
}

}  // namespace

std::string inLetterCaseOf(std::string_view word, std::string_view model) {
    auto isUpper = [](char c) { return c >= 'A' && c <= 'Z'; };
    auto isLower = [](char c) { return c >= 'a' && c <= 'z'; };
    const bool anyUpper = std::any_of(model.begin(), model.end(), isUpper);
    const bool anyLower = std::any_of(model.begin(), model.end(), isLower);
    std::string out = platform::toLower(word);
    if (anyUpper && !anyLower) return platform::toUpper(word);
    if (anyLower && !anyUpper) return out;
    if (!out.empty() && isLower(out.front())) out.front() = static_cast<char>(out.front() - 'a' + 'A');
    return out;
}

ResError writeAppearanceStrings(IFFResFile2& file, const Character& character) {
    return rewriteList(file, character, false);
}

ResError writeNewDateStrings(IFFResFile2& file, const Character& character) { return rewriteList(file, character, true); }

ResError writeAppearanceStrings(std::string_view path, const Character& character) {
    IFFResFile2 file;
    if (ResError error = file.Open(path); error != kNoError) return error;
    ResError error = writeAppearanceStrings(file, character);
    ResError closed = file.Close();
    return error != kNoError ? error : closed;
}

}  // namespace tryster::exchange
