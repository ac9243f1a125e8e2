// Version 1.0 containers: the name list in both forms, creation, removal
// and compaction.

#include "ResFileTestSupport.h"
#include "resfile/IFFResFile.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::resfile;
using test::Bytes, test::kText, test::kData;

namespace {

constexpr std::uint32_t kNoKey = 0xFFFFFFFF;

// The raw form: key (little-endian), length byte, characters.
Bytes rawNames(std::initializer_list<std::pair<std::uint32_t, std::string>> pairs) {
    Bytes b;
    for (const auto& [key, name] : pairs) {
        test::le(b, key, 4);
        b.push_back(static_cast<std::uint8_t>(name.size()));
        test::text(b, name);
    }
    return b;
}

class File10Test : public ::testing::Test {
protected:
    void openWith(const Bytes& b) {
        path = test::writeBytes(dir, "f.iff", b);
        ASSERT_EQ(file.Open(path), kNoError);
    }
    std::string nameOf(DataHandle h) {
        std::string name = "unset";
        EXPECT_EQ(file.GetResName(h, name), kNoError);
        return name;
    }
    test::TempDir dir;
    std::string path;
    IFFResFile file;
};

}  // namespace

TEST_F(File10Test, CreateWritesTheHeaderAndAnEmptyNameList) {
    path = dir.file("new.iff");
    ASSERT_EQ(file.Create(path), kNoError);
    EXPECT_FALSE(file.IsOpen());
    Bytes expected = test::cat({test::header10(), test::chunk1("NAME", 1, 0x0018, kNoKey, test::nameRecord({}))});
    EXPECT_EQ(test::readBytes(path), expected);
    ASSERT_EQ(file.Open(path), kNoError);
    EXPECT_EQ(file.CountTypes(), 0) << "the name list is internal";
    EXPECT_EQ(file.Create(path), kAlreadyOpen);
    ASSERT_EQ(file.Close(), kNoError);
    EXPECT_EQ(test::readBytes(path), expected) << "nothing changed, nothing written";
    EXPECT_EQ(file.Create(path), kFileExists);
}

TEST_F(File10Test, RecordNameListAndNamesOfNewResources) {
    openWith(test::cat({test::header10(), test::chunk1("NAME", 1, 0x18, kNoKey, test::nameRecord({{3, "Alpha"}, {7, "beta"}})),
                        test::chunk1("TEXT", 1, 0, 3, test::bytes("a")), test::chunk1("TEXT", 2, 0, kNoKey, test::bytes("b")),
                        test::chunk1("TEXT", 3, 0, 9, test::bytes("c"))}));
    EXPECT_EQ(nameOf(file.GetResource(kText, 1, nullptr)), "Alpha");
    EXPECT_EQ(nameOf(file.GetResource(kText, 2, nullptr)), "") << "no key";
    EXPECT_EQ(nameOf(file.GetResource(kText, 3, nullptr)), "") << "a key missing from the list";
    EXPECT_EQ(test::dataOf(file.GetNamedResource(kText, "ALPHA", nullptr)), test::bytes("a"));
    EXPECT_FALSE(file.GetNamedResource(kText, "beta", nullptr)) << "no resource carries key 7";
    EXPECT_EQ(file.lastError(), kResNameNotFound);
    std::string unique = "alpha";
    EXPECT_EQ(file.UniqueName(kText, unique), kNoError);
    EXPECT_EQ(unique, "alpha0");

    ASSERT_EQ(file.AddResource(test::handleWith("n"), kText, 4, "new", true), kNoError);
    ASSERT_EQ(file.AddResource(test::handleWith("u"), kText, 5, "", true), kNoError);
    ASSERT_EQ(file.Close(), kNoError);
    ASSERT_EQ(file.Open(path), kNoError);
    DataHandle named = file.GetNamedResource(kText, "new", nullptr);
    EXPECT_EQ(test::dataOf(named), test::bytes("n"));
    EXPECT_TRUE(file.IsNativeOrder(named));
    EXPECT_EQ(nameOf(file.GetResource(kText, 5, nullptr)), "");
    EXPECT_EQ(nameOf(file.GetResource(kText, 1, nullptr)), "Alpha");
    // A removed resource's name leaves the list.
    ASSERT_EQ(file.RemoveResource(file.GetResource(kText, 1, nullptr)), kNoError);
    ASSERT_EQ(file.Close(), kNoError);
    ASSERT_EQ(file.Open(path), kNoError);
    unique = "alpha";
    EXPECT_EQ(file.UniqueName(kText, unique), kNoError);
    EXPECT_EQ(unique, "alpha");
}

