// Saving a look back into a character file: the same rewrite as a new
// date's and nothing else, a backup of the old file, and no state in which
// the old file is lost.

#include "ExchangeTestSupport.h"
#include "exchange/AppearanceStrings.h"
#include "share/GameChange.h"
#include "exchange/CharacterReading.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/FileBackup.h"
#include "exchange/SaveBack.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

class SaveBackTest : public ::testing::Test {
protected:
    SaveBackTest() {
        EXPECT_EQ(buildDateTemplate(path), kNoError);
        original = test::fileBytes(path);
    }
    SaveBackResult save() {
        share::GameChange placement("", share::ChangeKind::Restyled);
        return saveBack(path, "Bob", look, reporter, placement);
    }
    void restore() {
        auto& disk = platform::realFileSystem();
        for (const std::string& name : test::filesIn(dir.str())) (void)disk.remove(dir.file(name));
        dir.write("User1.iff", std::string(original.begin(), original.end()));
        reporter.clear();
    }
    void expectLeftAsItWas(const SaveBackResult& result) {
        EXPECT_FALSE(result.saved());
        EXPECT_TRUE(test::fileBytes(path) == original);
        EXPECT_EQ(test::filesIn(dir.str()), std::vector<std::string>{"User1.iff"});
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_EQ(reporter.messages[0].first, kSaveErrorCaption);
    }
    // The original after the new date's rewrite (written beside it, so call
    // it before installing a file layer that counts).
    std::vector<test::Listed> rewrittenOriginal() {
        std::string copy = dir.write("expected.iff", std::string(original.begin(), original.end()));
        EXPECT_EQ(writeAppearanceStrings(copy, look), kNoError);
        auto listed = test::listAll(copy);
        std::filesystem::remove(copy);
        return listed;
    }

    test::TempDir dir;
    test::RecordingReporter reporter;
    std::string path = dir.file("User1.iff");
    std::vector<std::uint8_t> original;
    Character look = test::sampleCharacter();
};

TEST_F(SaveBackTest, RewritesTheLookAsForANewDateAndKeepsABackup) {
    SaveBackResult result = save();
    ASSERT_TRUE(result.saved());
    EXPECT_EQ(failureDetail(result), "");
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].first, kSaveCompleteCaption);
    EXPECT_EQ(reporter.messages[0].second,
              "Bob has been saved to the game. The next time you see Bob this is what they will look like.");
    EXPECT_EQ(result.backupPath, path + ".bak");
    EXPECT_TRUE(test::fileBytes(result.backupPath) == original);
    // The new date's rewrite, whose strings the new date's tests check, and
    // nothing else: the name and every other resource as they were.
    EXPECT_EQ(test::listAll(path), rewrittenOriginal());
    EXPECT_TRUE(test::resourceBytes(path, kTypePicture, 1).empty()) << "the pictures go";
}

TEST_F(SaveBackTest, AgeAndGenderStayAsTheFileHasThem) {
    test::setAppearanceStrings(path, {{1, "Child"}, {13, "Female"}});
    look.appearance.isAdult = true;
    look.record.setGender(kMale);
    ASSERT_TRUE(save().saved());
    const CharacterReading back = readCharacter(path);
    EXPECT_EQ(back.ageText, "Child");
    EXPECT_EQ(back.genderText, "Female");
}

TEST_F(SaveBackTest, UnreadableFileIsLeftAsItWas) {
    dir.write("User1.iff", "not a container");
    original = test::fileBytes(path);
    SaveBackResult result = save();
    EXPECT_EQ(result.status, SaveBackResult::Status::NotWritten);
    expectLeftAsItWas(result);
    EXPECT_EQ(reporter.messages[0].second, kCouldNotSaveBackMessage);
    EXPECT_EQ(failureDetail(result), "What failed: the file could not be copied or its look written.");
}

// A disk that fills up at any write, or any single change of the disk
// refused: the file is left as it was or fully saved.
TEST_F(SaveBackTest, AFailedWriteOrChangeLeavesTheFileWholeOrSaved) {
    const auto expected = rewrittenOriginal();
    for (const bool single : {false, true}) {
        test::FaultyFileSystem faulty;
        faulty.everyChange = single;
        faulty.once = single;
        test::ScopedFileSystem scoped(faulty);
        const std::uint64_t operations = test::forEveryFault(faulty, [&] { restore(); }, [&](std::uint64_t n) {
            SaveBackResult result = save();
            // On a full disk every write from the n-th on fails.
            EXPECT_TRUE(single || result.saved() == (n == 0));
            if (!result.saved()) return expectLeftAsItWas(result);
            EXPECT_EQ(test::filesIn(dir.str()), (std::vector<std::string>{"User1.iff", "User1.iff.bak"}));
            EXPECT_TRUE(test::fileBytes(result.backupPath) == original);
            EXPECT_EQ(test::listAll(path), expected);
        });
        EXPECT_GT(operations, 5u);
    }
}

}  // namespace
