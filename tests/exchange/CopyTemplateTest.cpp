// The template copy's failures leave no target behind; the object
// definitions read as far as each goes.

#include "ExchangeTestSupport.h"
#include "exchange/CopyTemplate.h"
#include "exchange/ObjectDefinition.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

class TemplateCopy : public ::testing::Test {
protected:
    TemplateCopy() { plan.setTargetObjectName("Bob.iff"); }
    ResError copy(const std::string& to) { return copyTemplate(plan, templatePath, to); }

    test::TempDir dir;
    test::FixedClock clock;
    std::string templatePath = test::makeTemplate(dir);
    std::string target = dir.file("Bob.iff");
    TemplateCopyPlan plan;
};

TEST_F(TemplateCopy, ObjectTooShortForTheIdentifiersFailsAndLeavesNoTarget) {
    {
        IFFResFile2 file;
        ASSERT_EQ(file.Open(templatePath), kNoError);
        DataHandle h = NewDataHandle(kMinObjectDefinitionSize - 1);
        ASSERT_EQ(file.AddResource(h, kTypeObjectDefinition, 200, "short", true), kNoError);
        ASSERT_EQ(file.Close(), kNoError);
    }
    const std::size_t handles = liveHandleCount();
    EXPECT_EQ(copy(target), kBadChunk);
    EXPECT_FALSE(platform::fileSystem().exists(target));
    EXPECT_EQ(liveHandleCount(), handles);
}

TEST_F(TemplateCopy, MissingTemplateOrExistingTargetFailsWithoutHarm) {
    EXPECT_NE(copyTemplate(plan, dir.file("none.iff"), target), kNoError);
    EXPECT_FALSE(platform::fileSystem().exists(target));

    std::string existing = dir.write("Old.iff", "keep me");
    EXPECT_EQ(copy(existing), kFileExists);
    EXPECT_EQ(dir.read("Old.iff"), "keep me");
}

// A variant is put in beside its twin through an id no resource of its
// type has taken yet, whatever ids the template uses: nothing is lost.
TEST_F(TemplateCopy, EveryResourceIsCopiedWhateverItsId) {
    const std::string source = dir.file("Low.iff");
    {
        IFFResFile2 file;
        ASSERT_EQ(file.Create(source), kNoError);
        ASSERT_EQ(file.Open(source), kNoError);
        const ResType text = makeType("TEXT");
        const auto add = [&](std::int16_t id, std::uint8_t variant, std::string_view data) {
            DataHandle h = newHandleWith(std::vector<std::uint8_t>(data.begin(), data.end()));
            ASSERT_EQ(variant == 0 ? file.AddResource(h, text, id, "", true)
                                   : addBesideTwin(file, h, text, id, 501, "", variant, true),
                      kNoError);
            ASSERT_EQ(file.WriteResource(h), kNoError);
        };
        add(std::numeric_limits<std::int16_t>::min(), 0, "lowest");
        add(500, 0, "plain");
        add(500, 1, "variant");
        ASSERT_EQ(file.Close(), kNoError);
    }
    ASSERT_EQ(copyTemplate(plan, source, target), kNoError);
    EXPECT_TRUE(test::listAll(target) == test::listAll(source));
}

// Whole, long enough for the identifier alone, and too short for it; each
// in its own byte order.
TEST(ObjectDefinitions, EachIsReadAsFarAsItGoes) {
    test::TempDir dir;
    IFFResFile2 file;
    ASSERT_EQ(file.Create(dir.file("Objects.iff")), kNoError);
    ASSERT_EQ(file.Open(dir.file("Objects.iff")), kNoError);
    const std::pair<std::size_t, bool> definitions[] = {
        {kMinObjectDefinitionSize, true}, {kObjectIdentifierOffset + 4, false}, {10, true}};  // size, native
    std::int16_t id = 1;
    for (const auto& [size, native] : definitions) {
        DataHandle h = NewDataHandle(size);
        (void)writeObjectField(handleBytes(h), kObjectIdentifierOffset, native, 0x01020304u + id);
        ASSERT_EQ(file.AddResource(h, kTypeObjectDefinition, id++, "object", native), kNoError);
    }
    const std::vector<ObjectDefinitionRead> read = readObjectDefinitions(file);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_TRUE(read[0].read && read[0].whole && read[0].identifier == 0x01020305u);
    EXPECT_TRUE(read[1].read && !read[1].whole && read[1].identifier == 0x01020306u) << "in its own byte order";
    EXPECT_TRUE(read[2].read && !read[2].whole && !read[2].identifier);
    EXPECT_EQ(file.Close(), kNoError);
}

}  // namespace
