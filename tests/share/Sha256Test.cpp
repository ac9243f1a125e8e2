// SHA-256 against the published test vectors (FIPS 180-4 examples and the
// NIST byte-oriented set), and the same digest however the bytes arrive.

#include "share/Sha256.h"

#include <gtest/gtest.h>

#include <string>

using namespace tryster::share;

namespace {

std::string digestOf(const std::string& text) {
    return sha256Hex(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

TEST(Sha256, MatchesThePublishedVectors) {
    EXPECT_EQ(digestOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(digestOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 448 bits: the padding no longer fits the block.
    EXPECT_EQ(digestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(digestOf("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
                       "mnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(digestOf(std::string(1'000'000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, GivesOneDigestWhateverTheChunks) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += static_cast<char>(i * 7);
    const std::string whole = digestOf(text);
    for (std::size_t split : {1u, 55u, 56u, 63u, 64u, 65u, 128u, 299u}) {
        Sha256 hash;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        hash.update(std::span(bytes, split));
        hash.update(std::span(bytes + split, text.size() - split));
        EXPECT_EQ(toHex(hash.finish()), whole) << "split at " << split;
    }
}

}  // namespace
