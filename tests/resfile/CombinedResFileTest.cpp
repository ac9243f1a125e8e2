// Combined files: rules, member order, writes to the right member, and the
// resource directory.

#include "ResFileTestSupport.h"
#include "platform/FileSystem.h"
#include "resfile/IFFResFile.h"
#include "resfile/IFFResFile2.h"
#include "resfile/ObjResFile.h"
#include "resfile/ResolveResFile.h"
#include "resfile/StdResFile.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::resfile;
using test::Bytes;

namespace {

constexpr ResType kText = makeType("TEXT");
constexpr ResType kData = makeType("DATA");

class CombinedTest : public ::testing::Test {
protected:
    // A 2.x container of TEXT resources (id, data).
    std::string container(std::string_view name, std::initializer_list<std::pair<std::int16_t, std::string>> texts) {
        Bytes b = test::header2('5', 0);
        for (const auto& [id, data] : texts) {
            Bytes c = test::chunk2("TEXT", id, 0, "", test::bytes(data));
            b.insert(b.end(), c.begin(), c.end());
        }
        return test::writeBytes(dir, name, b);
    }
    void dirResource(std::string_view folder, ResType type, std::int16_t id, std::string_view name, std::string_view data) {
        Bytes b = ResDirectory::encode(type, id, name, test::bytes(data));
        test::writeBytes(dir, std::string(folder) + "/" + ResDirectory::fileNameFor(type, id), b);
    }
    test::TempDir dir;
};

}  // namespace

TEST(SeqRules, PathForRule) {
    struct Row {
        const char* path;
        const char* extension;
        const char* expected;  // null: the rule does not apply
    } rows[] = {
        {"x.iff", ".iff", "x.iff"},     {"x.IFF", ".iff", "x.IFF"},  {"x", ".iff", "x.iff"},
        {"x.spf", ".iff", nullptr},     {"a.b\\x", ".dir", "a.b\\x.dir"}, {"a.b/x", ".dir", "a.b/x.dir"},
        {"", ".iff", nullptr},          {".iff", ".iff", nullptr},   {"dir/", ".iff", nullptr},
        {"x", "iff", nullptr},          {"x", ".", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.path) + " " + row.extension);
        std::string out;
        bool applies = SeqResFile::PathForRule(row.path, row.extension, out);
        EXPECT_EQ(applies, row.expected != nullptr);
        if (row.expected) {
            EXPECT_EQ(out, row.expected);
        }
    }
    SeqResFile seq;
    EXPECT_FALSE(seq.AddRule(4, ".iff"));
    EXPECT_FALSE(seq.AddRule(2, ".toolong"));
    for (int i = 0; i < SeqResFile::kMaxRules; ++i) EXPECT_TRUE(seq.AddRule(0, ".x"));
    EXPECT_FALSE(seq.AddRule(2, ".iff"));
}

// Both the container and the directory of a base path open; the container
// is asked first.
TEST_F(CombinedTest, StdResFileOpensContainerAndDirectory) {
    container("obj.iff", {{1, "from container"}, {2, "two"}});
    dirResource("obj.dir", kText, 1, "", "from directory");
    dirResource("obj.dir", kText, 7, "seven", "only in directory");
    dirResource("obj.dir", kData, 1, "", "data");
    StdResFile file;
    ASSERT_EQ(file.Open(dir.file("obj")), kNoError);
    EXPECT_EQ(file.CountMembers(), 2);
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 1, nullptr)), test::bytes("from container"));
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 7, nullptr)), test::bytes("only in directory"));
    EXPECT_EQ(test::dataOf(file.GetNamedResource(kText, "SEVEN", nullptr)), test::bytes("only in directory"));
    EXPECT_EQ(file.CountTypes(), 2);
    EXPECT_EQ(file.GetIndType(1), kText);
    EXPECT_EQ(file.GetIndType(2), kData);
    EXPECT_EQ(file.CountResources(kText), 4);
    // Position 3 = member 1's count + 1: the first TEXT of the directory.
    EXPECT_EQ(test::dataOf(file.GetIndResource(kText, 3, nullptr)), test::bytes("from directory"));
    DataHandle seven = file.GetResource(kText, 7, nullptr);
    std::int16_t id = 0;
    EXPECT_EQ(file.GetResID(seven, id), kNoError);
    EXPECT_EQ(id, 7);
    std::string name;
    EXPECT_EQ(file.GetResName(seven, name), kNoError);
    EXPECT_EQ(name, "seven");
    EXPECT_FALSE(file.GetResource(kText, 99, nullptr));
    EXPECT_EQ(file.lastError(), kResNotFound);
    EXPECT_EQ(file.GetFileName(name), kNoError);
    EXPECT_EQ(name, dir.file("obj"));
    EXPECT_TRUE(file.IsWritable());
    EXPECT_EQ(file.Close(), kNoError);
    EXPECT_EQ(file.CountMembers(), 0);
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(CombinedTest, StdResFileChoosesTheContainerVersion) {
    Bytes v10 = test::cat({test::header10(), test::chunk1("TEXT", 1, 0, 0xFFFFFFFF, test::bytes("old"))});
    test::writeBytes(dir, "old.iff", v10);
    StdResFile file;
    ASSERT_EQ(file.Open(dir.file("old.iff")), kNoError);
    ASSERT_EQ(file.CountMembers(), 1);
    EXPECT_NE(dynamic_cast<IFFResFile*>(file.GetMember(0)), nullptr);
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 1, nullptr)), test::bytes("old"));
    (void)file.Close();

    // The error of the last rule tried: the ".dir" rule does not apply to
    // "missing.iff", and does to "missing".
    EXPECT_EQ(file.Open(dir.file("missing.iff")), kNoRuleApplies);
    EXPECT_EQ(file.Open(dir.file("missing")), kAlreadyOpen);
    EXPECT_EQ(file.Open(dir.file("x.txt")), kNoRuleApplies);
}

