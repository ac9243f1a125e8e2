// The template copy's failures leave no target behind.

#include "ExchangeTestSupport.h"
#include "exchange/CopyTemplate.h"
#include "exchange/ObjectDefinition.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

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

}  // namespace
