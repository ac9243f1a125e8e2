#include "anim/TextAssetReader.h"

#include <charconv>
#include <cstdint>

namespace tryster::anim {
namespace {

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');  // tab, line feed, vertical tab, form feed, return
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// An optional sign and up to `maxDigits` decimal digits from `i`.
struct WholeNumber {
    bool negative = false;
    std::int64_t magnitude = 0;
    std::size_t digits = 0;
    std::size_t end = 0;  // past the last digit read
};
WholeNumber scanWhole(std::string_view text, std::size_t i, std::size_t maxDigits) {
    WholeNumber n;
    n.negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    for (; i < text.size() && n.digits < maxDigits && isDigit(text[i]); ++i, ++n.digits)
        n.magnitude = n.magnitude * 10 + (text[i] - '0');
    n.end = i;
    return n;
}

bool isBlank(std::string_view line) {
    for (char c : line)
        if (!isSpace(c)) return false;
    return true;
}

// The number at the start of `text`, after an optional '+' (from_chars
// takes only '-'); the characters used, 0 on failure.
std::size_t parseFloat(std::string_view text, float& out) {
    std::size_t skip = !text.empty() && text[0] == '+' && text.size() > 1 && text[1] != '-' ? 1 : 0;
    const char* first = text.data() + skip;
    std::from_chars_result r =
        std::from_chars(first, text.data() + text.size(), out, std::chars_format::general);
    if (r.ec != std::errc{}) return 0;
    return static_cast<std::size_t>(r.ptr - text.data());
}

}  // namespace

void TextAssetReader::skipSpace() {
    while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
}

bool TextAssetReader::takeLine(std::string_view& out) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    std::size_t next = end == std::string_view::npos ? text_.size() : end + 1;
    if (end == std::string_view::npos) end = text_.size();
    out = text_.substr(pos_, end - pos_);
    if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
    pos_ = next;
    return true;
}

bool TextAssetReader::skipLine() {
    std::string_view ignored;
    return takeLine(ignored);
}

bool TextAssetReader::name(std::string& out, std::size_t limit) {
    std::size_t start = pos_;
    std::string_view l;
    do {
        if (!takeLine(l)) {
            pos_ = start;
            return false;
        }
    } while (isBlank(l));
    if (l.size() > limit) {
        pos_ = start;
        return false;
    }
    out.assign(l);
    return true;
}

bool TextAssetReader::line(std::string& out, std::size_t limit) {
    std::size_t start = pos_;
    std::string_view l;
    if (!takeLine(l) || l.size() > limit) {
        pos_ = start;
        return false;
    }
    out.assign(l);
    return true;
}

bool TextAssetReader::token(std::string_view& out) {
    skipSpace();
    std::size_t start = pos_;
    while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
    out = text_.substr(start, pos_ - start);
    return !out.empty();
}

bool TextAssetReader::integer(std::int32_t& out) {
    skipSpace();
    const WholeNumber n = scanWhole(text_, pos_, 10);
    if (n.digits == 0 || (n.end < text_.size() && isDigit(text_[n.end]))) return false;
    const std::int64_t value = n.negative ? -n.magnitude : n.magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<std::int32_t>(value);
    pos_ = n.end;
    return true;
}

bool TextAssetReader::real(float& out) {
    skipSpace();
    // Whole numbers of up to 7 digits are exact as floats: the common
    // case ("1000", "0") needs no general conversion.
    const WholeNumber n = scanWhole(text_, pos_, 7);
    const bool more = n.end < text_.size() && (isDigit(text_[n.end]) || text_[n.end] == '.' ||
                                               text_[n.end] == 'e' || text_[n.end] == 'E');
    if (n.digits > 0 && !more) {
        const auto whole = static_cast<float>(n.magnitude);
        out = n.negative ? -whole : whole;
        pos_ = n.end;
        return true;
    }
    std::size_t used = parseFloat(text_.substr(pos_), out);
    pos_ += used;
    return used != 0;
}

bool TextAssetReader::count(std::size_t& out) {
    std::int32_t n;
    if (!integer(n) || n < 0) return false;
    out = static_cast<std::size_t>(n);
    return true;
}

bool TextAssetReader::vector(Vector3& out) {
    std::string_view ignored;
    return token(ignored) && real(out.x) && real(out.y) && real(out.z) && token(ignored);
}

bool TextAssetReader::quaternion(Quaternion& out) {
    skipSpace();
    bool barred = pos_ < text_.size() && text_[pos_] == '|';
    if (barred) ++pos_;
    if (!real(out.x) || !real(out.y) || !real(out.z) || !real(out.w)) return false;
    if (!barred) return true;
    skipSpace();
    if (pos_ >= text_.size() || text_[pos_] != '|') return false;
    ++pos_;
    return true;
}

std::size_t TextAssetReader::lineNumber() const {
    std::size_t n = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i)
        if (text_[i] == '\n') ++n;
    return n;
}

}  // namespace tryster::anim
