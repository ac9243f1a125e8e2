// What the game's runtime gives: the code page of its text against the
// system's UTF-8 (what fits, what is refused, and file names both ways),
// and its random sequence.

#include "platform/Clock.h"
#include "platform/GameText.h"

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

TEST(GameText, WesternTextFitsAndTheRestIsRefused) {
    const GameTextResult accented = toGameText("Zo\xC3\xAB \xE2\x82\xAC", false);  // "Zoë €"
    ASSERT_TRUE(accented.text);
    EXPECT_EQ(*accented.text, std::string("Zo\xEB \x80"));
    EXPECT_EQ(fromGameText(*accented.text), "Zo\xC3\xAB \xE2\x82\xAC");

    const GameTextResult cyrillic = toGameText(
        "\xD0\x96"
        "ack",
        false);  // "Жack"
    EXPECT_FALSE(cyrillic.text);
    EXPECT_EQ(cyrillic.refused, U'\u0416');
    EXPECT_NE(refusalHint(cyrillic.refused).find("\xD0\x96"), std::string::npos);

    EXPECT_FALSE(toGameText("a\nb", false).text) << "a name is one line";
    EXPECT_FALSE(toGameText("bad \xC3", true).text) << "cut-short UTF-8";
    EXPECT_FALSE(toGameText("\xC0\xAF", true).text) << "overlong UTF-8";
    const GameTextResult lines = toGameText("one\ntwo\r\nthree\rfour", true);
    ASSERT_TRUE(lines.text);
    EXPECT_EQ(*lines.text, "one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(fromGameText("\x81"), "\xEF\xBF\xBD") << "a byte the code page leaves undefined";
}

TEST(GameText, FileNamesCrossBothWaysAndSystemTextIsMadeValid) {
    EXPECT_EQ(gameNameOfFile("b006fafit_01.cmx"), "b006fafit_01.cmx");
    EXPECT_EQ(gameNameOfFile("bob\xC3\xA9\xC3\x9F.bmp"), "bob\xE9\xDF.bmp");  // "bobéß.bmp"
    EXPECT_FALSE(gameNameOfFile("\xC5\x81ukasz.iff")) << "Ł has no byte in the code page";
    EXPECT_FALSE(gameNameOfFile("bob\xE9.bmp")) << "a name on disk that is not UTF-8";
    EXPECT_EQ(fileNameOfGameName("bob\xE9\xDF\xF8\x80"), "bob\xC3\xA9\xC3\x9F\xC3\xB8\xE2\x82\xAC");

    EXPECT_EQ(validUtf8("/home/zo\xC3\xAB/a"), "/home/zo\xC3\xAB/a");
    EXPECT_EQ(validUtf8("a\xE9z"), "a\xEF\xBF\xBDz");
    // Escaped, nothing of a name that is not UTF-8 is lost: each byte of a
    // bad sequence, a surrogate and an overlong form alike.
    EXPECT_EQ(escapedUtf8("Zo\xEB.zip"), "Zo\\xEB.zip");
    EXPECT_EQ(escapedUtf8("\x9B\xED\xA0\x80\xC0\xAF"), "\\x9B\\xED\\xA0\\x80\\xC0\\xAF");
    EXPECT_EQ(escapedUtf8("zo\xC3\xAB \xEF\xBF\xBD"), "zo\xC3\xAB \xEF\xBF\xBD") << "UTF-8, and a real U+FFFD, stay";
}

TEST(RuntimeRandom, MatchesTheClassicRuntimeSequence) {
    RuntimeRandom r(1);
    EXPECT_EQ(r.next(), 41);
    EXPECT_EQ(r.next(), 18467);
    EXPECT_EQ(r.next(), 6334);
    r.seed(0);
    EXPECT_EQ(r.next(), 38);
    EXPECT_EQ(r.next(), 7719);
    seedRandom(1);  // the process's own generator
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
}

}  // namespace
}  // namespace tryster::platform
