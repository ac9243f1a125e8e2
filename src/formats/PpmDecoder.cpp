#include "formats/ImageDecoder.h"

#include "io/ByteReader.h"
#include "platform/FileSystem.h"

#include <cctype>

namespace tryster::formats {
namespace {

class Tokens {
public:
    explicit Tokens(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The next decimal number, skipping blanks and '#' comments; false for
    // anything else or a value above `max`.
    bool number(std::uint32_t max, std::uint32_t& out) {
        skipBlanks();
        std::size_t start = pos_;
        std::uint32_t value = 0;
        while (pos_ < bytes_.size() && std::isdigit(bytes_[pos_])) {
            value = value * 10 + static_cast<std::uint32_t>(bytes_[pos_] - '0');
            if (value > max) return false;
            ++pos_;
        }
        out = value;
        return pos_ > start;
    }
    // After the header: exactly one blank, then the samples.
    bool oneBlank() {
        if (pos_ >= bytes_.size() || !std::isspace(bytes_[pos_])) return false;
        ++pos_;
        return true;
    }
    std::span<const std::uint8_t> rest() const { return bytes_.subspan(pos_); }
    std::size_t position() const { return pos_; }

private:
    void skipBlanks() {
        while (pos_ < bytes_.size()) {
            if (bytes_[pos_] == '#') {
                while (pos_ < bytes_.size() && bytes_[pos_] != '\n' && bytes_[pos_] != '\r') ++pos_;
            } else if (std::isspace(bytes_[pos_])) {
                ++pos_;
            } else {
                break;
            }
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

bool decodePpm(std::span<const std::uint8_t> bytes, DecodedImage& out) {
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '3' && bytes[1] != '6')) return false;
    const bool binary = bytes[1] == '6';
    Tokens t(bytes.subspan(2));
    std::uint32_t width, height, maxValue;
    if (!t.number(kMaxImageSide, width) || !t.number(kMaxImageSide, height) || !t.number(65535, maxValue) ||
        width == 0 || height == 0 || maxValue == 0)
        return false;
    const std::size_t count = std::size_t{width} * height;
    // Each text sample takes a digit and a blank at least.
    const std::size_t leastBytes = binary ? count * 3 * (maxValue < 256 ? 1 : 2) + 1 : count * 6 - 1;
    if (t.rest().size() < leastBytes) return false;
    std::vector<std::uint32_t> pixels(count);
    auto scale = [maxValue](std::uint32_t v) { return v * 255 / maxValue; };
    if (binary) {
        if (!t.oneBlank()) return false;
        // Samples of one byte, or of two (most significant first) when the
        // largest value needs them.
        const bool wide = maxValue >= 256;
        io::ByteReader samples;
        if (!io::ByteReader(t.rest()).readArray(count * 3, wide ? 2 : 1, samples)) return false;
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t c[3];
            for (std::uint32_t& k : c) {
                std::uint8_t narrow = 0;
                std::uint16_t v16 = 0;
                if (wide ? !samples.u16be(v16) : !samples.u8(narrow)) return false;
                const std::uint32_t v = wide ? v16 : narrow;
                if (v > maxValue) return false;
                k = scale(v);
            }
            pixels[i] = 0xFF000000u | (c[0] << 16) | (c[1] << 8) | c[2];
        }
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t c[3];
            for (std::uint32_t& v : c) {
                if (!t.number(maxValue, v)) return false;
                v = scale(v);
            }
            pixels[i] = 0xFF000000u | (c[0] << 16) | (c[1] << 8) | c[2];
        }
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels = std::move(pixels);
    return true;
}

bool decodeImage(std::span<const std::uint8_t> bytes, std::string_view type, DecodedImage& out) {
    if (platform::equalsNoCase(type, "BMP")) return decodeBmp(bytes, out);
    if (platform::equalsNoCase(type, "PPM")) return decodePpm(bytes, out);
    return false;
}

}  // namespace tryster::formats
