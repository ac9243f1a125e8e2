#pragma once

// What the history and its journal share when they read and write their
// JSON files: enumerations kept as words, and fields read leniently (a
// missing or mistyped field reads as empty or zero; the callers' checks
// refuse what they need).

#include "formats/Json.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tryster::share::json_fields {

template <typename T, std::size_t N>
std::string_view textOf(const std::array<std::pair<T, std::string_view>, N>& table, T value) {
    for (const auto& [v, text] : table)
        if (v == value) return text;
    return table[0].second;
}

template <typename T, std::size_t N>
std::optional<T> valueOf(const std::array<std::pair<T, std::string_view>, N>& table, std::string_view text) {
    for (const auto& [v, t] : table)
        if (t == text) return v;
    return std::nullopt;
}

inline std::string stringOf(const formats::JsonValue& object, std::string_view key) {
    const formats::JsonValue* v = object.find(key);
    return v && v->asString() ? *v->asString() : std::string();
}

inline std::int64_t integerOf(const formats::JsonValue& object, std::string_view key) {
    const formats::JsonValue* v = object.find(key);
    return v && v->asInteger() ? *v->asInteger() : 0;
}

}  // namespace tryster::share::json_fields
