// The Replace path: which files count as townies and dates, and the
// replacement itself, which must never lose the townie it replaces.

#include "ExchangeTestSupport.h"
#include "exchange/CopyTemplate.h"
#include "share/GameChange.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/FileBackup.h"
#include "exchange/ObjectDefinition.h"
#include "exchange/TownieReplacement.h"
#include "exchange/TownieSearch.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

constexpr std::uint32_t kTownieIdentifier = 0xCAFE0001;

// Replaces the first object definition of a file with `data`, stored in
// the given byte order.
void setFirstObject(const std::string& path, std::vector<std::uint8_t> data, bool native) {
    IFFResFile2 file;
    ASSERT_EQ(file.Open(path), kNoError);
    DataHandle h = newHandleWith(data);
    ASSERT_EQ(file.AddResource(h, kTypeObjectDefinition, kTemplateFirstObjectId, "Townie", native), kNoError);
    ASSERT_EQ(file.Close(), kNoError);
}

std::vector<std::uint8_t> objectWithIdentifier(std::uint32_t identifier, bool native, std::size_t size = 220) {
    std::vector<std::uint8_t> data(size, 0x5A);
    EXPECT_TRUE(writeObjectField(data, kObjectIdentifierOffset, native, identifier));
    return data;
}

std::uint16_t word18(const std::vector<std::uint8_t>& data) {
    return static_cast<std::uint16_t>(data[kReplacedMarkOffset] | data[kReplacedMarkOffset + 1] << 8);
}

class Replacement : public ::testing::Test {
protected:
    Replacement() {
        test::makeCharacter(dir, "UserData/Characters/User00001.iff", 60000);
        setFirstObject(townie, objectWithIdentifier(kTownieIdentifier, true), true);
        original = test::fileBytes(townie);
        std::filesystem::create_directories(dir.file("TemplateNPCs"));
        EXPECT_EQ(buildDateTemplate(date, {.fillerCount = 1, .fillerSize = kMinTownieFileSize}), kNoError);
    }
    ReplaceResult replace() {
        share::GameChange placement("", share::ChangeKind::TownieReplaced);
        return replaceTownie(townie, date, reporter, placement);
    }
    std::vector<std::string> characters() const { return test::filesIn(dir.file("UserData/Characters")); }
    // The townie as it was made, alone in its folder.
    void restore() {
        auto& disk = platform::realFileSystem();
        for (const std::string& name : characters()) (void)disk.remove(dir.file("UserData/Characters/" + name));
        dir.write("UserData/Characters/User00001.iff", std::string(original.begin(), original.end()));
        reporter.clear();
    }
    void expectLeftAsItWas(const ReplaceResult& result) {
        EXPECT_FALSE(result.replaced());
        EXPECT_TRUE(test::fileBytes(townie) == original);
        EXPECT_EQ(characters(), std::vector<std::string>{"User00001.iff"});
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_EQ(reporter.messages[0].first, kErrorCaption);
        // The message, and where the placement failed, the reason after it.
        EXPECT_TRUE(reporter.messages[0].second.starts_with(kCouldNotReplaceMessage)) << reporter.messages[0].second;
    }
    void expectRefused(ReplaceResult::Status status) {
        ReplaceResult result = replace();
        EXPECT_EQ(result.status, status) << describe(result.status);
        expectLeftAsItWas(result);
        reporter.clear();
    }

    test::TempDir dir;
    test::FixedClock clock;
    test::RecordingReporter reporter;
    std::string townie = dir.file("UserData/Characters/User00001.iff");
    std::string date = dir.file("TemplateNPCs/Bob.iff");
    std::vector<std::uint8_t> original;
};

TEST_F(Replacement, TownieFileHoldsTheDateWithTheTowniesIdentity) {
    ReplaceResult result = replace();
    ASSERT_TRUE(result.replaced()) << describe(result.status);
    EXPECT_EQ(reporter.messages, (std::vector<std::pair<std::string, std::string>>{
                                     {std::string(kReplaceCompleteCaption), replacedText("Template", "User00001.iff")}}));
    EXPECT_EQ(result.backupPath, townie + ".bak");
    EXPECT_TRUE(test::fileBytes(result.backupPath) == original);
    EXPECT_EQ(characters(), (std::vector<std::string>{"User00001.iff", "User00001.iff.bak"}));

    auto dateResources = test::listAll(date);
    auto after = test::listAll(townie);
    ASSERT_EQ(after.size(), dateResources.size());
    for (const test::Listed& r : dateResources) {
        if (r.type == kTypeObjectDefinition || r.type == kTypeCaretStrings) continue;
        const test::Listed* copied = test::find(after, r.type, r.id, r.variant);
        ASSERT_NE(copied, nullptr) << typeText(r.type) << " " << r.id;
        EXPECT_EQ(*copied, r) << typeText(r.type) << " " << r.id;
    }

    const test::Listed* first = test::find(after, kTypeObjectDefinition, kTemplateFirstObjectId);
    const test::Listed* second = test::find(after, kTypeObjectDefinition, kTemplateFirstObjectId + 1);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(readObjectField(first->data, kObjectIdentifierOffset, true), kTownieIdentifier);
    EXPECT_EQ(word18(first->data), kReplacedMark);
    EXPECT_EQ(readObjectField(first->data, kPreviousIdentifierOffset, true), kTemplateFirstIdentifier);
    EXPECT_EQ(first->name, "User00001.iff");

    // The other objects are new to the neighbourhood.
    auto fresh = readObjectField(second->data, kObjectIdentifierOffset, true);
    EXPECT_NE(fresh, kTownieIdentifier);
    EXPECT_NE(fresh, kTemplateFirstIdentifier + 1);
    EXPECT_EQ(readObjectField(second->data, kPreviousIdentifierOffset, true), kTemplateFirstIdentifier + 1);
    EXPECT_EQ(word18(second->data), word18(test::find(dateResources, kTypeObjectDefinition, kTemplateFirstObjectId + 1)->data));
    EXPECT_EQ(second->name, "User00001.iff");
}

