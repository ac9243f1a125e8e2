// Behaviour constants, the date's values in them, and the catalog name.

#include "ExchangeTestSupport.h"
#include "exchange/CatalogName.h"
#include "exchange/DateConstants.h"
#include "resfile/ObjResFile.h"
#include "resfile/StringSetMulti.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::int16_t kId = 4096;

class ConstantsFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(file.Create(path), kNoError);
        ASSERT_EQ(file.Open(path), kNoError);
    }

    std::vector<cTreeConstants::Entry> entries(int count) {
        std::vector<cTreeConstants::Entry> out(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) {
            auto& e = out[static_cast<std::size_t>(k)];
            e.label = "label " + std::to_string(k);
            e.comment = "note";
            e.number1 = -k;
            e.number2 = 1000 + k;
            e.extraByte = 3;
            e.extraWord1 = 7;
            e.extraWord2 = 9;
            e.value = static_cast<std::uint16_t>(k);
        }
        return out;
    }
    void store(int count, std::int32_t version) {
        cTreeConstants c;
        c.create(file, kId, "Constants", version, true, entries(count));
        ASSERT_EQ(c.save(), kNoError);
    }
    void put(ResType type, const Bytes& data, bool native) {
        DataHandle h = newHandleWith(data);
        ASSERT_EQ(file.AddResource(h, type, kId, "Constants", native), kNoError);
        ASSERT_EQ(file.WriteResource(h), kNoError);
    }

    test::TempDir dir;
    std::string path = dir.file("c.iff");
    IFFResFile2 file;
};

TEST_F(ConstantsFile, ReadsBigEndianValuesAndWritesEveryFieldBack) {
    store(3, 1);
    put(kTypeConstants, {0x80, 0x03, 0x00, 0x01, 0x01, 0x02, 0xFF, 0xFF}, false);

    cTreeConstants c;
    ASSERT_EQ(c.load(file, kId), kNoError);
    ASSERT_EQ(c.count(), 3);
    EXPECT_TRUE(c.flag());
    EXPECT_EQ(c.entry(0)->value, 1);
    EXPECT_EQ(c.entry(1)->value, 0x0102);
    EXPECT_EQ(c.entry(2)->value, 0xFFFF);
    EXPECT_EQ(c.name(), "Constants");
    c.entry(1)->value = 0x0506;
    ASSERT_EQ(c.save(), kNoError);
    ASSERT_EQ(file.Close(), kNoError);

    EXPECT_EQ(test::resourceBytes(path, kTypeConstants, kId), (Bytes{0x03, 0x80, 0x01, 0x00, 0x06, 0x05, 0xFF, 0xFF}));
    IFFResFile2 again;
    ASSERT_EQ(again.Open(path), kNoError);
    cTreeConstants back;
    ASSERT_EQ(back.load(again, kId), kNoError);
    EXPECT_EQ(back.labelVersion(), 1);
    auto expected = entries(3);
    for (int k = 0; k < 3; ++k) {
        const auto* e = back.entry(k);
        const auto& x = expected[static_cast<std::size_t>(k)];
        EXPECT_EQ(std::tie(e->label, e->comment, e->number1, e->number2, e->extraByte, e->extraWord1, e->extraWord2),
                  std::tie(x.label, x.comment, x.number1, x.number2, x.extraByte, x.extraWord1, x.extraWord2));
    }
}

TEST_F(ConstantsFile, Version0LabelsAndShortValueLists) {
    store(3, 0);
    // Two values stored, the header claiming five: no read past the data.
    put(kTypeConstants, {0x05, 0x00, 0x2A, 0x00, 0x2B, 0x00}, true);
    cTreeConstants c;
    ASSERT_EQ(c.load(file, kId), kNoError);
    EXPECT_FALSE(c.flag());
    EXPECT_EQ(c.entry(0)->value, 42);
    EXPECT_EQ(c.entry(1)->value, 43);
    EXPECT_EQ(c.entry(2)->value, 0);
    EXPECT_EQ(std::tie(c.entry(0)->extraByte, c.entry(0)->extraWord1, c.entry(0)->extraWord2),
              std::make_tuple(std::uint8_t{0}, std::uint16_t{0}, std::uint16_t{100}));
    EXPECT_EQ(c.labelVersion(), 0);
    EXPECT_EQ(c.entry(-1), nullptr);
    EXPECT_EQ(c.entry(3), nullptr);
    EXPECT_FALSE(c.entry(0)->hasDefault);
}

TEST_F(ConstantsFile, MissingOrDamagedResourcesAreErrors) {
    cTreeConstants c;
    EXPECT_EQ(c.save(), resfile::kBadChunk);
    EXPECT_EQ(c.load(file, kId), kResNotFound);
    store(2, 1);
    put(kTypeConstants, {}, true);
    EXPECT_EQ(c.load(file, kId), kBadChunk);
    EXPECT_EQ(c.count(), 0);
    // A label count far beyond the data.
    put(kTypeConstantLabels, {0, 0, 0, 0, 1, 0, 0, 0, 'N', 'C', 'R', 'T', 0xFF, 0xFF, 0xFF, 0x7F}, true);
    EXPECT_EQ(c.load(file, kId), kBadChunk);
}

TEST_F(ConstantsFile, DefaultsComeOnlyFromAnObjectFile) {
    store(3, 1);
    ASSERT_EQ(file.Close(), kNoError);
    ObjResFile object;
    auto defaults = std::make_unique<TreeConstantDefaults>();
    defaults->values = {500, 600};
    object.SetKeyed(kId, std::move(defaults));
    ASSERT_EQ(object.Open(path), kNoError);
    cTreeConstants c;
    ASSERT_EQ(c.load(object, kId), kNoError);
    EXPECT_TRUE(c.entry(0)->hasDefault);
    EXPECT_EQ(c.entry(1)->defaultValue, 600);
    EXPECT_FALSE(c.entry(2)->hasDefault);
}

TEST(DateConstants, ValuesFollowTheRecordInTheGamesOrder) {
    PlomData record = test::sampleRecord();
    auto values = dateConstantValues(record);
    const std::array<std::uint16_t, kDateConstantCount> expected = {
        3, 4, 400, 700, 200, 300, 900,                 // career, level, Outgoing Neat Active Playful Nice
        1000, 1000, 1000, 1000, 1000, 500, 500, 500,   // Travel Money Politics Sixties Weather | Sports Music Outdoors
        500, 500, 100, 100, 100, 100, 100};            // Exercise Food | Parties Style Hollywood Technology Romance
    EXPECT_EQ(values, expected);
}

// A track of -1 (none chosen) is stored as 65535 and read back as -1.
TEST_F(ConstantsFile, DateValuesReadBack) {
    store(23, 1);
    cTreeConstants c;
    ASSERT_EQ(c.load(file, kId), kNoError);
    PlomData record = test::sampleRecord();
    record.setCareerTrack(-1);
    ASSERT_TRUE(setDateConstants(c, record));
    EXPECT_EQ(c.entry(0)->value, 65535);
    EXPECT_EQ(c.entry(22)->value, 22);
    DateConstants back;
    ASSERT_TRUE(readDateConstants(c, back));
    EXPECT_EQ(back.careerTrack, -1);
    EXPECT_EQ(back.careerLevel, 4);
    EXPECT_EQ(back.personality[kNice], 9);
    EXPECT_EQ(back.interestLevels[kSixties], 10);
    EXPECT_EQ(back.interestLevels[kRomance], 1);
}

}  // namespace
