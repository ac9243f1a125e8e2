#include "cli/CharacterDescription.h"

#include "cli/Commands.h"
#include "platform/FileSystem.h"
#include "platform/GameText.h"
#include "wizard/PageRules.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace tryster::cli {
namespace {

using nlohmann::json;

[[noreturn]] void fail(const std::string& field, const std::string& what) {
    if (field.empty()) throw CommandError(fmt::format("character description: {}", what));
    throw CommandError(fmt::format("character description: {}: {}", field, what));
}

void checkKeys(const json& object, const std::string& field,
               std::initializer_list<std::string_view> allowed) {
    if (!object.is_object()) fail(field, "expected an object");
    for (const auto& item : object.items()) {
        if (std::find(allowed.begin(), allowed.end(), item.key()) == allowed.end())
            fail(field.empty() ? item.key() : field + "." + item.key(), "unknown field");
    }
}

std::int32_t integerIn(const json& value, const std::string& field, int low, int high) {
    if (!value.is_number_integer()) fail(field, fmt::format("expected a whole number {}..{}", low, high));
    auto v = value.get<std::int64_t>();
    if (v < low || v > high) fail(field, fmt::format("{} is outside {}..{}", v, low, high));
    return static_cast<std::int32_t>(v);
}

std::string text(const json& value, const std::string& field) {
    if (!value.is_string()) fail(field, "expected a text");
    return value.get<std::string>();
}

// The text in the game's code page, as the window keeps what is typed;
// text the game cannot store is refused with the field's name.
std::string gameText(const json& value, const std::string& field, bool multiLine) {
    const platform::GameTextResult converted = platform::toGameText(text(value, field), multiLine);
    if (!converted.text) fail(field, platform::refusalHint(converted.refused));
    return *converted.text;
}

std::vector<std::string> interestList(const json& value, const std::string& field,
                                      std::size_t minCount, std::size_t maxCount) {
    if (!value.is_array()) fail(field, "expected a list of interest names");
    if (value.size() < minCount || value.size() > maxCount) {
        if (minCount == maxCount) fail(field, fmt::format("expected exactly {} interests, got {}", minCount, value.size()));
        fail(field, fmt::format("expected {} to {} interests, got {}", minCount, maxCount, value.size()));
    }
    std::vector<std::string> out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        std::string name = text(value[i], fmt::format("{}[{}]", field, i));
        if (!isInterestName(name)) fail(fmt::format("{}[{}]", field, i), fmt::format("\"{}\" is no interest", name));
        out.push_back(name);
    }
    return out;
}

void parseInterests(const json& interests, PlomData& record) {
    checkKeys(interests, "interests", {"top", "low", "remaining"});
    if (!interests.contains("top")) fail("interests.top", "missing (five top interests are needed)");
    auto top = interestList(interests["top"], "interests.top", kTopInterestCount, kTopInterestCount);
    std::vector<std::string> low;
    if (interests.contains("low"))
        low = interestList(interests["low"], "interests.low", 0, kMaxLowInterests);

    std::array<bool, kInterestCount> placed{};
    auto place = [&](const std::vector<std::string>& list, const std::string& field) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            auto id = static_cast<std::size_t>(interestIdFromText(list[i]));
            if (placed[id]) fail(fmt::format("{}[{}]", field, i), fmt::format("\"{}\" is listed twice", list[i]));
            placed[id] = true;
        }
    };
    place(top, "interests.top");
    place(low, "interests.low");

    std::vector<std::string> remaining;
    if (interests.contains("remaining")) {
        remaining = interestList(interests["remaining"], "interests.remaining", 0, kInterestCount);
        place(remaining, "interests.remaining");
        for (int id = 0; id < kInterestCount; ++id)
            if (!placed[static_cast<std::size_t>(id)])
                fail("interests", fmt::format("\"{}\" is in none of the lists", kInterestNames[static_cast<std::size_t>(id)]));
    } else {
        for (int id = 0; id < kInterestCount; ++id)
            if (!placed[static_cast<std::size_t>(id)]) remaining.emplace_back(kInterestNames[static_cast<std::size_t>(id)]);
    }
    auto ranking = buildInterestRanking(top, remaining, low);
    for (int i = 0; i < kInterestCount; ++i) record.setInterestRanking(i, ranking[static_cast<std::size_t>(i)]);
}

}  // namespace

