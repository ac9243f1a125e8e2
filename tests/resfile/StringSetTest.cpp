// String sets: every stored form in both byte orders, languages, the caret
// text form, and what Save writes.

#include "ResFileTestSupport.h"
#include "resfile/IFFResFile2.h"
#include "resfile/StringSet.h"
#include "resfile/StringSetMulti.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::resfile;
using test::Bytes;

namespace {

constexpr ResType kCtss = makeType("CTSS");

std::vector<std::string> strings(const StringSetBase& set, std::uint8_t language = kOwnLanguage) {
    std::vector<std::string> out;
    for (int n = 1; n <= set.Count(language); ++n) out.push_back(*set.GetString(n, language));
    return out;
}

using Strings = std::vector<std::string>;

class StringSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("s.iff");
        ASSERT_EQ(file.Create(path), kNoError);
        ASSERT_EQ(file.Open(path), kNoError);
    }
    void put(ResType type, std::int16_t id, const Bytes& data, bool native, std::string_view name = "") {
        DataHandle h = test::handleWith(data);
        ASSERT_EQ(file.AddResource(h, type, id, name, native), kNoError);
        ASSERT_EQ(file.WriteResource(h), kNoError);
        ASSERT_EQ(ReleaseAndDispose(file, h), kNoError);
    }
    test::TempDir dir;
    std::string path;
    IFFResFile2 file;
};

}  // namespace

// Native data is little-endian; data not marked native is big-endian in its
// first word (and the count of the -1 form) and goes through the loader. A
// damaged list keeps what came before the damage.
TEST_F(StringSetTest, EveryFormInBothByteOrdersAndDamagedOnes) {
    struct Row {
        const char* name;
        Bytes data;
        bool native;
        Strings expected;
        ResError error = kNoError;
    } rows[] = {
        {"length-prefixed", {0x02, 0x00, 3, 'a', 'b', 'c', 3, 0xD5, 'k', 0xA1}, true, {"abc", "'ko"}},
        {"length-prefixed, big-endian", {0x00, 0x02, 3, 'a', 'b', 'c', 0}, false, {"abc", ""}},
        {"zero-terminated", {0xFF, 0xFF, 0x02, 0x00, 'a', 0, 'b', 'c', 0}, true, {"a", "bc"}},
        {"zero-terminated, big-endian", {0xFF, 0xFF, 0x00, 0x02, 'a', 0, 'b', 'c', 0}, false, {"a", "bc"}},
        {"pairs", {0xFE, 0xFF, 0x02, 0x00, 'a', 0, 'x', 0, 'b', 0, 0}, true, {"a", "b"}},
        {"pairs, big-endian first word", {0xFF, 0xFE, 0x01, 0x00, 'a', 0, 'x', 0}, false, {"a"}},
        {"languages", {0xFD, 0xFF, 0x02, 0x00, 1, 'a', 0, 'c', 0, 1, 'b', 0, 0}, true, {"a", "b"}},
        {"languages, big-endian first word", {0xFF, 0xFD, 0x01, 0x00, 1, 'a', 0, 0}, false, {"a"}},
        {"empty length-prefixed", {0x00, 0x00}, true, {}},
        {"length past the end", {0x03, 0x00, 1, 'a', 9, 'b'}, true, {"a"}, kBadChunk},
        {"missing terminator", {0xFF, 0xFF, 0x02, 0x00, 'a', 0, 'b'}, true, {"a"}, kBadChunk},
        {"missing comment", {0xFE, 0xFF, 0x02, 0x00, 'a', 0, 'x', 0, 'b', 0}, true, {"a"}, kBadChunk},
        {"entry cut short", {0xFD, 0xFF, 0x02, 0x00, 1, 'a', 0, 0, 1, 'b'}, true, {"a"}, kBadChunk},
        {"unknown form", {0xFC, 0xFF, 0x00, 0x00}, true, {}, kBadChunk},
        {"one byte", {0x01}, true, {}, kBadChunk},
        {"no data", {}, true, {}, kBadChunk},
    };
    std::int16_t id = 100;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        put(kTypeStringList, ++id, row.data, row.native);
        StringSet set;
        set.Setup(&file, static_cast<std::uint16_t>(id), kTypeStringList, false, 0);
        EXPECT_EQ(set.Read(false, false), row.error);
        EXPECT_EQ(strings(set), row.expected);
    }
}

