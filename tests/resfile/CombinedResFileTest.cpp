// Combined files: the container version chosen, names unique across
// members, create and delete, operations that reach every member, members
// taken out, the resource directory, and the open flags.

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
using test::Bytes, test::kText, test::kData;

namespace {

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

TEST_F(CombinedTest, StdResFileChoosesTheContainerVersion) {
    Bytes v10 = test::cat({test::header10(), test::chunk1("TEXT", 1, 0, 0xFFFFFFFF, test::bytes("old"))});
    test::writeBytes(dir, "old.iff", v10);
    StdResFile file;
    ASSERT_EQ(file.Open(dir.file("old.iff")), kNoError);
    ASSERT_EQ(file.CountMembers(), 1);
    EXPECT_NE(dynamic_cast<IFFResFile*>(file.GetMember(0)), nullptr);
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 1, nullptr)), test::bytes("old"));
    EXPECT_EQ(file.Close(), kNoError);

    // The error of the last rule tried: the ".dir" rule does not apply to
    // "missing.iff", and does to "missing".
    EXPECT_EQ(file.Open(dir.file("missing.iff")), kNoRuleApplies);
    EXPECT_EQ(file.Open(dir.file("missing")), kAlreadyOpen);
    EXPECT_EQ(file.Open(dir.file("x.txt")), kNoRuleApplies);
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
    std::string name;
    EXPECT_TRUE(file.GetFileName(name) == kNoError && name == "r.dir") << name;
    EXPECT_FALSE(file.IsWritable());
    EXPECT_EQ(file.CountTypes(), 1);
    EXPECT_EQ(file.CountResources(kText), 2);
    EXPECT_EQ(file.GetIndType(1), kText);
    ResLoader mark = [](std::uint8_t* d, std::size_t n) {
        if (n) d[0] = '!';
    };
    DataHandle five = file.GetResource(kText, 5, mark);
    EXPECT_EQ(test::dataOf(five), test::bytes("!"));
    EXPECT_TRUE(file.IsNativeOrder(five));
    EXPECT_EQ(file.GetNamedResource(kText, "FIVE", nullptr), five) << "the same resource, the same handle";
    EXPECT_EQ(test::dataOf(file.GetIndResource(kText, 1, nullptr)), test::bytes("minus two"));
    EXPECT_EQ((std::vector{file.AddResource(five, kText, 9, "", true), file.WriteResource(five),
                           file.RemoveResource(five), file.Update()}),
              std::vector<ResError>(4, kUnsupported));
    EXPECT_FALSE(file.CanWriteType(kText));
    EXPECT_EQ(file.ReleaseResource(five), kNoError);
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
    EXPECT_EQ(file.RemoveResource(file.GetResource(kText, 1, nullptr)), kNoError);
    EXPECT_FALSE(file.GetResource(kText, 1, nullptr));
    DataHandle d = file.GetResource(kData, 1, nullptr);
    EXPECT_EQ(file.GetResType(d), kData);
    EXPECT_EQ(file.ReleaseResource(d), kNoError);
    (void)DisposeDataHandle(d);
    std::int16_t reserved = 3;
    EXPECT_EQ(file.ReservedQuery(file.GetResource(kText, 1, nullptr), reserved), kUnsupported);
    EXPECT_EQ(reserved, 0);
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

TEST_F(CombinedTest, OpenResFileCreatesOrStartsAfreshOnlyWhenAsked) {
    const Bytes kept = test::readBytes(container("model.iff", {{1, "keep"}}));
    const Bytes empty = test::header2('5', 0);
    struct Case {
        int flags;
        bool exists;
        ResError result;
        bool keepsResource;
    };
    const Case cases[] = {
        {0, false, kFileError, false},        {0, true, kNoError, true},
        {kOpenCreate, false, kNoError, false}, {kOpenCreate, true, kNoError, true},
        {kOpenAfresh, false, kNoError, false}, {kOpenAfresh, true, kNoError, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << (c.exists ? ", file there" : ", no file"));
        const std::string path = dir.file("open.iff");
        std::filesystem::remove(path);
        if (c.exists) test::writeBytes(dir, "open.iff", kept);
        IFFResFile2 file;
        EXPECT_EQ(OpenResFile(file, path, c.flags), c.result);
        if (c.result != kNoError) {
            EXPECT_FALSE(std::filesystem::exists(path)) << "a plain open makes no file";
            continue;
        }
        EXPECT_EQ(test::dataOf(file.GetResource(kText, 1, nullptr)),
                  c.keepsResource ? test::bytes("keep") : Bytes{});
        EXPECT_EQ(file.Close(), kNoError);
        EXPECT_EQ(test::readBytes(path), c.keepsResource ? kept : empty);
    }
}

TEST_F(CombinedTest, RemovedMembersLeaveTheChainAndLaterOnesMoveUp) {
    SeqResFile chain;
    iResFile* members[3] = {};
    for (int i = 0; i < 3; ++i) {
        auto member = std::make_unique<IFFResFile2>();
        std::string name = "m" + std::to_string(i) + ".iff";
        ASSERT_EQ(member->Open(container(name, {{static_cast<std::int16_t>(i + 1), name}})), kNoError);
        members[i] = chain.AddMember(std::move(member));
    }
    IFFResFile2 stranger;
    EXPECT_EQ(chain.RemoveMember(&stranger), nullptr);
    std::unique_ptr<iResFile> removed = chain.RemoveMember(members[1]);
    EXPECT_EQ(removed.get(), members[1]);
    ASSERT_EQ(chain.CountMembers(), 2);
    EXPECT_EQ(chain.GetMember(0), members[0]);
    EXPECT_EQ(chain.GetMember(1), members[2]);
    EXPECT_FALSE(chain.GetResource(kText, 2, nullptr)) << "the removed member is no longer searched";
    EXPECT_EQ(test::dataOf(chain.GetResource(kText, 3, nullptr)), test::bytes("m2.iff"));
    // The slot is free again: eight members fit once more.
    for (int i = 0; i < 6; ++i) EXPECT_NE(chain.AddMember(std::make_unique<IFFResFile2>()), nullptr);
    EXPECT_EQ(chain.AddMember(std::make_unique<IFFResFile2>()), nullptr);
    EXPECT_EQ(removed->Close(), kNoError);
}
