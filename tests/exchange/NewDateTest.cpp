// New dates: a copy of the template checked resource by resource, the
// appearance strings, and failures that leave the game's folder as it was.

#include "ExchangeTestSupport.h"
#include "share/GameChange.h"
#include "exchange/CatalogName.h"
#include "exchange/CharacterReading.h"
#include "exchange/DateConstants.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/NewDate.h"
#include "exchange/ObjectDefinition.h"
#include "platform/StagedFile.h"
#include "resfile/StringSetMulti.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

const std::vector<std::string> kFourSteps = {std::string(kCreatingDateStatus), std::string(kNamingDateStatus),
                                             std::string(kDateDnaStatus), std::string(kDateSkinStatus)};

std::vector<std::string> filesIn(const test::TempDir& dir) { return test::filesIn(dir.str()); }

std::string stringOf(StringSet& set, int number) {
    const std::string* s = set.GetString(number);
    return s ? *s : "<none>";
}

class NewDate : public ::testing::Test {
protected:
    bool create(const std::string& templateFile) {
        share::GameChange placement("", share::ChangeKind::NewDate);
        return createNewDate(base, templateFile, character, reporter, placement);
    }
    bool create() { return create(templatePath); }
    test::TempDir dir;
    test::FixedClock clock;
    test::RecordingReporter reporter;
    std::string templatePath = test::makeTemplate(dir, {.catalogText = true});
    Character character = test::sampleCharacter();
    PlomData& record = character.record;
    Appearance& look = character.appearance;
    std::string base = dir.file("Bob");
};

TEST_F(NewDate, CarriesTheRecordAndTheLook) {
    ASSERT_TRUE(create());
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(reporter.statuses, kFourSteps);
    EXPECT_EQ(filesIn(dir), (std::vector<std::string>{"Bob.iff", "TR_Template.iff"}));

    IFFResFile2 file;
    ASSERT_EQ(file.Open(dir.file("Bob.iff")), kNoError);

    DataHandle object = file.GetResource(kTypeObjectDefinition, kTemplateFirstObjectId, nullptr);
    std::string objectName;
    (void)file.GetResName(object, objectName);
    EXPECT_EQ(objectName, "Bob.iff");
    EXPECT_EQ(readObjectField(handleBytes(object), kPreviousIdentifierOffset, true), kTemplateFirstIdentifier);

    CatalogName catalog;
    ASSERT_EQ(catalog.load(file, kCatalogNameId), kNoError);
    EXPECT_EQ(catalog.name, "Bob");
    EXPECT_EQ(catalog.description, record.description());
    EXPECT_FALSE(file.GetResource(kTypeCatalogText, kCatalogNameId, nullptr));
    StringSetMulti languages;
    languages.Setup(&file, kCatalogNameId, kTypeCatalogStrings, false, 0);
    ASSERT_EQ(languages.Read(true, false), kNoError);
    EXPECT_EQ(languages.Count(1), 0);

    cTreeConstants constants;
    ASSERT_EQ(constants.load(file, kDateConstantsId), kNoError);
    ASSERT_EQ(constants.count(), 24);
    auto values = dateConstantValues(record);
    for (int k = 0; k < kDateConstantCount; ++k) EXPECT_EQ(constants.entry(k)->value, values[static_cast<std::size_t>(k)]) << k;
    EXPECT_EQ(constants.entry(22)->value, kTemplateConstantBase + 22);
    EXPECT_EQ(constants.entry(23)->value, kTemplateConstantBase + 23);
    EXPECT_TRUE(constants.flag());
    EXPECT_EQ(constants.entry(3)->label, "Neat");

    StringSet strings;
    ASSERT_EQ(strings.Load(&file, kAppearanceListId, false), kNoError);
    EXPECT_EQ(stringOf(strings, 1), "Adult");
    EXPECT_EQ(stringOf(strings, 2), "b005fafat_01,BODY=b005fafatdrk_suit");
    EXPECT_EQ(stringOf(strings, 3), "c020fa_bob,HEAD-HEAD=c020fadrk_bob");
    EXPECT_EQ(stringOf(strings, 13), "Male");
    EXPECT_EQ(stringOf(strings, 15), "drk");
    EXPECT_EQ(stringOf(strings, 16), "u0fat_swim,BODY=u0fatdrk_swim");
    EXPECT_EQ(stringOf(strings, 17), "u0fat_pjs,BODY=u0fatdrk_pjs");
    EXPECT_EQ(stringOf(strings, 18), "hmlo,HAND=huaodrk");
    EXPECT_EQ(stringOf(strings, 23), "hmrc,HAND=huacdrk");
    EXPECT_EQ(stringOf(strings, 24), "entry 24");
    EXPECT_EQ(stringOf(strings, 28), "u0fat_formal,BODY=u0fatdrk_formal");

    EXPECT_EQ(file.CountResources(kTypePicture), 0);
    EXPECT_EQ(file.CountResources(makeType("TEXT")), kTemplateVariantCount);
}