TEST_F(StringSetTest, LanguagesAndTheLanguageZeroFallback) {
    // Language bytes: 1 = language 0, 4 = language 3, 0 = the reader's own.
    Bytes data = {0xFD, 0xFF, 0x05, 0x00, 1, 'a', '0', 0, 0, 1, 'b', '0', 0, 0,
                  4, 'a', '3', 0, 'c', 0, 0, 'o', 'w', 'n', 0, 0, 1, 'c', '0', 0, 0};
    put(kTypeStringList, 1, data, true, "list name");
    StringSet set;
    set.Setup(&file, 1, kTypeStringList, false, 3);
    ASSERT_EQ(set.Read(false, true), kNoError);
    EXPECT_EQ(strings(set), (Strings{"a3", "own"}));
    EXPECT_EQ(set.name(), "list name");
    set.Setup(&file, 1, kTypeStringList, false, 0);
    ASSERT_EQ(set.Read(false, true), kNoError);
    EXPECT_EQ(strings(set), (Strings{"a0", "b0", "own", "c0"}));

    // A set of language 5 finds none of its own: language 0 stands in.
    Bytes onlyZero = {0xFD, 0xFF, 0x02, 0x00, 1, 'x', 0, 0, 1, 'y', 0, 0};
    put(kTypeStringList, 2, onlyZero, true);
    set.Setup(&file, 2, kTypeStringList, false, 5);
    ASSERT_EQ(set.Read(false, true), kNoError);
    EXPECT_EQ(strings(set), (Strings{"x", "y"}));
    EXPECT_EQ(set.Count(0), 0) << "under the set's own language";
    ASSERT_EQ(set.Read(false, false), kNoError);
    EXPECT_EQ(strings(set), Strings{});

    // All languages side by side, numbers restarting with each language.
    StringSetMulti multi;
    multi.Setup(&file, 1, kTypeStringList, false, 0);
    ASSERT_EQ(multi.Read(true, true), kNoError);
    EXPECT_EQ(strings(multi, 0), (Strings{"own", "c0"})) << "language 0 starts again at 1 after language 3";
    EXPECT_EQ(strings(multi, 3), (Strings{"a3"}));
    multi.SetString(3, "own3");
    EXPECT_EQ(strings(multi, 0), (Strings{"own", "c0", "own3"})) << "written under the set's own language";
    EXPECT_EQ(*multi.GetComment(1, 3), "c");
    std::uint8_t found = 0;
    ASSERT_NE(multi.FindString(1, found), nullptr);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(multi.FindString(4, found), nullptr);
}

TEST_F(StringSetTest, CaretTextAndLoad) {
    put(kTypeCaretText, 7, test::bytes("ignored ^first^^second^ trailing^"), true, "caret");
    StringSet set;
    ASSERT_EQ(set.Load(&file, 7, false), kNoError);
    EXPECT_EQ(strings(set), (Strings{"first", "second"}));
    EXPECT_TRUE(set.caretMode());
    EXPECT_EQ(set.type(), kTypeCaretText);

    // Saved back, it becomes a "STR#" list of the -3 form under the same id.
    ASSERT_EQ(set.Save(), kNoError);
    EXPECT_EQ(set.type(), kTypeStringList);
    Bytes expected = {0xFD, 0xFF, 0x02, 0x00, 1, 'f', 'i', 'r', 's', 't', 0, 0,
                      1, 's', 'e', 'c', 'o', 'n', 'd', 0, 0, 0, 0};
    DataHandle saved = file.GetResource(kTypeStringList, 7, nullptr);
    EXPECT_EQ(test::dataOf(saved), expected) << "one spare zero byte per string at the end";
    (void)ReleaseAndDispose(file, saved);
    StringSet again;
    ASSERT_EQ(again.Load(&file, 7, false), kNoError);
    EXPECT_FALSE(again.caretMode());
    EXPECT_EQ(strings(again), (Strings{"first", "second"}));
    EXPECT_EQ(again.name(), "caret");

    EXPECT_EQ(again.Load(&file, 99, false), kResNotFound);
    EXPECT_EQ(again.Count(), 0);
}

TEST_F(StringSetTest, GetIndString) {
    put(kTypeStringList, 10, {0xFF, 0xFF, 0x02, 0x00, 'a', 0, 'b', 0}, true);
    std::string out = "previous";
    file.GetIndString(out, 10, 2);
    EXPECT_EQ(out, "b");
    // Past either end of the list, or of a list that is not there.
    for (const auto& [id, position] : {std::pair<std::int16_t, std::int16_t>{10, 0}, {10, 3}, {10, -1}, {11, 1}}) {
        out = "previous";
        file.GetIndString(out, id, position);
        EXPECT_EQ(out, "") << id << " " << position;
    }
    EXPECT_EQ(file.lastError(), kNoError);
}
