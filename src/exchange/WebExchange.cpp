#include "exchange/WebExchange.h"

#include "exchange/GameFileNames.h"
#include "platform/FileSystem.h"
#include "platform/GameText.h"
#include "platform/ProfileWriter.h"

#include <string>

namespace tryster::exchange {

namespace {

// The export order of the traits.
constexpr Trait kExportTraits[] = {kOutgoing, kNice, kPlayful, kNeat, kActive};

// Collects the keys in order and writes them in one pass over the file.
class KeyWriter {
public:
    void put(std::string_view key, std::string_view value) { keys_.emplace_back(key, value); }
    void put(std::string_view key, std::int32_t value) { put(key, std::to_string(value)); }
    bool writeTo(std::string_view path) const { return platform::writeProfileStrings(path, kWebExchangeSection, keys_); }

private:
    std::vector<std::pair<std::string, std::string>> keys_;
};

}  // namespace

bool writeWebExchangeKeys(std::string_view path, const PlomData& record) {
    KeyWriter keys;
    keys.put("Sign", nearestSign(record.personalityValues()) + 1);
    keys.put("CareerPath", record.careerTrack());
    keys.put("CareerLevel", record.careerLevel());
    keys.put("Gender", record.gender() == kMale ? "Male" : "Female");
    keys.put("Name", record.name());
    keys.put("Description", record.description());
    keys.put("SkinColor", skinToneExportCode(record.skinTone()));
    for (Trait trait : kExportTraits) keys.put(kTraitLabels[static_cast<std::size_t>(trait)], record.personality(trait));
    for (int id = 0; id < kInterestCount; ++id)
        keys.put(kInterestExportKeys[static_cast<std::size_t>(id)], interestLevel(record, id));
    return keys.writeTo(path);
}

bool writeSkinFileKeys(std::string_view path, const SkinFileList& list, std::string_view gameFolder,
                       std::string_view knownFolder) {
    KeyWriter keys;
    keys.put("SkinFileCount", static_cast<std::int32_t>(list.size()));
    for (std::size_t i = 0; i < list.size(); ++i) {
        // The file is text in the game's code page. The skin's own part of
        // the path comes from game names, so it always converts; a Windows
        // folder the code page cannot hold is left out rather than spelt
        // with substitutes.
        const std::string& local = list.entries()[i];
        std::optional<std::string> known = platform::gameNameOfFile(gameKnownPath(local, gameFolder, knownFolder));
        if (!known) known = platform::gameNameOfFile(gameKnownPath(local, gameFolder, {}));
        keys.put("SkinFile" + std::to_string(i + 1), known.value_or(std::string()));
    }
    return keys.writeTo(path);
}

WebExchangeKeys parseWebExchangeKeys(std::string_view text) {
    WebExchangeKeys keys;
    bool inSection = false;
    bool continuable = false;  // the line before was a key of the section
    auto finish = [&] {
        if (continuable && !keys.back().second.empty() && keys.back().second.back() == '\r')
            keys.back().second.pop_back();
    };
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        // Split at LF only; a CR before it stays until the value is done,
        // so a value's own CR LF line breaks survive.
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        std::string_view bare = line.substr(0, line.size() - (line.ends_with('\r') ? 1 : 0));
        if (bare.starts_with('[') && bare.find(']') != std::string_view::npos) {
            finish();
            inSection = platform::equalsNoCase(bare.substr(1, bare.find(']') - 1), kWebExchangeSection);
            continuable = false;
        } else if (std::size_t eq = bare.find('='); inSection && eq != std::string_view::npos) {
            finish();
            keys.emplace_back(std::string(bare.substr(0, eq)), std::string(line.substr(eq + 1)));
            continuable = true;
        } else if (continuable) {
            keys.back().second += '\n';
            keys.back().second += line;
        }
    }
    finish();
    return keys;
}

std::optional<WebExchangeKeys> readWebExchangeKeys(std::string_view path) {
    auto bytes = platform::readWholeFile(path);
    if (!bytes) return std::nullopt;
    return parseWebExchangeKeys(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

}  // namespace tryster::exchange
