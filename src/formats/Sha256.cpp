#include "formats/Sha256.h"

namespace tryster::formats {

Sha256::Sha256() { sha256_init(&context_); }

void Sha256::update(std::span<const std::uint8_t> bytes) { sha256_update(&context_, bytes.size(), bytes.data()); }

Sha256Digest Sha256::finish() {
    Sha256Digest digest;
    sha256_digest(&context_, digest.size(), digest.data());
    return digest;
}

Sha256Digest sha256(std::span<const std::uint8_t> bytes) {
    Sha256 hash;
    hash.update(bytes);
    return hash.finish();
}

std::string toHex(const Sha256Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(64);
    for (std::uint8_t b : digest) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::string sha256Hex(std::span<const std::uint8_t> bytes) { return toHex(sha256(bytes)); }

}  // namespace tryster::formats