TEST_F(CombinedTest, ObjResFileUsesOnlyTheRuleOfTheExtension) {
    container("obj.iff", {{1, "iff"}});
    container("obj.spf", {{1, "spf"}});
    ObjResFile file;
    ASSERT_EQ(file.Open(dir.file("obj.spf")), kNoError);
    EXPECT_EQ(file.CountMembers(), 1);
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 1, nullptr)), test::bytes("spf"));
    (void)file.Close();
    ASSERT_EQ(file.Open(dir.file("obj")), kNoError);
    EXPECT_EQ(file.CountMembers(), 2);

    struct Defaults : ObjResFile::Attachment {
        int value = 3;
    };
    file.SetKeyed(4096, std::make_unique<Defaults>());
    ASSERT_NE(file.FindKeyed(4096), nullptr);
    EXPECT_EQ(dynamic_cast<Defaults*>(file.FindKeyed(4096))->value, 3);
    EXPECT_EQ(file.FindKeyed(1), nullptr);
}

TEST_F(CombinedTest, WritesGoToTheFirstWritableMemberThatTakesTheType) {
    std::string first = container("a.iff", {{1, "a"}});
    std::string second = container("b.iff", {{2, "b"}});
    SeqResFile chain;  // no rules: members are added by hand
    auto readOnly = std::make_unique<IFFResFile2>();
    readOnly->setOpenReadOnly(true);
    ASSERT_EQ(readOnly->Open(first), kNoError);
    auto writable = std::make_unique<IFFResFile2>();
    ASSERT_EQ(writable->Open(second), kNoError);
    chain.AddMember(std::move(readOnly));
    iResFile* b = chain.AddMember(std::move(writable));
    chain.SetMemberFilter(b, ChainResFile::kOnlyListed, {kText});

    DataHandle text = test::handleWith("new");
    ASSERT_EQ(chain.AddResource(text, kText, 3, "", true), kNoError);
    EXPECT_EQ(b->GetResource(kText, 3, nullptr), text);
    EXPECT_EQ(chain.WriteResource(text), kNoError);
    DataHandle data = test::handleWith("d");
    EXPECT_EQ(chain.AddResource(data, kData, 1, "", true), kTypeFiltered);
    EXPECT_TRUE(chain.CanWriteType(kText));
    EXPECT_FALSE(chain.CanWriteType(kData));
    EXPECT_EQ(chain.WriteResource(data), kResNameNotFound);
    (void)DisposeDataHandle(data);

    // Adding a handle the chain already holds replaces the stored resource
    // and keeps the handle.
    DataHandle two = chain.GetResource(kText, 2, nullptr);
    handleBytes(two)[0] = 'B';
    ASSERT_EQ(chain.AddResource(two, kText, 2, "", true), kNoError);
    ASSERT_EQ(chain.Close(), kNoError);
    IFFResFile2 check;
    ASSERT_EQ(check.Open(second), kNoError);
    EXPECT_EQ(test::dataOf(check.GetResource(kText, 2, nullptr)), test::bytes("B"));
    EXPECT_EQ(check.CountResources(kText), 2);
}

TEST_F(CombinedTest, UniqueNameAcrossMembers) {
    std::string a = container("a.iff", {});
    SeqResFile chain;
    auto member = std::make_unique<IFFResFile2>();
    ASSERT_EQ(member->Open(a), kNoError);
    iResFile* m = chain.AddMember(std::move(member));
    std::string name;
    EXPECT_EQ(chain.UniqueName(kText, name), kNoError);
    EXPECT_EQ(name, "anonymous 0");
    ASSERT_EQ(m->AddResource(test::handleWith("x"), kText, 1, "anonymous 0", true), kNoError);
    name.clear();
    EXPECT_EQ(chain.UniqueName(kText, name), kNoError);
    EXPECT_EQ(name, "anonymous 00");
    EXPECT_EQ(chain.UniqueID(kText), 129);
    EXPECT_EQ(chain.ReservedAction(0), kUnsupported);
}

