#pragma once
// The reading rules shared by the text character and mesh files: names are
// whole lines, numbers are whitespace-separated tokens, vectors are five
// tokens of which the middle three count, quaternions may sit between bars.
// (A property list is a count, then per pair a key read as a name and its
// value as the line after it: see PropertyListCodec.h.)
//
// Every read returns false at the first bad field and leaves the reader
// there; callers stop reading the file and keep what they finished.

#include "anim/AnimTypes.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tryster::anim {

class TextAssetReader {
public:
    explicit TextAssetReader(std::string_view text) : text_(text) {}

    // Skips the rest of the current line and its line end; false at the
    // end of the text.
    bool skipLine();
    // The next line holding something besides blanks (the rest of a line
    // after a number counts as a line), whole, without its line end.
    bool name(std::string& out, std::size_t limit);
    // The line that starts here, whole (it may be empty).
    bool line(std::string& out, std::size_t limit);
    // Decimal numbers with an optional sign, read like the C library's
    // scanf: the longest number at the next token, the rest stays.
    bool integer(std::int32_t& out);
    bool real(float& out);
    // A count: an integer that is not negative.
    bool count(std::size_t& out);
    // "| x y z |": five tokens, the first and the last skipped unread.
    bool vector(Vector3& out);
    // "x y z w" or "| x y z w |"; an opening bar needs its closing one.
    bool quaternion(Quaternion& out);

    // 1-based line of the reading position, for messages.
    std::size_t lineNumber() const;
    std::size_t position() const { return lineNumber(); }
    bool atEnd() const { return pos_ >= text_.size(); }
    std::size_t remaining() const { return text_.size() - pos_; }

private:
    void skipSpace();
    bool token(std::string_view& out);
    // The line from the position without its line end; moves past it.
    bool takeLine(std::string_view& out);

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace tryster::anim
