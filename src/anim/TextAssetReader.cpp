#include "anim/TextAssetReader.h"

#include <charconv>

namespace tryster::anim {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isBlank(std::string_view line) {
    for (char c : line)
        if (!isSpace(c)) return false;
    return true;
}

// The numeric prefix of `text` after an optional '+' (from_chars takes
// only '-'); nothing consumed on failure.
template <typename T>
std::size_t parseNumber(std::string_view text, T& out) {
    std::size_t skip = !text.empty() && text[0] == '+' && text.size() > 1 && text[1] != '-' ? 1 : 0;
    const char* first = text.data() + skip;
    const char* last = text.data() + text.size();
    std::from_chars_result r;
    if constexpr (std::is_floating_point_v<T>)
        r = std::from_chars(first, last, out, std::chars_format::general);
    else
        r = std::from_chars(first, last, out, 10);
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
    std::size_t used = parseNumber(text_.substr(pos_), out);
    pos_ += used;
    return used != 0;
}

bool TextAssetReader::real(float& out) {
    skipSpace();
    std::size_t used = parseNumber(text_.substr(pos_), out);
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

bool TextAssetReader::propertyList(Ref<PropertyList>& out) {
    std::size_t n;
    if (!count(n)) return false;
    Ref<PropertyList> list = PropertyList::create();
    for (std::size_t i = 0; i < n; ++i) {
        std::string key, value;
        if (!name(key, kShortNameLimit) || !line(value, kShortNameLimit)) return false;
        list->set(std::move(key), std::move(value));
    }
    out = std::move(list);
    return true;
}

bool TextAssetReader::optionalPropertyList(Ref<PropertyList>& out) {
    std::int32_t flag;
    if (!integer(flag)) return false;
    out.reset();
    return flag == 0 || propertyList(out);
}

std::size_t TextAssetReader::lineNumber() const {
    std::size_t n = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i)
        if (text_[i] == '\n') ++n;
    return n;
}

}  // namespace tryster::anim
