// Reading an existing character: the choices the load command makes from
// string list 200, and the open dialog's extra panel for files of every
// kind.

#include "ExchangeTestSupport.h"
#include "exchange/CharacterReading.h"
#include "exchange/ExchangeTexts.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

// What the load takes from the strings, field by field.
struct Look {
    bool adult, male;
    std::int32_t tone, body;
    std::string bodyMesh, bodyTexture, headMesh, headTexture;
    bool operator==(const Look&) const = default;
};

Look lookOf(const Character& c) {
    const Appearance& a = c.appearance;
    return {a.isAdult, c.isMale(), c.record.skinTone(), c.record.bodyType(),
            a.bodyMesh, a.bodyTexture, a.headMesh, a.headTexture};
}

struct LookCase {
    const char* what;
    std::vector<std::pair<int, std::string>> strings;
    Look expected;
};

const LookCase kLookCases[] = {
    {"adult male, light and fit",
     {{1, "Adult"}, {2, "b003mafit_01,BODY=B003MAFitlgt_bmoc"}, {3, "c011ma_repo,HEAD-HEAD=C011malgt_rotc"},
      {13, "Male"}, {15, "Light"}},
     Look{true, true, kLight, kFit, "b003mafit_01", "b003mafitlgt_bmoc", "c011ma_repo", "c011malgt_rotc"}},
    // The program itself writes the tone code in lower case.
    {"lower-case letters",
     {{1, "adult"}, {2, "B005FAFAT_01,BODY=b005fafatmed_suit"}, {3, "c020fa,HEAD-HEAD=c020famed"}, {13, "male"},
      {15, "med"}},
     Look{true, true, kMedium, kFat, "b005fafat_01", "b005fafatmed_suit", "c020fa", "c020famed"}},
    {"child girl, dark and thin",
     {{1, "Child"}, {2, "b001fcchd_01,BODY=b001fcchddrk_kid"}, {3, "c201fc,HEAD-HEAD=c201fcdrk"}, {13, "Female"},
      {15, "drk"}},
     Look{false, false, kDark, kSkinny, "b001fcchd_01", "b001fcchddrk_kid", "c201fc", "c201fcdrk"}},
    {"fit wins over fat", {{1, "A"}, {2, "fatfit,BODY=x"}}, Look{true, false, kDark, kFit, "fatfit", "x", "", ""}},
    {"no comma: all mesh", {{2, "b003mafit_01"}, {3, "c011ma_repo"}},
     Look{false, false, kDark, kFit, "b003mafit_01", "", "c011ma_repo", ""}},
    {"ends before the texture", {{2, "b003,BODY="}, {3, "c011,HEAD-HEA"}},
     Look{false, false, kDark, kSkinny, "b003", "", "c011", ""}},
    {"an empty list", {}, Look{false, false, kDark, kSkinny, "", "", "", ""}},
};

TEST(CharacterReading, ReadsWhatTheLoadCommandChooses) {
    for (const LookCase& c : kLookCases) {
        SCOPED_TRACE(c.what);
        StringSet strings;
        for (const auto& [number, text] : c.strings) {
            while (strings.Count() < number - 1) strings.SetString(strings.Count() + 1, "");
            strings.SetString(number, text);
        }
        const Character read = lookFromStrings(strings);
        EXPECT_TRUE(lookOf(read) == c.expected);
        EXPECT_EQ(read.appearance.leftHandMesh, defaultsOf(c.expected.adult).leftHandMesh) << "the age's default set";
    }
}

TEST(ExtraPanel, ShowsNameAgeAndGenderWithCapitals) {
    test::TempDir dir;
    std::string path = dir.file("User1.iff");
    ASSERT_EQ(buildDateTemplate(path), kNoError);
    test::setAppearanceStrings(path, {{1, "adult"}, {13, "female"}});
    const auto before = test::fileBytes(path);
    CharacterReading reading = readCharacter(path);
    EXPECT_TRUE(test::fileBytes(path) == before);  // only read
    ExtraPanelText panel = extraPanelText(reading);
    EXPECT_EQ(panel.name, "Template");
    EXPECT_EQ(panel.age, "Adult");
    EXPECT_EQ(panel.gender, "Female");
    EXPECT_EQ(loadedWindowTitle(reading), "Template - The Ploms Figurant");
}

}  // namespace
