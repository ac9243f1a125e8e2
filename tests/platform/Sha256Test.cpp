// SHA-256 against the published test vectors (FIPS 180-4 examples and the
// NIST byte-oriented set), on the processor's SHA extensions and in portable
// code alike, and the same digest however the bytes arrive.

#include "platform/Sha256.h"

#include <gtest/gtest.h>

#include <string>

using namespace tryster::platform;

namespace {

constexpr Sha256::Rounds kBothRounds[] = {Sha256::Rounds::Fastest, Sha256::Rounds::Portable};

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::string digestOf(const std::string& text, Sha256::Rounds rounds) {
    Sha256 hash(rounds);
    hash.update(bytesOf(text));
    return toHex(hash.finish());
}

TEST(Sha256, MatchesThePublishedVectors) {
    for (Sha256::Rounds rounds : kBothRounds) {
        SCOPED_TRACE(rounds == Sha256::Rounds::Portable ? "portable" : "fastest");
        EXPECT_EQ(digestOf("", rounds), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
        EXPECT_EQ(digestOf("abc", rounds), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        // 448 bits: the padding no longer fits the block.
        EXPECT_EQ(digestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", rounds),
                  "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
        EXPECT_EQ(digestOf("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmn"
                           "opqrsmnopqrstnopqrstu",
                           rounds),
                  "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
        EXPECT_EQ(digestOf(std::string(1'000'000, 'a'), rounds),
                  "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    }
}

TEST(Sha256, GivesOneDigestWhateverTheChunksAndTheRounds) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += static_cast<char>(i * 7 + i / 13);
    const std::string whole = digestOf(text, Sha256::Rounds::Portable);
    EXPECT_EQ(sha256Hex(bytesOf(text)), whole);
    for (Sha256::Rounds rounds : kBothRounds) {
        for (std::size_t split : {1u, 55u, 56u, 63u, 64u, 65u, 128u, 299u, 999u}) {
            Sha256 hash(rounds);
            const auto bytes = bytesOf(text);
            hash.update(bytes.first(split));
            hash.update(bytes.subspan(split));
            EXPECT_EQ(toHex(hash.finish()), whole) << "split at " << split;
        }
    }
}

}  // namespace
