#include "resfile/ReconStream.h"

#include <cstring>
#include <type_traits>

namespace tryster::resfile {

bool ReconStream::room(std::size_t bytes) {
    if (failed_) return false;
    if (mode_ == Mode::Measure) return true;
    if (bytes > buffer_.size() - pos_) {
        failed_ = true;
        return false;
    }
    return true;
}

bool ReconStream::expect(std::uint64_t count, std::size_t minBytes) {
    if (failed_) return false;
    if (mode_ != Mode::Read) return true;
    std::uint64_t left = buffer_.size() - pos_;
    if (minBytes != 0 && count > left / minBytes) {
        failed_ = true;
        return false;
    }
    return true;
}

void ReconStream::field(std::uint8_t* values, std::size_t count) {
    if (!room(count)) return;
    if (mode_ == Mode::Read && count) std::memcpy(values, buffer_.data() + pos_, count);
    if (mode_ == Mode::Write && count) std::memcpy(buffer_.data() + pos_, values, count);
    pos_ += count;
}

void ReconStream::field(bool* values, std::size_t count) {
    if (!room(count)) return;
    for (std::size_t i = 0; i < count; ++i) {
        if (mode_ == Mode::Read) values[i] = buffer_[pos_ + i] != 0;
        if (mode_ == Mode::Write) buffer_[pos_ + i] = values[i] ? 1 : 0;
    }
    pos_ += count;
}

template <typename T>
void ReconStream::number(T* values, std::size_t count) {
    using U = std::make_unsigned_t<T>;
    constexpr std::size_t n = sizeof(T);
    if (count > (SIZE_MAX / n) || !room(count * n)) {
        failed_ = true;
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* at = mode_ == Mode::Measure ? nullptr : buffer_.data() + pos_ + i * n;
        if (mode_ == Mode::Read) {
            U v = 0;
            for (std::size_t b = 0; b < n; ++b) {
                std::size_t shift = swap_ ? n - 1 - b : b;
                v = static_cast<U>(v | static_cast<U>(static_cast<U>(at[b]) << (8 * shift)));
            }
            values[i] = static_cast<T>(v);
        } else if (mode_ == Mode::Write) {
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
    std::size_t length = text.size();
    if (mode_ == Mode::Read) {
        const std::uint8_t* start = buffer_.data() + pos_;
        const void* zero = std::memchr(start, 0, buffer_.size() - pos_);
        if (!zero) {
            failed_ = true;
            return;
        }
        length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - start);
        text.assign(reinterpret_cast<const char*>(start), length);
    } else {
        // A zero inside the text would end it early on reading.
        length = std::strlen(text.c_str());
        if (!room(length + 1)) return;
        if (mode_ == Mode::Write) {
            std::memcpy(buffer_.data() + pos_, text.data(), length);
            buffer_[pos_ + length] = 0;
        }
    }
    pos_ += length + 1;
    if (pos_ % 2 != 0) {
        if (!room(1)) return;
        if (mode_ == Mode::Write) buffer_[pos_] = 0;
        ++pos_;
    }
}

}  // namespace tryster::resfile
