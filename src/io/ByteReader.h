#pragma once
// A checked cursor over a byte view. Every read checks the bytes left,
// returns false on a short read and advances only on success, so a parser
// can stop at the first bad field and keep what it read before.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace tryster::io {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    ByteReader(const void* data, std::size_t size)
        : bytes_(static_cast<const std::uint8_t*>(data), size) {}

    std::size_t position() const { return pos_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool atEnd() const { return pos_ == bytes_.size(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    // Moves to an absolute offset; false (and no move) past the end.
    bool seek(std::size_t offset) {
        if (offset > bytes_.size()) return false;
        pos_ = offset;
        return true;
    }
    bool skip(std::size_t count) {
        if (count > remaining()) return false;
        pos_ += count;
        return true;
    }

    bool readBytes(void* out, std::size_t count) {
        if (count > remaining()) return false;
        if (count) std::memcpy(out, bytes_.data() + pos_, count);
        pos_ += count;
        return true;
    }
    // A view of the next `count` bytes, valid as long as the underlying data.
    bool readSpan(std::size_t count, std::span<const std::uint8_t>& out) {
        if (count > remaining()) return false;
        out = bytes_.subspan(pos_, count);
        pos_ += count;
        return true;
    }

    bool u8(std::uint8_t& v) { return readBytes(&v, 1); }
    bool i8(std::int8_t& v) { return readBytes(&v, 1); }
    bool u16le(std::uint16_t& v) { return readInt(v, std::endian::little); }
    bool u16be(std::uint16_t& v) { return readInt(v, std::endian::big); }
    bool i16le(std::int16_t& v) { return readSigned(v, std::endian::little); }
    bool i16be(std::int16_t& v) { return readSigned(v, std::endian::big); }
    bool u32le(std::uint32_t& v) { return readInt(v, std::endian::little); }
    bool u32be(std::uint32_t& v) { return readInt(v, std::endian::big); }
    bool i32le(std::int32_t& v) { return readSigned(v, std::endian::little); }
    bool i32be(std::int32_t& v) { return readSigned(v, std::endian::big); }
    bool f32le(float& v) {
        std::uint32_t bits;
        if (!u32le(bits)) return false;
        v = std::bit_cast<float>(bits);
        return true;
    }

    // A zero-terminated string; false when no zero byte follows.
    bool cstring(std::string& out) {
        const auto* start = bytes_.data() + pos_;
        const void* zero = std::memchr(start, 0, remaining());
        if (!zero) return false;
        std::size_t length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - start);
        out.assign(reinterpret_cast<const char*>(start), length);
        pos_ += length + 1;
        return true;
    }
    // `count` bytes as text.
    bool fixedString(std::size_t count, std::string& out) {
        if (count > remaining()) return false;
        out.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), count);
        pos_ += count;
        return true;
    }

private:
    template <typename T>
    bool readInt(T& v, std::endian order) {
        if (sizeof(T) > remaining()) return false;
        T value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            std::size_t shift = order == std::endian::little ? i : sizeof(T) - 1 - i;
            value = static_cast<T>(value | (static_cast<T>(bytes_[pos_ + i]) << (8 * shift)));
        }
        v = value;
        pos_ += sizeof(T);
        return true;
    }
    template <typename S>
    bool readSigned(S& v, std::endian order) {
        std::make_unsigned_t<S> u;
        if (!readInt(u, order)) return false;
        v = static_cast<S>(u);
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace tryster::io
