#pragma once
// A checked cursor over a byte view: the one way the program reads bytes
// from a file or a buffer. Every read checks the bytes left, returns false
// on a short read and advances only on success, so a parser can stop at
// the first bad field and keep what it read before. Sizes are compared as
// `size > remaining()` and products of counts are checked before use, so
// nothing wraps.
//
// Numbers come in either byte order: fixed (u32le, u32be, ...) or chosen at
// run time (u32(v, order)) for formats that say their order in a flag.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

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
    // The bytes not read yet.
    std::span<const std::uint8_t> rest() const { return bytes_.subspan(pos_); }

    // Moves to an absolute offset; false (and no move) past the end.
    [[nodiscard]] bool seek(std::size_t offset) {
        if (offset > bytes_.size()) return false;
        pos_ = offset;
        return true;
    }
    [[nodiscard]] bool skip(std::size_t count) {
        if (count > remaining()) return false;
        pos_ += count;
        return true;
    }

    [[nodiscard]] bool readBytes(void* out, std::size_t count) {
        if (count > remaining()) return false;
        if (count) std::memcpy(out, bytes_.data() + pos_, count);
        pos_ += count;
        return true;
    }
    // A view of the next `count` bytes, valid as long as the underlying data.
    [[nodiscard]] bool readSpan(std::size_t count, std::span<const std::uint8_t>& out) {
        if (count > remaining()) return false;
        out = bytes_.subspan(pos_, count);
        pos_ += count;
        return true;
    }
    // The next `count` records of `recordSize` bytes each as one view; false
    // when the product overflows or runs past the end.
    [[nodiscard]] bool readArray(std::size_t count, std::size_t recordSize,
                                 std::span<const std::uint8_t>& out) {
        if (recordSize != 0 && count > std::numeric_limits<std::size_t>::max() / recordSize) return false;
        return readSpan(count * recordSize, out);
    }
    // The same as a reader of its own.
    [[nodiscard]] bool readArray(std::size_t count, std::size_t recordSize, ByteReader& out) {
        std::span<const std::uint8_t> view;
        if (!readArray(count, recordSize, view)) return false;
        out = ByteReader(view);
        return true;
    }
    // A reader over the next `count` bytes, which this one skips.
    [[nodiscard]] bool subReader(std::size_t count, ByteReader& out) {
        std::span<const std::uint8_t> view;
        if (!readSpan(count, view)) return false;
        out = ByteReader(view);
        return true;
    }
    // A reader over bytes [offset, offset + length) of the whole view; this
    // one does not move. False when the range does not lie inside.
    [[nodiscard]] bool rangeReader(std::size_t offset, std::size_t length, ByteReader& out) const {
        if (offset > bytes_.size() || length > bytes_.size() - offset) return false;
        out = ByteReader(bytes_.subspan(offset, length));
        return true;
    }

    [[nodiscard]] bool u8(std::uint8_t& v) { return readBytes(&v, 1); }
    [[nodiscard]] bool i8(std::int8_t& v) { return readBytes(&v, 1); }
    [[nodiscard]] bool u16le(std::uint16_t& v) { return readInt(v, std::endian::little); }
    [[nodiscard]] bool u16be(std::uint16_t& v) { return readInt(v, std::endian::big); }
    [[nodiscard]] bool i16le(std::int16_t& v) { return readSigned(v, std::endian::little); }
    [[nodiscard]] bool i16be(std::int16_t& v) { return readSigned(v, std::endian::big); }
    [[nodiscard]] bool u32le(std::uint32_t& v) { return readInt(v, std::endian::little); }
    [[nodiscard]] bool u32be(std::uint32_t& v) { return readInt(v, std::endian::big); }
    [[nodiscard]] bool i32le(std::int32_t& v) { return readSigned(v, std::endian::little); }
    [[nodiscard]] bool f32le(float& v) { return readFloat(v, std::endian::little); }

    // In the byte order given at run time.
    [[nodiscard]] bool u16(std::uint16_t& v, std::endian order) { return readInt(v, order); }
    [[nodiscard]] bool i16(std::int16_t& v, std::endian order) { return readSigned(v, order); }
    [[nodiscard]] bool u32(std::uint32_t& v, std::endian order) { return readInt(v, order); }
    [[nodiscard]] bool i32(std::int32_t& v, std::endian order) { return readSigned(v, order); }
    [[nodiscard]] bool f32(float& v, std::endian order) { return readFloat(v, order); }

    // A zero-terminated string; false when no zero byte follows (an empty
    // view or one read to its end included).
    [[nodiscard]] bool cstring(std::string& out) {
        if (atEnd()) return false;
        const auto* start = bytes_.data() + pos_;
        const void* zero = std::memchr(start, 0, remaining());
        if (!zero) return false;
        std::size_t length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - start);
        out.assign(reinterpret_cast<const char*>(start), length);
        pos_ += length + 1;
        return true;
    }
    // `count` bytes as text.
    [[nodiscard]] bool fixedString(std::size_t count, std::string& out) {
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
    bool readFloat(float& v, std::endian order) {
        std::uint32_t bits;
        if (!readInt(bits, order)) return false;
        v = std::bit_cast<float>(bits);
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace tryster::io
