#pragma once
// The record stream: one field list serves reading, writing and measuring a
// record, the stream knowing which it does.
//
// Numbers are little-endian unless the swap flag is set. Every field is
// bounds-checked (reading goes through the checked byte cursor): a read or
// write past the buffer puts the stream in the failed state, after which
// fields do nothing (reads leave their targets unchanged), so a field list
// needs no checks of its own and the caller asks `ok()` once at the end.

#include "io/ByteReader.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tryster::resfile {

class ReconStream {
public:
    enum class Mode { Read = 0, Write = 1, Measure = 2 };

    // Measures from `position`.
    explicit ReconStream(std::size_t position = 0) : mode_(Mode::Measure), pos_(position) {}
    // Reads or writes `buffer` from `position`.
    ReconStream(Mode mode, std::span<std::uint8_t> buffer, bool swap, std::size_t position);

    Mode mode() const { return mode_; }
    bool reading() const { return mode_ == Mode::Read; }
    std::size_t position() const { return mode_ == Mode::Read ? in_.position() : pos_; }
    bool ok() const { return !failed_; }
    void fail() { failed_ = true; }

    // Whether `count` items of at least `minBytes` each can still be read;
    // fails the stream when not. Call before sizing a container from a count
    // read from the data.
    bool expect(std::uint64_t count, std::size_t minBytes);

    void field(std::uint8_t* values, std::size_t count);
    void field(bool* values, std::size_t count);  // reads back as 0 or 1
    void field(std::int16_t* values, std::size_t count);
    void field(std::uint16_t* values, std::size_t count);
    void field(std::int32_t* values, std::size_t count);
    void field(std::uint32_t* values, std::size_t count);
    // The characters and a zero byte, then a pad byte when that leaves the
    // position odd. Reading fails when no zero byte follows.
    void field(std::string& text);

private:
    template <typename T>
    void number(T* values, std::size_t count);
    // Room for `bytes` more when writing (measuring always has room).
    bool room(std::size_t bytes);
    std::endian order() const { return swap_ ? std::endian::big : std::endian::little; }

    Mode mode_;
    std::span<std::uint8_t> buffer_;  // written
    io::ByteReader in_;               // read
    bool swap_ = false;
    std::size_t pos_ = 0;  // writing and measuring
    bool failed_ = false;
};

}  // namespace tryster::resfile