// The raw form is read; after a change the list is written as a record and
// the raw chunk goes.
TEST_F(File10Test, RawNameListIsReadAndReplaced) {
    openWith(test::cat({test::header10(), test::chunk1("NAME", 0, 0x08, kNoKey, rawNames({{1, "one"}, {2, "two"}})),
                        test::chunk1("TEXT", 1, 0, 1, test::bytes("a")), test::chunk1("TEXT", 2, 0, 2, test::bytes("b"))}));
    EXPECT_EQ(test::dataOf(file.GetNamedResource(kText, "two", nullptr)), test::bytes("b"));
    DataHandle h = file.GetResource(kText, 1, nullptr);
    ASSERT_EQ(file.SetResInfo(h, 1, "uno", 0), kNoError);
    ASSERT_EQ(file.Close(), kNoError);

    Bytes d = test::readBytes(path);
    EXPECT_EQ(std::string(d.begin() + 64, d.begin() + 68), "XXXX") << "the raw list is freed";
    ASSERT_EQ(file.Open(path), kNoError);
    EXPECT_EQ(test::dataOf(file.GetNamedResource(kText, "uno", nullptr)), test::bytes("a"));
    EXPECT_EQ(test::dataOf(file.GetNamedResource(kText, "two", nullptr)), test::bytes("b"));
    EXPECT_FALSE(file.GetNamedResource(kText, "one", nullptr));
}

TEST_F(File10Test, DamagedNameListLeavesResourcesReachableById) {
    Bytes cutRaw = rawNames({{1, "one"}});
    cutRaw.back() = 'x';
    cutRaw[4] = 40;  // length past the end
    Bytes cutRecord = test::nameRecord({{1, "one"}});
    cutRecord.resize(cutRecord.size() - 4);
    for (const Bytes& list : {test::chunk1("NAME", 0, 0x08, kNoKey, cutRaw), test::chunk1("NAME", 1, 0x18, kNoKey, cutRecord)}) {
        openWith(test::cat({test::header10(), list, test::chunk1("TEXT", 1, 0, 1, test::bytes("a"))}));
        EXPECT_FALSE(file.GetNamedResource(kText, "one", nullptr));
        DataHandle h = file.GetResource(kText, 1, nullptr);
        EXPECT_EQ(test::dataOf(h), test::bytes("a"));
        EXPECT_EQ(nameOf(h), "");
        EXPECT_EQ(file.Close(), kNoError);
    }
}

TEST_F(File10Test, WritingRemovingAndCompaction) {
    openWith(test::cat({test::header10(), test::chunk1("TEXT", 1, 0, kNoKey, Bytes(20, 'a')),
                        test::chunk1("XXXX", 0, 0x0004, kNoKey, Bytes(12000, 0)),
                        test::chunk1("TEXT", 2, 0, kNoKey, Bytes(30, 'b'))}));
    DataHandle one = file.GetResource(kText, 1, nullptr);
    EXPECT_EQ(file.RemoveResource(one), kNoError);
    ASSERT_EQ(file.AddResource(test::handleWith("new"), kText, 3, "three", false), kNoError);
    ASSERT_EQ(file.Close(), kNoError);
    // NAME record, TEXT 2 and TEXT 3 moved down over the 12036 + 36 free bytes.
    Bytes d = test::readBytes(path);
    ASSERT_EQ(file.Open(path), kNoError);
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 2, nullptr)), Bytes(30, 'b'));
    EXPECT_EQ(test::dataOf(file.GetNamedResource(kText, "three", nullptr)), test::bytes("new"));
    EXPECT_FALSE(file.GetResource(kText, 1, nullptr));
    EXPECT_LT(d.size(), 300u);
}

