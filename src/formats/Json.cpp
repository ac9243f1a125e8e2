// The JSON seam over nlohmann::json.

#include "formats/Json.h"

#include <nlohmann/json.hpp>

namespace tryster::formats {
namespace {

using nlohmann::ordered_json;

// The nesting depth of the text, counted outside strings; the parser and
// the conversion below recurse, so a deep text is refused before either.
bool nestingWithin(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

// Where a parse failed, as a person finds it in an editor: the parser's
// own message quotes the bytes it last read, which may be anything.
std::string placeOf(std::string_view text, std::size_t byte) {
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i + 1 < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;  // a character, not a continuation byte
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

JsonValue fromLibrary(const ordered_json& in) {
    JsonValue out;
    switch (in.type()) {
    case ordered_json::value_t::boolean: out = JsonValue::of(in.get<bool>()); break;
    case ordered_json::value_t::number_integer: out = JsonValue::of(in.get<std::int64_t>()); break;
    case ordered_json::value_t::number_unsigned: {
        const auto value = in.get<std::uint64_t>();
        if (value <= static_cast<std::uint64_t>(INT64_MAX)) {
            out = JsonValue::of(static_cast<std::int64_t>(value));
        } else {
            out.kind = JsonValue::Kind::Number;
            out.number = static_cast<double>(value);
        }
        break;
    }
    case ordered_json::value_t::number_float:
        out.kind = JsonValue::Kind::Number;
        out.number = in.get<double>();
        break;
    case ordered_json::value_t::string: out = JsonValue::of(in.get_ref<const std::string&>()); break;
    case ordered_json::value_t::array:
        out = JsonValue::array();
        for (const auto& item : in) out.push(fromLibrary(item));
        break;
    case ordered_json::value_t::object:
        out = JsonValue::object();
        for (const auto& [key, item] : in.items()) out.add(key, fromLibrary(item));
        break;
    default: break;  // null, and kinds JSON text cannot give
    }
    return out;
}

ordered_json toLibrary(const JsonValue& in) {
    switch (in.kind) {
    case JsonValue::Kind::Null: return nullptr;
    case JsonValue::Kind::Bool: return in.boolean;
    case JsonValue::Kind::Integer: return in.integer;
    case JsonValue::Kind::Number: return in.number;
    case JsonValue::Kind::String: return in.text;
    case JsonValue::Kind::Array: {
        ordered_json out = ordered_json::array();
        for (const JsonValue& item : in.items) out.push_back(toLibrary(item));
        return out;
    }
    case JsonValue::Kind::Object: {
        ordered_json out = ordered_json::object();
        for (const JsonMember& m : in.members) out[m.key] = toLibrary(m.value);
        return out;
    }
    }
    return nullptr;
}

}  // namespace

JsonValue JsonValue::of(bool value) {
    JsonValue v;
    v.kind = Kind::Bool;
    v.boolean = value;
    return v;
}

JsonValue JsonValue::of(std::int64_t value) {
    JsonValue v;
    v.kind = Kind::Integer;
    v.integer = value;
    return v;
}

JsonValue JsonValue::of(std::string_view value) {
    JsonValue v;
    v.kind = Kind::String;
    v.text = value;
    return v;
}

JsonValue JsonValue::array() {
    JsonValue v;
    v.kind = Kind::Array;
    return v;
}

JsonValue JsonValue::object() {
    JsonValue v;
    v.kind = Kind::Object;
    return v;
}

JsonValue& JsonValue::add(std::string_view key, JsonValue value) {
    members.push_back({std::string(key), std::move(value)});
    return members.back().value;
}

JsonValue& JsonValue::push(JsonValue value) {
    items.push_back(std::move(value));
    return items.back();
}

const JsonValue* JsonValue::find(std::string_view key) const {
    if (kind != Kind::Object) return nullptr;
    for (const JsonMember& m : members)
        if (m.key == key) return &m.value;
    return nullptr;
}

std::optional<JsonValue> parseJson(std::string_view text, std::string& error) {
    if (!nestingWithin(text, kMaxJsonDepth)) {
        error = "nested deeper than " + std::to_string(kMaxJsonDepth) + " levels";
        return std::nullopt;
    }
    try {
        return fromLibrary(ordered_json::parse(text));
    } catch (const ordered_json::parse_error& e) {
        error = "not valid JSON text (the fault is near " + placeOf(text, e.byte) + ")";
        return std::nullopt;
    } catch (const std::exception& e) {  // memory running out
        error = e.what();
        return std::nullopt;
    }
}

std::string formatJson(const JsonValue& value) {
    // Invalid UTF-8 in a string is written as U+FFFD rather than failing.
    return toLibrary(value).dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace tryster::formats
