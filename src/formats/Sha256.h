#pragma once
// SHA-256 (over Nettle, which runs the rounds on the processor's SHA
// extensions where it has them), to tell whether two files hold the same
// bytes: a shared date's manifest names each file's digest, and the record
// of installed dates keeps the digest of every file an install wrote.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include <nettle/sha2.h>

namespace tryster::formats {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
public:
    Sha256();
    void update(std::span<const std::uint8_t> bytes);
    // The digest of everything given; the object must not be used after.
    Sha256Digest finish();

private:
    sha256_ctx context_;
};

Sha256Digest sha256(std::span<const std::uint8_t> bytes);
// 64 lower-case hexadecimal digits.
std::string toHex(const Sha256Digest& digest);
// The digest of `bytes` as toHex gives it.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace tryster::formats
