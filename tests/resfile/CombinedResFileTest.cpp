// Combined files: the container version chosen, operations that reach
// every member, and the resource directory.

#include "ResFileTestSupport.h"
#include "platform/FileSystem.h"
#include "resfile/IFFResFile.h"
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
    EXPECT_EQ(test::dataOf(file.GetResource(kText, 2, nullptr)), test::bytes("pending"));
    EXPECT_EQ(file.RemoveResource(file.GetResource(kText, 1, nullptr)), kNoError);
    EXPECT_FALSE(file.GetResource(kText, 1, nullptr));
    DataHandle d = file.GetResource(kData, 1, nullptr);
    EXPECT_EQ(file.GetResType(d), kData);
    EXPECT_EQ(file.ReleaseResource(d), kNoError);
    (void)DisposeDataHandle(d);
}
