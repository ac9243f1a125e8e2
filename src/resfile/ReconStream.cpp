#include "resfile/ReconStream.h"

#include <cstring>
#include <limits>
#include <type_traits>

namespace tryster::resfile {
namespace {

bool readNumber(io::ByteReader& in, std::int16_t& v, std::endian order) { return in.i16(v, order); }
bool readNumber(io::ByteReader& in, std::uint16_t& v, std::endian order) { return in.u16(v, order); }
bool readNumber(io::ByteReader& in, std::int32_t& v, std::endian order) { return in.i32(v, order); }
bool readNumber(io::ByteReader& in, std::uint32_t& v, std::endian order) { return in.u32(v, order); }

}  // namespace

ReconStream::ReconStream(Mode mode, std::span<std::uint8_t> buffer, bool swap, std::size_t position)
    : mode_(mode), swap_(swap), pos_(position) {
    if (mode_ == Mode::Read) {
        in_ = io::ByteReader(buffer);
        if (!in_.seek(position)) failed_ = true;
    } else {
        buffer_ = buffer;
        if (mode_ == Mode::Write && pos_ > buffer_.size()) failed_ = true;
    }
}

bool ReconStream::room(std::size_t bytes) {
    if (failed_) return false;
    if (mode_ == Mode::Write && bytes > buffer_.size() - pos_) {
        failed_ = true;
        return false;
    }
    return true;
}

bool ReconStream::expect(std::uint64_t count, std::size_t minBytes) {
    if (failed_) return false;
    if (mode_ != Mode::Read) return true;
    if (minBytes != 0 && count > in_.remaining() / minBytes) {
        failed_ = true;
        return false;
    }
    return true;
}

void ReconStream::field(std::uint8_t* values, std::size_t count) {
    if (failed_) return;
    if (mode_ == Mode::Read) {
        if (!in_.readBytes(values, count)) failed_ = true;
        return;
    }
    if (!room(count)) return;
    if (mode_ == Mode::Write && count) std::memcpy(buffer_.data() + pos_, values, count);
    pos_ += count;
}

void ReconStream::field(bool* values, std::size_t count) {
    if (failed_) return;
    if (mode_ == Mode::Read) {
        // Checked as a whole first, so a short read changes no target.
        if (count > in_.remaining()) {
            failed_ = true;
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t b = 0;
            if (!in_.u8(b)) {
                failed_ = true;
                return;
            }
            values[i] = b != 0;
        }
        return;
    }
    if (!room(count)) return;
    for (std::size_t i = 0; i < count; ++i)
        if (mode_ == Mode::Write) buffer_[pos_ + i] = values[i] ? 1 : 0;
    pos_ += count;
}

template <typename T>
void ReconStream::number(T* values, std::size_t count) {
    using U = std::make_unsigned_t<T>;
    constexpr std::size_t n = sizeof(T);
    if (failed_) return;
    if (count > std::numeric_limits<std::size_t>::max() / n) {
        failed_ = true;
        return;
    }
    if (mode_ == Mode::Read) {
        // Checked as a whole first, so a short read changes no target.
        if (count * n > in_.remaining()) {
            failed_ = true;
            return;
        }
        for (std::size_t i = 0; i < count; ++i)
            if (!readNumber(in_, values[i], order())) {
                failed_ = true;
                return;
            }
        return;
    }
    if (!room(count * n)) return;
    if (mode_ == Mode::Write) {
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t* at = buffer_.data() + pos_ + i * n;
            auto v = static_cast<U>(values[i]);
            for (std::size_t b = 0; b < n; ++b) {
                std::size_t shift = swap_ ? n - 1 - b : b;
                at[b] = static_cast<std::uint8_t>(v >> (8 * shift));
            }
        }
    }
    pos_ += count * n;
}

void ReconStream::field(std::int16_t* values, std::size_t count) { number(values, count); }
void ReconStream::field(std::uint16_t* values, std::size_t count) { number(values, count); }
void ReconStream::field(std::int32_t* values, std::size_t count) { number(values, count); }
void ReconStream::field(std::uint32_t* values, std::size_t count) { number(values, count); }

void ReconStream::field(std::string& text) {
    if (failed_) return;
    if (mode_ == Mode::Read) {
        std::string read;
        if (!in_.cstring(read) || (in_.position() % 2 != 0 && !in_.skip(1))) {
            failed_ = true;
            return;
        }
        text = std::move(read);
        return;
    }
    // A zero inside the text would end it early on reading.
    const std::size_t length = std::strlen(text.c_str());
    if (!room(length + 1)) return;
    if (mode_ == Mode::Write) {
        std::memcpy(buffer_.data() + pos_, text.data(), length);
        buffer_[pos_ + length] = 0;
    }
    pos_ += length + 1;
    if (pos_ % 2 != 0) {
        if (!room(1)) return;
        if (mode_ == Mode::Write) buffer_[pos_] = 0;
        ++pos_;
    }
}

}  // namespace tryster::resfile
