#include "anim/AssetWriters.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace tryster::anim {
namespace {

bool blank(std::string_view text) {
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\v' && c != '\f' && c != '\r') return false;
    return true;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string quoted(std::string_view text) {
    std::string s = "\"";
    s.append(text.substr(0, 40));
    if (text.size() > 40) s += "...";
    return s + "\"";
}

}  // namespace

void TextAssetWriter::raw(std::string_view text) {
    out_.append(text);
    out_ += '\n';
}

bool TextAssetWriter::name(std::string_view text, std::size_t limit) {
    if (text.size() > limit)
        return fail("name " + quoted(text) + " is longer than " + std::to_string(limit) + " characters");
    if (blank(text) || hasLineBreak(text))
        return fail("name " + quoted(text) + " cannot be written as a text line");
    raw(text);
    return true;
}

bool TextAssetWriter::line(std::string_view text, std::size_t limit) {
    if (text.size() > limit)
        return fail("value " + quoted(text) + " is longer than " + std::to_string(limit) + " characters");
    if (hasLineBreak(text)) return fail("value " + quoted(text) + " cannot be written as a text line");
    raw(text);
    return true;
}

void TextAssetWriter::integer(std::int32_t value) {
    out_ += std::to_string(value);
    out_ += '\n';
}

void TextAssetWriter::count(std::size_t value) {
    out_ += std::to_string(value);
    out_ += '\n';
}

void TextAssetWriter::number(float value) {
    char buffer[32];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, r.ptr);
}

void TextAssetWriter::real(float value) {
    number(value);
    out_ += '\n';
}

void TextAssetWriter::vector(Vector3 v) {
    out_ += "| ";
    for (float f : {v.x, v.y, v.z}) {
        number(f);
        out_ += ' ';
    }
    out_ += "|\n";
}

void TextAssetWriter::quaternion(Quaternion q) {
    out_ += "| ";
    for (float f : {q.x, q.y, q.z, q.w}) {
        number(f);
        out_ += ' ';
    }
    out_ += "|\n";
}

bool BinaryAssetWriter::name(std::string_view text, std::size_t limit) {
    if (text.size() > std::min(limit, nameLimit_))
        return fail("name " + quoted(text) + " is longer than " +
                    std::to_string(std::min(limit, nameLimit_)) + " bytes");
    if (text.size() < 255) {
        out_.u8(static_cast<std::uint8_t>(text.size()));
    } else {
        out_.u8(255);
        out_.u32le(static_cast<std::uint32_t>(text.size()));
    }
    out_.text(text);
    return true;
}

void BinaryAssetWriter::count(std::size_t value) {
    if (value > std::numeric_limits<std::uint32_t>::max()) fail("a list is too long for the file");
    out_.u32le(static_cast<std::uint32_t>(value));
}

void BinaryAssetWriter::vector(Vector3 v) {
    real(v.x);
    real(v.y);
    real(v.z);
}

void BinaryAssetWriter::quaternion(Quaternion q) {
    real(q.x);
    real(q.y);
    real(q.z);
    real(q.w);
}

}  // namespace tryster::anim