TEST_F(Replacement, BackupsNeverOverwriteEachOtherAndAreNoTownies) {
    ASSERT_TRUE(replace().replaced());
    auto firstReplacement = test::fileBytes(townie);
    ReplaceResult again = replace();
    ASSERT_TRUE(again.replaced());
    EXPECT_EQ(again.backupPath, townie + ".2.bak");
    EXPECT_TRUE(test::fileBytes(townie + ".bak") == original);
    EXPECT_TRUE(test::fileBytes(again.backupPath) == firstReplacement);
    EXPECT_EQ(searchTownies(dir.file("UserData/Characters")), std::vector<std::string>{"User00001.iff"});
}

// The identifier is a value: a townie stored big-endian keeps it in the
// copy's own order.
TEST_F(Replacement, IdentifierKeepsItsValueAcrossByteOrders) {
    setFirstObject(townie, objectWithIdentifier(kTownieIdentifier, false), false);
    ASSERT_TRUE(replace().replaced());
    auto object = test::resourceBytes(townie, kTypeObjectDefinition, kTemplateFirstObjectId);
    EXPECT_EQ(readObjectField(object, kObjectIdentifierOffset, true), kTownieIdentifier);
}

// The townie's identity goes into the date's first object; a date that
// has none is placed as it is.
TEST_F(Replacement, ADateWithoutObjectsIsPlacedAsItIs) {
    std::filesystem::remove(date);
    ASSERT_EQ(buildDateTemplate(date, {.objectCount = 0, .fillerCount = 1, .fillerSize = kMinTownieFileSize}), kNoError);
    ASSERT_TRUE(replace().replaced());
    EXPECT_EQ(test::listAll(townie).size(), test::listAll(date).size());
}

TEST_F(Replacement, TownieWithoutUsableObjectIsLeftAsItWas) {
    setFirstObject(townie, std::vector<std::uint8_t>(kObjectIdentifierOffset + 3, 1), true);
    original = test::fileBytes(townie);
    expectRefused(ReplaceResult::Status::NoTownieObject);
    {
        IFFResFile2 file;
        ASSERT_EQ(file.Open(townie), kNoError);
        ASSERT_EQ(file.RemoveResource(file.GetResource(kTypeObjectDefinition, kTemplateFirstObjectId, nullptr)), kNoError);
        ASSERT_EQ(file.RemoveResource(file.GetResource(kTypeObjectDefinition, kTemplateFirstObjectId + 1, nullptr)), kNoError);
        ASSERT_EQ(file.Close(), kNoError);
    }
    original = test::fileBytes(townie);
    expectRefused(ReplaceResult::Status::NoTownieObject);
}

TEST_F(Replacement, UnreadableTownieOrDateLeavesTheTownieAsItWas) {
    date = dir.write("TemplateNPCs/Broken.iff", "not a container");
    expectRefused(ReplaceResult::Status::NotCopied);

    dir.write("UserData/Characters/User00001.iff", "not a container either");
    original = test::fileBytes(townie);
    expectRefused(ReplaceResult::Status::TownieUnreadable);
}

// A disk that fills up at any write, any single change of the disk refused
// (a write, a creation, the move or a removal), or any single read: the
// townie is either as it was or fully replaced, neither a staged copy nor a
// backup is left beside a townie left as it was, and a replacement said to
// be done is one.
TEST_F(Replacement, AFailedWriteChangeOrReadLeavesTheTownieWholeOrReplaced) {
    struct Mode {
        bool everyChange, reads, once;
    };
    for (const Mode mode : {Mode{false, false, false}, Mode{true, false, true}, Mode{false, true, true}}) {
        test::FaultyFileSystem faulty;
        faulty.everyChange = mode.everyChange;
        faulty.reads = mode.reads;
        faulty.once = mode.once;
        test::ScopedFileSystem scoped(faulty);
        const std::uint64_t operations = test::forEveryFault(faulty, [&] { restore(); }, [&](std::uint64_t n) {
            ReplaceResult result = replace();
            faulty.failFrom = 0;  // the checks read through it too
            // On a full disk every write from the n-th on fails.
            EXPECT_TRUE(mode.once || result.replaced() == (n == 0));
            if (!result.replaced()) return expectLeftAsItWas(result);
            EXPECT_EQ(characters(), (std::vector<std::string>{"User00001.iff", "User00001.iff.bak"}));
            EXPECT_TRUE(test::fileBytes(result.backupPath) == original);
            auto object = test::resourceBytes(townie, kTypeObjectDefinition, kTemplateFirstObjectId);
            EXPECT_EQ(readObjectField(object, kObjectIdentifierOffset, true), kTownieIdentifier);
        });
        EXPECT_GT(operations, 20u);
    }
}

}  // namespace
