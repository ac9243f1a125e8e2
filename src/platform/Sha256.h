#pragma once
// SHA-256 (FIPS 180-4), to tell whether two files hold the same bytes: a
// shared date's manifest names each file's digest, and the record of
// installed dates keeps the digest of every file an install wrote.
//
// The rounds run on the processor's SHA extensions where it has them (about
// six times the portable rounds' speed, which made hashing a third of an
// install's time), else in portable code; both give the same digests.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tryster::platform {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
public:
    // `Fastest` takes the processor's SHA extensions where it has them;
    // `Portable` never does (for comparing the two).
    enum class Rounds { Fastest, Portable };

    explicit Sha256(Rounds rounds = Rounds::Fastest);
    void update(std::span<const std::uint8_t> bytes);
    // The digest of everything given; the object must not be used after.
    Sha256Digest finish();

    // Whether `Fastest` runs on the processor's SHA extensions here.
    static bool hasShaExtensions();

private:
    void compress(const std::uint8_t* blocks, std::size_t count);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t totalBytes_ = 0;
    bool extensions_ = false;
};

Sha256Digest sha256(std::span<const std::uint8_t> bytes);
// 64 lower-case hexadecimal digits.
std::string toHex(const Sha256Digest& digest);
// The digest of `bytes` as toHex gives it.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace tryster::platform
