// What the window offers around sharing.

#include "share/ShareOffer.h"

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

}  // namespace
