// A write that fails at any point leaves a container that opens, with every
// resource the failed operations did not touch intact.

#include "ResFileTestSupport.h"
#include "resfile/IFFResFile.h"
#include "resfile/IFFResFile2.h"
#include "support/EveryFault.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace tryster;
using namespace tryster::resfile;
using test::Bytes, test::kText, test::kData;

namespace {

Bytes content(int id, std::size_t size) { return Bytes(size, static_cast<std::uint8_t>('a' + id)); }

// Opens, changes and closes; errors are expected and ignored.
void changeAll(iResFile& file, const std::string& path) {
    if (file.Open(path) != kNoError) return;
    if (DataHandle h = file.GetResource(kText, 2, nullptr)) {
        (void)SetDataHandleSize(h, 300);
        (void)file.WriteResource(h);
    }
    if (DataHandle h = file.GetResource(kText, 3, nullptr)) {
        handleBytes(h)[0] = 'Z';
        (void)file.WriteResource(h);
    }
    DataHandle fresh = test::handleWith(content(10, 50));
    if (file.AddResource(fresh, kText, 10, "ten", true) != kNoError) (void)DisposeDataHandle(fresh);
    if (DataHandle h = file.GetResource(kText, 4, nullptr)) (void)file.RemoveResource(h);
    if (DataHandle h = file.GetResource(kText, 5, nullptr)) (void)file.SetResInfo(h, 5, "renamed", 0);
    (void)file.Close();
}

// Every resource listed must load; 1 and 6 are untouched.
void expectReadable(iResFile& file, const std::string& path, const std::map<int, Bytes>& original) {
    ASSERT_EQ(file.Open(path), kNoError);
    for (std::int16_t i = 1; i <= file.CountResources(kText); ++i) {
        DataHandle h = file.GetIndResource(kText, i, nullptr);
        ASSERT_TRUE(h) << "resource " << i << ": " << describeError(file.lastError());
    }
    for (int id : {1, 6}) {
        DataHandle h = file.GetResource(kText, static_cast<std::int16_t>(id), nullptr);
        ASSERT_TRUE(h) << id;
        EXPECT_EQ(test::dataOf(h), original.at(id)) << id;
    }
    if (DataHandle h = file.GetResource(kText, 3, nullptr)) {
        Bytes d = test::dataOf(h);
        EXPECT_EQ(d.size(), original.at(3).size());
        EXPECT_EQ(Bytes(d.begin() + 1, d.end()), Bytes(original.at(3).begin() + 1, original.at(3).end()));
    }
    EXPECT_EQ(file.Close(), kNoError);
}

// The file is written afresh before each run; the checks read with no
// fault set, and no run may leave a handle behind.
void runEveryFailurePoint(const Bytes& original, const std::map<int, Bytes>& data,
                          const std::function<std::unique_ptr<iResFile>()>& make) {
    test::TempDir dir;
    const std::string path = dir.file("f.iff");
    test::FaultyFileSystem faulty;
    test::ScopedFileSystem scoped(faulty);
    const std::size_t live = liveHandleCount();
    const std::uint64_t writes = test::forEveryFault(
        faulty, [&] { test::writeBytes(dir, "f.iff", original); },
        [&](std::uint64_t) {
            changeAll(*make(), path);
            faulty.failFrom = 0;
            EXPECT_EQ(liveHandleCount(), live);
            expectReadable(*make(), path, data);
        });
    EXPECT_GT(writes, 5u);
}

}  // namespace

// Resources 1 to 6 of growing sizes, their data stored in `data`, in
// chunks made by `chunk`; the free chunk `gap` follows the first.
std::vector<Bytes> sixChunks(std::map<int, Bytes>& data,
                             const std::function<Bytes(std::int16_t, const Bytes&)>& chunk, const Bytes& gap) {
    std::vector<Bytes> out;
    for (std::int16_t id = 1; id <= 6; ++id) {
        data[id] = content(id, static_cast<std::size_t>(40 + 30 * id));
        out.push_back(test::cat({chunk(id, data[id]), id == 1 ? gap : Bytes{}}));
    }
    return out;
}

// With a map in the header, and enough free space that Close compacts.
TEST(WriteFailure, Container2xStaysReadable) {
    std::map<int, Bytes> data;
    const auto chunks = sixChunks(
        data, [](std::int16_t id, const Bytes& d) { return test::chunk2("TEXT", id, 0, "", d); }, test::free2(12000));
    std::vector<test::MapEntry> entries;
    Bytes body;
    for (std::int16_t id = 1; id <= 6; ++id) {
        entries.push_back({static_cast<std::uint32_t>(64 + body.size()), id, 0, ""});
        body = test::cat({body, chunks[static_cast<std::size_t>(id - 1)]});
    }
    const auto mapAt = static_cast<std::uint32_t>(64 + body.size());
    Bytes map = test::chunk2("rsmp", 0, 0x10, "", test::mapData(12000, {{"TEXT", entries}}));
    runEveryFailurePoint(test::cat({test::header2('5', mapAt), body, map}), data,
                         [] { return std::make_unique<IFFResFile2>(); });
}

// The name list in its record form, and in its raw form, which the first
// change replaces by a record.
TEST(WriteFailure, Container10StaysReadable) {
    for (const Bytes& names : {test::chunk1("NAME", 1, 0x18, 0xFFFFFFFF, test::nameRecord({})),
                               test::chunk1("NAME", 0, 0x08, 0xFFFFFFFF, {})}) {
        std::map<int, Bytes> data;
        Bytes file = test::cat({test::header10(), names});
        for (const Bytes& chunk : sixChunks(
                 data, [](std::int16_t id, const Bytes& d) { return test::chunk1("TEXT", id, 0, 0xFFFFFFFF, d); },
                 test::chunk1("XXXX", 0, 0x0004, 0xFFFFFFFF, Bytes(12000, 0))))
            file = test::cat({file, chunk});
        runEveryFailurePoint(file, data, [] { return std::make_unique<IFFResFile>(); });
    }
}
