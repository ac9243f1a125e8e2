// The template copy: every resource arrives with its identity and data;
// objects get fresh identifiers and the file's name; caret text and
// variants survive; a failure leaves no target behind.

#include "ExchangeTestSupport.h"
#include "exchange/CopyTemplate.h"
#include "exchange/ObjectDefinition.h"
#include "platform/FileSystem.h"
#include "resfile/StringSet.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

using test::find;
using test::Listed;
using test::listAll;

constexpr ResType kTypeText = makeType("TEXT");

class TemplateCopy : public ::testing::Test {
protected:
    ResError copy(TemplateCopyPlan& plan, const std::string& to) { return copyTemplate(plan, templatePath, to); }
    TemplateCopyPlan bobPlan() {
        TemplateCopyPlan plan;
        plan.setTargetObjectName("Bob.iff");
        return plan;
    }

    test::TempDir dir;
    test::FixedClock clock;
    std::string templatePath = test::makeTemplate(dir);
    std::string target = dir.file("Bob.iff");
};

TEST_F(TemplateCopy, CopiesEveryResourceWithItsIdentityAndData) {
    const std::size_t handles = liveHandleCount();
    TemplateCopyPlan plan = bobPlan();
    ASSERT_EQ(copy(plan, target), kNoError);
    EXPECT_EQ(plan.targetPath, target);
    EXPECT_EQ(liveHandleCount(), handles);

    auto before = listAll(templatePath);
    auto after = listAll(target);
    std::size_t compared = 0;
    for (const Listed& r : before) {
        if (r.type == kTypeObjectDefinition || r.type == kTypeCaretStrings) continue;
        const Listed* copied = find(after, r.type, r.id, r.variant);
        ASSERT_NE(copied, nullptr) << typeText(r.type) << " " << r.id << " variant " << int(r.variant);
        EXPECT_EQ(*copied, r) << typeText(r.type) << " " << r.id;
        ++compared;
    }
    EXPECT_EQ(compared, 10u);  // CTSS, TRCN, BCON, STR# 200, three BMP_, three TEXT variants
    // The variants keep the template's order beside their twin.
    IFFResFile2 file;
    ASSERT_EQ(file.Open(target), kNoError);
    for (int v = 0; v < kTemplateVariantCount; ++v)
        EXPECT_EQ(file.GetResVariant(file.GetIndResource(kTypeText, static_cast<std::int16_t>(v + 1), nullptr)), v);
}

TEST_F(TemplateCopy, ObjectsTakeFreshIdentifiersAndTheObjectName) {
    TemplateCopyPlan plan = bobPlan();
    ASSERT_EQ(copy(plan, target), kNoError);
    platform::RuntimeRandom random(1);
    auto after = listAll(target);
    for (int i = 0; i < 2; ++i) {
        const Listed* object = find(after, kTypeObjectDefinition, static_cast<std::int16_t>(kTemplateFirstObjectId + i));
        ASSERT_NE(object, nullptr);
        const std::uint32_t expected = (clock.tick << 16) ^ static_cast<std::uint32_t>(clock.seconds) ^
                                       static_cast<std::uint32_t>(random.next());
        EXPECT_EQ(readObjectField(object->data, kObjectIdentifierOffset, true), expected);
        EXPECT_EQ(readObjectField(object->data, kPreviousIdentifierOffset, true),
                  kTemplateFirstIdentifier + static_cast<std::uint32_t>(i));
        EXPECT_EQ(object->name, "Bob.iff");
    }
}

TEST_F(TemplateCopy, TwoCopiesInTheSameMillisecondDiffer) {
    TemplateCopyPlan plan = bobPlan();
    ASSERT_EQ(copy(plan, target), kNoError);
    ASSERT_EQ(copy(plan, dir.file("Bob2.iff")), kNoError);
    auto first = test::resourceBytes(target, kTypeObjectDefinition, kTemplateFirstObjectId);
    auto second = test::resourceBytes(dir.file("Bob2.iff"), kTypeObjectDefinition, kTemplateFirstObjectId);
    EXPECT_NE(readObjectField(first, kObjectIdentifierOffset, true), readObjectField(second, kObjectIdentifierOffset, true));
}