// The template says "Adult" and "Male"; a date says what it is, in the
// template's letter case, and Load reads it back so.
TEST_F(NewDate, SaysItsOwnAgeAndGenderInTheTemplatesLetterCase) {
    struct Row {
        const char* templateAge;
        const char* templateGender;
        bool adult;
        Gender gender;
        const char* age;
        const char* genderText;
    };
    const Row rows[] = {
        {"Adult", "Male", true, kFemale, "Adult", "Female"},
        {"Adult", "Male", false, kMale, "Child", "Male"},
        {"ADULT", "MALE", false, kFemale, "CHILD", "FEMALE"},
        {"adult", "male", true, kFemale, "adult", "female"},
        {"", "", false, kFemale, "Child", "Female"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.age) + " " + row.genderText);
        (void)platform::fileSystem().remove(templatePath);
        templatePath = test::makeTemplate(dir);
        test::setAppearanceStrings(templatePath, {{1, row.templateAge}, {13, row.templateGender}});
        look.isAdult = row.adult;
        record.setGender(row.gender);
        ASSERT_TRUE(create());
        const CharacterReading back = readCharacter(dir.file("Bob.iff"));
        ASSERT_TRUE(back.look);
        EXPECT_EQ(back.ageText, row.age);
        EXPECT_EQ(back.genderText, row.genderText);
        EXPECT_EQ(back.look->appearance.isAdult, row.adult);
        EXPECT_EQ(back.look->isMale(), row.gender == kMale);
    }
}

// Each failing step shows its message; the earlier date stays and nothing
// half-written is left beside it.
TEST_F(NewDate, EachFailingStepShowsItsMessage) {
    const struct {
        const char* what;
        std::string templateFile;
        std::string_view message;
        std::size_t statuses;
    } rows[] = {
        {"missing template", dir.file("Missing.iff"), kCouldNotCreateMessage, 1},
        {"fewer than 22 constants", test::makeTemplate(dir, {.constantCount = 21}, "Changed.iff"),
         kCouldNotTraitsMessage, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        dir.write("Bob.iff", "earlier date");
        reporter.clear();
        EXPECT_FALSE(create(row.templateFile));
        EXPECT_EQ(reporter.messages, (std::vector<std::pair<std::string, std::string>>{
                                         {std::string(kErrorCaption), std::string(row.message)}}));
        EXPECT_EQ(reporter.statuses,
                  std::vector<std::string>(kFourSteps.begin(), kFourSteps.begin() + static_cast<long>(row.statuses)));
        EXPECT_EQ(dir.read("Bob.iff"), "earlier date");
        for (const std::string& name : filesIn(dir))
            EXPECT_FALSE(name.ends_with(platform::StagedFile::kSuffix)) << name;
    }
}

// A disk that fills up at any write: either a complete date with the
// earlier one kept as its backup, or a message and the earlier date
// untouched with nothing beside it.
TEST_F(NewDate, AWriteFailingAnywhereNeverLeavesAPartialDate) {
    test::FaultyFileSystem faulty;
    test::ScopedFileSystem scoped(faulty);
    auto prepare = [&] {
        std::filesystem::remove(dir.file("Bob.iff.bak"));
        dir.write("Bob.iff", "earlier date");
        reporter.clear();
    };
    const std::uint64_t writes = test::forEveryFault(faulty, prepare, [&](std::uint64_t n) {
        const bool made = create();
        EXPECT_TRUE(made || n > 0);
        if (!made) {
            EXPECT_EQ(filesIn(dir), (std::vector<std::string>{"Bob.iff", "TR_Template.iff"}));
            ASSERT_EQ(reporter.messages.size(), 1u);
            EXPECT_EQ(dir.read("Bob.iff"), "earlier date");
            return;
        }
        EXPECT_EQ(filesIn(dir), (std::vector<std::string>{"Bob.iff", "Bob.iff.bak", "TR_Template.iff"}));
        EXPECT_EQ(dir.read("Bob.iff.bak"), "earlier date");
        IFFResFile2 file;
        ASSERT_EQ(file.Open(dir.file("Bob.iff")), kNoError);
        CatalogName catalog;
        EXPECT_EQ(catalog.load(file, kCatalogNameId), kNoError);
        EXPECT_EQ(catalog.name, "Bob");
        StringSet strings;
        ASSERT_EQ(strings.Load(&file, kAppearanceListId, false), kNoError);
        EXPECT_EQ(stringOf(strings, 15), "drk");
    });
    EXPECT_GT(writes, 20u);
}

}  // namespace