TEST_F(CombinedTest, CreateNeverOverwritesAndDeleteRemoves) {
    container("x.iff", {{1, "keep"}});
    StdResFile file;
    EXPECT_EQ(file.Create(dir.file("x")), kFileExists);
    EXPECT_EQ(test::readBytes(dir.file("x.iff")).size(), 64u + 80u);
    ASSERT_EQ(file.Create(dir.file("y")), kNoError);
    EXPECT_EQ(test::readBytes(dir.file("y.iff")), test::header2('5', 0));
    EXPECT_FALSE(std::filesystem::exists(dir.file("y.dir")));
    EXPECT_EQ(file.Delete(dir.file("y")), kNoError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("y.iff")));
    EXPECT_EQ(file.Delete(dir.file("y")), kUnsupported) << "the last rule's answer";
    EXPECT_EQ(file.Delete(dir.file("y.txt")), kNoRuleApplies);
}

TEST_F(CombinedTest, ResolveResFileServesTheDirectory) {
    dirResource("r.dir", kText, 5, "five", "5");
    dirResource("r.dir", kText, -2, "", "minus two");
    test::writeBytes(dir, "r.dir/readme.res", test::bytes("not a resource"));
    test::writeBytes(dir, "r.dir/notes.txt", test::bytes("ignored"));
    ResolveResFile file;
    std::string cwd = platform::fileSystem().currentDirectory();
    ASSERT_TRUE(platform::fileSystem().setCurrentDirectory(dir.str()));
    ResError opened = file.Open(".\\./r.dir");
    ASSERT_TRUE(platform::fileSystem().setCurrentDirectory(cwd));
    ASSERT_EQ(opened, kNoError);
    EXPECT_FALSE(file.IsWritable());
    EXPECT_EQ(file.CountTypes(), 1);
    EXPECT_EQ(file.CountResources(kText), 2);
    EXPECT_EQ(file.GetIndType(2), 0u);
    EXPECT_EQ(file.lastError(), kResNotFound);
    ResLoader mark = [](std::uint8_t* d, std::size_t n) {
        if (n) d[0] = '!';
    };
    DataHandle five = file.GetResource(kText, 5, mark);
    EXPECT_EQ(test::dataOf(five), test::bytes("!"));
    EXPECT_TRUE(file.IsNativeOrder(five));
    EXPECT_EQ(file.GetNamedResource(kText, "FIVE", nullptr), five) << "the same resource, the same handle";
    EXPECT_EQ(test::dataOf(file.GetIndResource(kText, 1, nullptr)), test::bytes("minus two"));
    EXPECT_EQ(file.AddResource(five, kText, 9, "", true), kUnsupported);
    EXPECT_EQ(file.WriteResource(five), kUnsupported);
    EXPECT_EQ(file.RemoveResource(five), kUnsupported);
    EXPECT_EQ(file.Update(), kUnsupported);
    EXPECT_FALSE(file.CanWriteType(kText));
    EXPECT_EQ(file.ReleaseResource(five), kNoError);
    EXPECT_EQ(file.ReleaseResource(five), kResNameNotFound);
    EXPECT_TRUE(isLiveHandle(five));
    EXPECT_EQ(DisposeDataHandle(five), kNoError);
    std::size_t live = liveHandleCount();
    DataHandle held = file.GetResource(kText, 5, nullptr);
    EXPECT_EQ(liveHandleCount(), live + 1);
    EXPECT_EQ(file.Close(), kNoError);
    EXPECT_FALSE(isLiveHandle(held)) << "Close disposes what was not released";
    EXPECT_EQ(file.Open(dir.file("nothing.dir")), kAlreadyOpen);
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(CombinedTest, OperationsReachEveryMember) {
    container("m.iff", {{1, "one"}});
    dirResource("m.dir", kData, 1, "", "d");
    StdResFile file;
    ASSERT_EQ(file.Open(dir.file("m")), kNoError);
    DataHandle added = test::handleWith("pending");
    ASSERT_EQ(file.AddResource(added, kText, 2, "", true), kNoError);
    EXPECT_EQ(file.Update(), kNoError) << "the read-only directory is not asked";
    EXPECT_EQ(file.Suspend(), kNoError);
    EXPECT_FALSE(file.GetMember(0)->IsOpen());
    EXPECT_TRUE(file.IsOpen()) << "the directory stays open";
    EXPECT_EQ(file.Resume(), kNoError);
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 2, nullptr)), test::bytes("pending"));
    DataHandle d = file.GetResource(kData, 1, nullptr);
    EXPECT_EQ(file.GetResType(d), kData);
    EXPECT_EQ(file.ReleaseResource(d), kNoError);
    EXPECT_EQ(file.ReleaseResource(d), kResNameNotFound);
    (void)DisposeDataHandle(d);
    std::int16_t reserved = 3;
    EXPECT_EQ(file.ReservedQuery(file.GetResource(kText, 1, nullptr), reserved), kUnsupported);
    EXPECT_EQ(reserved, 0);
}