TEST_F(TemplateCopy, NameFlagsKeepOrPrefixTheObjectNames) {
    TemplateCopyPlan keep = bobPlan();
    keep.keepNames = 1;
    ASSERT_EQ(copy(keep, target), kNoError);
    auto kept = listAll(target);
    EXPECT_EQ(find(kept, kTypeObjectDefinition, kTemplateFirstObjectId)->name, "Template object 0");

    TemplateCopyPlan prefix = bobPlan();
    prefix.prefixNames = 1;
    ASSERT_EQ(copy(prefix, dir.file("Prefixed.iff")), kNoError);
    auto prefixed = listAll(dir.file("Prefixed.iff"));
    EXPECT_EQ(find(prefixed, kTypeObjectDefinition, kTemplateFirstObjectId)->name, "Bob.iffTemplate object 0");
}

// Without a "STR#" twin the text would be lost if the list were looked up
// by its usual types.
TEST_F(TemplateCopy, CaretTextIsStoredAsStringList) {
    TemplateCopyPlan plan = bobPlan();
    ASSERT_EQ(copy(plan, target), kNoError);
    auto after = listAll(target);
    EXPECT_EQ(find(after, kTypeCaretStrings, kTemplateCaretTextId), nullptr);
    const Listed* list = find(after, kTypeStringList, kTemplateCaretTextId);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->name, "Template text");

    IFFResFile2 file;
    ASSERT_EQ(file.Open(target), kNoError);
    StringSet strings;
    ASSERT_EQ(strings.Load(&file, kTemplateCaretTextId, false), kNoError);
    ASSERT_EQ(strings.Count(), 2);
    EXPECT_EQ(*strings.GetString(1), "Plom template");
    EXPECT_EQ(*strings.GetString(2), "made by Tryster");
}

TEST_F(TemplateCopy, ObjectTooShortForTheIdentifiersFailsAndLeavesNoTarget) {
    {
        IFFResFile2 file;
        ASSERT_EQ(file.Open(templatePath), kNoError);
        DataHandle h = NewDataHandle(kMinObjectDefinitionSize - 1);
        ASSERT_EQ(file.AddResource(h, kTypeObjectDefinition, 200, "short", true), kNoError);
        ASSERT_EQ(file.Close(), kNoError);
    }
    const std::size_t handles = liveHandleCount();
    TemplateCopyPlan plan = bobPlan();
    EXPECT_EQ(copy(plan, target), kBadChunk);
    EXPECT_FALSE(platform::fileSystem().exists(target));
    EXPECT_EQ(liveHandleCount(), handles);
}

TEST_F(TemplateCopy, MissingTemplateOrExistingTargetFailsWithoutHarm) {
    TemplateCopyPlan plan = bobPlan();
    EXPECT_NE(copyTemplate(plan, dir.file("none.iff"), target), kNoError);
    EXPECT_FALSE(platform::fileSystem().exists(target));

    std::string existing = dir.write("Old.iff", "keep me");
    EXPECT_EQ(copy(plan, existing), kFileExists);
    EXPECT_EQ(dir.read("Old.iff"), "keep me");
}

TEST(ObjectName, IsTheFileNameCutTo63Characters) {
    EXPECT_EQ(objectNameForPath("C:\\Ploms\\TemplateNPCs\\Bob.iff"), "Bob.iff");
    EXPECT_EQ(objectNameForPath("/ploms/Bob.iff"), "Bob.iff");
    std::string longName(70, 'x');
    EXPECT_EQ(objectNameForPath("/ploms/" + longName + ".iff"), std::string(63, 'x'));
}

}  // namespace
