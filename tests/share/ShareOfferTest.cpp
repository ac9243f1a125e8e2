// What the window offers around sharing.

#include "share/HistoryView.h"
#include "share/ShareOffer.h"
#include "share/ShownText.h"

#include <gtest/gtest.h>

using namespace tryster::share;

namespace {

TEST(ShareOffer, APackIsOfferedAfterASaveOnlyWithoutAnExchangeAddress) {
    EXPECT_TRUE(offersPackAfterSave(""));
    EXPECT_TRUE(offersPackAfterSave("  "));
    EXPECT_FALSE(offersPackAfterSave("https://dates.example.org/"));
}

TEST(ShareOffer, ThePacksNameIsTheCharactersMadeAFileName) {
    EXPECT_EQ(defaultPackFileName("Rosa Marsh"), "Rosa Marsh.zip");
    EXPECT_EQ(defaultPackFileName("Zo\xEB"), "Zo\xC3\xAB.zip");  // the game's text, as UTF-8
    EXPECT_EQ(defaultPackFileName("AC/DC: \"live\"?"), "AC_DC_ _live__.zip");
    EXPECT_EQ(defaultPackFileName("../.."), "_.zip");
    EXPECT_EQ(defaultPackFileName(" . "), "Shared date.zip");
    EXPECT_EQ(defaultPackFileName(""), "Shared date.zip");
}

// Messages of the sharing code, shown by the window as sentences.
TEST(ShareOffer, AReasonBecomesASentence) {
    EXPECT_EQ(asSentence("this date could not be shared: the disk is full"),
              "This date could not be shared: the disk is full.");
    EXPECT_EQ(asSentence("Date_Rosa.iff was kept."), "Date_Rosa.iff was kept.");
    EXPECT_EQ(asSentence(""), "");
}

TEST(HistoryView, SizesAreSaidInBytesThenKilobytes) {
    EXPECT_EQ(sizeText(1) + ", " + sizeText(1023) + ", " + sizeText(1536), "1 byte, 1023 bytes, 1.5 KB");
}

// A stranger's text: controls and reordering marks (decoded from their
// UTF-8, whatever their length) become U+FFFD, other characters pass whole.
TEST(ShownText, IsMadeHarmlessAndCutToItsLength) {
    EXPECT_EQ(shownText("Rosa\tMarsh\x1F", 80), "Rosa\xEF\xBF\xBDMarsh\xEF\xBF\xBD");
    EXPECT_EQ(shownText("two\r\nlines\t", 80, true), "two\nlines\t");
    EXPECT_EQ(shownText("x\xE2\x81\xA6y\xD8\x9Cz", 80), "x\xEF\xBF\xBDy\xEF\xBF\xBDz");  // U+2066, U+061C
    EXPECT_EQ(shownText("\xF0\x90\x80\x80\xE2\x82\xAC", 80), "\xF0\x90\x80\x80\xE2\x82\xAC");  // U+10000, U+20AC
    EXPECT_EQ(shownText("abcd", 4), "abcd");
    EXPECT_EQ(shownText("abcde", 4), "abc\xE2\x80\xA6");
}

}  // namespace
