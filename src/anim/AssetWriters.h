#pragma once
// Writers of the two encodings, with the interface of the readers so that
// one record writer serves both. The text writer puts one field on each
// line; floats are written in their shortest form that reads back to the
// same value.
//
// A field that the encoding cannot hold (a name over its limit; in text, a
// name that is blank or holds a line break) makes the writer fail: its
// `error()` names the field and the output must not be used.

#include "anim/AnimTypes.h"
#include "io/ByteWriter.h"

#include <string>
#include <string_view>

namespace tryster::anim {

class AssetWriterBase {
public:
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

protected:
    bool fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return false;
    }

private:
    std::string error_;
};

class TextAssetWriter : public AssetWriterBase {
public:
    // A line written as it is (the file's header lines).
    void raw(std::string_view text);
    bool name(std::string_view text, std::size_t limit);
    // A property value: may be empty or blank.
    bool line(std::string_view text, std::size_t limit);
    void integer(std::int32_t value);
    void real(float value);
    void count(std::size_t value);
    void vector(Vector3 v);
    void quaternion(Quaternion q);

    std::string& text() { return out_; }

private:
    void number(float value);
    std::string out_;
};

class BinaryAssetWriter : public AssetWriterBase {
public:
    explicit BinaryAssetWriter(std::size_t nameLimit = 255) : nameLimit_(nameLimit) {}

    bool name(std::string_view text, std::size_t limit);
    bool line(std::string_view text, std::size_t limit) { return name(text, limit); }
    void integer(std::int32_t value) { out_.i32le(value); }
    void real(float value) { out_.f32le(value); }
    // Counts past 32 bits cannot be written.
    void count(std::size_t value);
    void vector(Vector3 v);
    void quaternion(Quaternion q);

    io::ByteWriter& bytes() { return out_; }

private:
    io::ByteWriter out_;
    std::size_t nameLimit_;
};

}  // namespace tryster::anim