Character parseCharacterDescription(const json& root) {
    checkKeys(root, "", {"name", "description", "gender", "bodyType", "skinTone", "personality",
                         "interests", "career", "appearance", "adult"});
    Character out;
    PlomData& record = out.record;

    if (root.contains("name")) {
        std::string name = gameText(root["name"], "name", false);
        if (name.size() > wizard::kMaxNameLength)
            fail("name", fmt::format("{} characters, at most {}", name.size(), wizard::kMaxNameLength));
        record.setName(name);
    }
    if (root.contains("description")) {
        std::string description = gameText(root["description"], "description", true);
        const std::size_t length = wizard::editLength(description);
        if (length > wizard::kMaxDescriptionLength)
            fail("description",
                 fmt::format("{} characters, at most {}", length, wizard::kMaxDescriptionLength));
        record.setDescription(description);
    }
    if (root.contains("gender")) {
        std::string gender = text(root["gender"], "gender");
        if (platform::equalsNoCase(gender, "male"))
            record.setGender(kMale);
        else if (platform::equalsNoCase(gender, "female"))
            record.setGender(kFemale);
        else
            fail("gender", fmt::format("\"{}\" is neither \"male\" nor \"female\"", gender));
    }
    if (root.contains("bodyType")) record.setBodyType(integerIn(root["bodyType"], "bodyType", 0, 2));
    if (root.contains("skinTone")) record.setSkinTone(integerIn(root["skinTone"], "skinTone", 0, 2));

    if (root.contains("personality")) {
        const json& p = root["personality"];
        checkKeys(p, "personality", {"neat", "active", "playful", "outgoing", "nice"});
        static constexpr std::array<std::pair<std::string_view, Trait>, kTraitCount> keys = {
            {{"neat", kNeat},
             {"active", kActive},
             {"playful", kPlayful},
             {"outgoing", kOutgoing},
             {"nice", kNice}}};
        wizard::TraitPositions given{};
        for (auto [key, trait] : keys) {
            std::string k(key);
            if (!p.contains(k)) continue;
            given[static_cast<std::size_t>(trait)] = integerIn(p[k], "personality." + k, 0, kMaxTraitValue);
        }
        if (wizard::commitPersonality(record, given))
            fail("personality",
                 fmt::format("{} points given, at most {}", kPersonalityPoints - wizard::pointsLeft(given),
                             kPersonalityPoints));
    }

    if (root.contains("interests")) parseInterests(root["interests"], record);

    if (root.contains("career")) {
        const json& c = root["career"];
        checkKeys(c, "career", {"track", "level"});
        if (c.contains("track")) record.setCareerTrack(integerIn(c["track"], "career.track", -1, kCareerCount - 1));
        if (c.contains("level")) record.setCareerLevel(integerIn(c["level"], "career.level", 0, kMaxCareerLevel));
    }

    if (root.contains("adult")) {
        if (!root["adult"].is_boolean()) fail("adult", "expected true or false");
        out.appearance.isAdult = root["adult"].get<bool>();
    }
    out.appearance.assign(defaultsOf(out.appearance.isAdult));
    if (root.contains("appearance")) {
        const json& a = root["appearance"];
        checkKeys(a, "appearance", {"bodyMesh", "bodyTexture", "headMesh", "headTexture"});
        if (a.contains("bodyMesh")) out.appearance.bodyMesh = text(a["bodyMesh"], "appearance.bodyMesh");
        if (a.contains("bodyTexture")) out.appearance.bodyTexture = text(a["bodyTexture"], "appearance.bodyTexture");
        if (a.contains("headMesh")) out.appearance.headMesh = text(a["headMesh"], "appearance.headMesh");
        if (a.contains("headTexture")) out.appearance.headTexture = text(a["headTexture"], "appearance.headTexture");
    }
    return out;
}

Character loadCharacterDescription(const std::string& path) {
    auto bytes = platform::readWholeFile(path);
    constexpr std::string_view kExpected = "a character description in JSON";
    if (!bytes) throw CommandError(resfile::FileProblem{path, std::string(kExpected), resfile::describeContents(path)});
    json root;
    try {
        root = json::parse(bytes->begin(), bytes->end());
    } catch (const json::parse_error& e) {
        throw CommandError(
            resfile::FileProblem{path, std::string(kExpected), fmt::format("text that is not JSON at byte {}", e.byte)});
    }
    return parseCharacterDescription(root);
}

}  // namespace tryster::cli
