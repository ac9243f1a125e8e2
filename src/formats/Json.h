#pragma once
// JSON text for the core's own small files (a shared date's manifest, the
// game folder's record of installed dates), without the core depending on a
// JSON library: the text is parsed into, and written from, this plain
// value.
//
// The parser behind it is a widely used library; what reaches it may come
// from a stranger, so nesting is limited before it parses and its
// exceptions stop here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::formats {

struct JsonMember;

struct JsonValue {
    enum class Kind { Null, Bool, Integer, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::int64_t integer = 0;  // Kind::Integer
    double number = 0;         // Kind::Number (not an integer, or beyond 64 bits)
    std::string text;          // Kind::String, UTF-8
    std::vector<JsonValue> items;     // Kind::Array
    std::vector<JsonMember> members;  // Kind::Object, in file order

    static JsonValue of(bool value);
    static JsonValue of(std::int64_t value);
    static JsonValue of(std::string_view value);
    // Text, not the pointer's truth value (which `of(bool)` would take).
    static JsonValue of(const char* value);
    static JsonValue array();
    static JsonValue object();

    // Appends a member (objects) or an item (arrays).
    JsonValue& add(std::string_view key, JsonValue value);
    JsonValue& push(JsonValue value);

    // The first member named `key`; none when absent or not an object.
    const JsonValue* find(std::string_view key) const;
    const std::string* asString() const { return kind == Kind::String ? &text : nullptr; }
    std::optional<std::int64_t> asInteger() const {
        return kind == Kind::Integer ? std::optional<std::int64_t>(integer) : std::nullopt;
    }
};

struct JsonMember {
    std::string key;
    JsonValue value;
};

inline JsonValue JsonValue::of(const char* value) { return of(std::string_view(value)); }

// Deepest nesting of arrays and objects that is parsed.
inline constexpr int kMaxJsonDepth = 32;

// None, with `error` set, for text that is not one JSON value in UTF-8 or
// nests deeper than kMaxJsonDepth. The error is a phrase in plain words
// ("not valid JSON text (the fault is near line 3, column 7)") that quotes
// nothing of the text.
std::optional<JsonValue> parseJson(std::string_view text, std::string& error);
// Indented by two spaces, members in their order, ending in a line break.
std::string formatJson(const JsonValue& value);

}  // namespace tryster::formats
