#pragma once
// Appends fixed-size numbers and strings to a growing byte buffer.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace tryster::io {

class ByteWriter {
public:
    std::vector<std::uint8_t>& bytes() { return bytes_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }
    std::size_t size() const { return bytes_.size(); }

    void raw(const void* data, std::size_t count) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + count);
    }
    void u8(std::uint8_t v) { bytes_.push_back(v); }
    void u16le(std::uint16_t v) { put(v, std::endian::little); }
    void u16be(std::uint16_t v) { put(v, std::endian::big); }
    void u32le(std::uint32_t v) { put(v, std::endian::little); }
    void u32be(std::uint32_t v) { put(v, std::endian::big); }
    void i16le(std::int16_t v) { u16le(static_cast<std::uint16_t>(v)); }
    void i16be(std::int16_t v) { u16be(static_cast<std::uint16_t>(v)); }
    void i32le(std::int32_t v) { u32le(static_cast<std::uint32_t>(v)); }
    void f32le(float v) { u32le(std::bit_cast<std::uint32_t>(v)); }
    void text(std::string_view s) { raw(s.data(), s.size()); }
    void cstring(std::string_view s) {
        text(s);
        u8(0);
    }
    void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

private:
    template <typename T>
    void put(T v, std::endian order) {
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            std::size_t shift = order == std::endian::little ? i : sizeof(T) - 1 - i;
            bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * shift)));
        }
    }

    std::vector<std::uint8_t> bytes_;
};

}  // namespace tryster::io
