// The digests the manifests and the record of installed dates keep: the
// published vectors in lower-case hexadecimal, however the bytes arrive.

#include "formats/Sha256.h"

#include <gtest/gtest.h>

#include <string>

using namespace tryster::formats;

namespace {

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(Sha256, GivesThePublishedDigestsInOnePieceOrInTwo) {
    EXPECT_EQ(sha256Hex(bytesOf("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    const std::string text = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const std::string digest = "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
    EXPECT_EQ(sha256Hex(bytesOf(text)), digest);
    Sha256 hash;
    hash.update(bytesOf(text).first(5));
    hash.update(bytesOf(text).subspan(5));
    EXPECT_EQ(toHex(hash.finish()), digest);
}

}  // namespace
