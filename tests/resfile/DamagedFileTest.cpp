// Damaged containers keep every byte: a close with no change writes
// nothing, and a change never drops or overwrites what lies behind the last
// chunk the walk could read.

#include "ResFileTestSupport.h"
#include "resfile/IFFResFile.h"
#include "resfile/IFFResFile2.h"
#include "support/FaultyFileSystem.h"
#include "support/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace tryster::resfile {
namespace {

using test::Bytes;

// A chunk of `data` bytes with the header of the file's version.
struct Piece {
    std::string type;
    std::int16_t id;
    std::size_t data;
};

Bytes pattern(std::size_t size, int seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(i * 13 + static_cast<std::size_t>(seed));
    return b;
}

// Chunk `damaged` claims 3 bytes more than it has and 2 stray bytes follow
// it, so the next header is read one byte late: for these sizes it claims
// far more than the file holds and ends the walk. The offset where the
// walk's knowledge ends is stored in `known`.
Bytes damagedFile(bool v10, const std::vector<Piece>& pieces, std::size_t damaged, std::size_t& known) {
    // A 1.0 file starts with its (empty) name list.
    Bytes b = v10 ? test::cat({test::header10(), test::chunk1("NAME", 1, 0x0018, 0xFFFFFFFF, test::nameRecord({}))})
                  : test::header2('5', 0);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::size_t at = b.size();
        const Piece& p = pieces[i];
        Bytes c = v10 ? test::chunk1(p.type, p.id, 0, 0xFFFFFFFF, pattern(p.data, static_cast<int>(i)))
                      : test::chunk2(p.type, p.id, 0, "", pattern(p.data, static_cast<int>(i)));
        if (i == damaged) {
            const std::uint32_t size = test::readBe32(c, 4) + 3;
            for (int k = 0; k < 4; ++k) c[4 + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(size >> (24 - 8 * k));
            c.push_back(0xAB);
            c.push_back(0xCD);
            known = at + size;
            // The last chunk now runs past the end itself.
            if (i + 1 == pieces.size()) known = at;
        }
        b.insert(b.end(), c.begin(), c.end());
    }
    return b;
}

// Takes one resource of `type` holding `data` out of `from`; false when
// there is none.
bool takeOut(std::multimap<ResType, Bytes>& from, ResType type, const Bytes& data) {
    auto [first, last] = from.equal_range(type);
    auto it = std::find_if(first, last, [&](const auto& e) { return e.second == data; });
    if (it == last) return false;
    from.erase(it);
    return true;
}

class DamagedFile : public ::testing::Test {
protected:
    DamagedFile() { platform::installFileSystem(&fs); }
    ~DamagedFile() override { platform::installFileSystem(nullptr); }

    std::unique_ptr<ContainerFile> open(bool v10) {
        std::unique_ptr<ContainerFile> file;
        if (v10) file = std::make_unique<IFFResFile>();
        else file = std::make_unique<IFFResFile2>();
        EXPECT_EQ(file->Open("f.iff"), kNoError);
        return file;
    }
    Bytes disk() { return *fs.get("f.iff"); }

    // Type and data of every resource that can be read.
    std::multimap<ResType, Bytes> readable(bool v10) {
        std::multimap<ResType, Bytes> out;
        auto file = open(v10);
        for (std::int16_t t = 1; t <= file->CountTypes(); ++t) {
            ResType type = file->GetIndType(t);
            for (std::int16_t i = 1; i <= file->CountResources(type); ++i)
                if (DataHandle h = file->GetIndResource(type, i, nullptr)) out.emplace(type, test::dataOf(h));
        }
        EXPECT_EQ(file->Close(), kNoError);
        return out;
    }

    test::MemoryFileSystem fs;
};

// An open tells a file that reads to its end from one whose map or chunks
// run past it, and says where: a damaged file is not an empty one.
TEST_F(DamagedFile, AnOpenSaysWhereTheMapOrTheChunksRunPastTheEnd) {
    using Kind = ContainerDamage::Kind;
    const Bytes first = test::chunk2("OBJD", 128, 0, "", pattern(100, 1));   // at 64, 176 bytes
    const Bytes second = test::chunk2("BMP_", 1, 0, "", pattern(300, 2));    // at 240, 376 bytes
    const Bytes map = test::chunk2("rsmp", 0, 0, "", test::mapData(0, {{"OBJD", {{64, 128, 0, ""}}}}));
    const Bytes listsBeyond =
        test::chunk2("rsmp", 0, 0, "", test::mapData(0, {{"OBJD", {{64, 128, 0, ""}, {5000, 129, 0, ""}}}}));
    Bytes badSize = second;
    badSize[4] = 0xFF;  // a size past 0x40000000
    auto cut = [](Bytes b, std::size_t size) {
        b.resize(size);
        return b;
    };
    struct Row {
        const char* what;
        Bytes file;
        Kind kind;
        std::uint64_t offset;
        int listed;  // resources the index lists
    };
    const Row rows[] = {
        {"whole, walked", test::cat({test::header2('0', 0), first, second}), Kind::None, 0, 2},
        {"whole, by its map", test::cat({test::header2('5', 616), first, second, map}), Kind::None, 0, 1},
        {"cut inside a chunk", cut(test::cat({test::header2('0', 0), first, second}), 400), Kind::ChunkPastEnd, 240,
         2},
        {"cut inside a header", cut(test::cat({test::header2('0', 0), first}), 100), Kind::HeaderCut, 64, 0},
        {"a map past the end", test::cat({test::header2('5', 9000), first, second}), Kind::MapPastEnd, 9000, 2},
        {"a map listing past the end", test::cat({test::header2('5', 616), first, second, listsBeyond}),
         Kind::ListedPastEnd, 5000, 2},
        {"a size that cannot be", test::cat({test::header2('0', 0), first, badSize}), Kind::BadChunkHeader, 240, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs.put("f.iff", row.file);
        auto file = open(false);
        EXPECT_EQ(file->damage().kind, row.kind);
        EXPECT_EQ(file->damage().offset, row.offset);
        EXPECT_EQ(file->damage().fileSize, row.kind == Kind::None ? 0u : row.file.size());
        int count = 0;
        for (std::int16_t t = 1; t <= file->CountTypes(); ++t) count += file->CountResources(file->GetIndType(t));
        EXPECT_EQ(count, row.listed);
        EXPECT_EQ(file->Close(), kNoError);
    }
}

// The same damage after every chunk of a small file of either version,
// met by a put, a remove and a refused remove. The remove frees enough for
// compaction to run where it can.
TEST_F(DamagedFile, EveryChunkBoundaryKeepsWhatTheWalkCannotRead) {
    const std::vector<Piece> pieces{{"STR#", 200, 420}, {"OBJD", 128, 200}, {"BMP_", 1, 12000}, {"BMP_", 2, 300}};
    for (bool v10 : {true, false}) {
        for (std::size_t damaged = 0; damaged < pieces.size(); ++damaged) {
            SCOPED_TRACE(::testing::Message() << (v10 ? "1.0" : "2.5") << ", damage after chunk " << damaged);
            std::size_t known = 0;
            const Bytes before = damagedFile(v10, pieces, damaged, known);
            fs.put("f.iff", before);
            const auto readableBefore = readable(v10);
            // Every byte the walk cannot read stays at its place, and every
            // resource that could be read still can, with its data.
            auto keptAll = [&](const std::multimap<ResType, Bytes>& without) {
                const Bytes after = disk();
                ASSERT_GE(after.size(), before.size());
                EXPECT_TRUE(std::equal(before.begin() + static_cast<long>(known), before.end(),
                                       after.begin() + static_cast<long>(known)));
                auto now = readable(v10);
                for (const auto& [type, data] : without)
                    EXPECT_TRUE(takeOut(now, type, data)) << "a resource of type " << std::hex << type << " went missing";
            };

            {  // A remove that is refused changes nothing.
                auto file = open(v10);
                EXPECT_FALSE(file->GetResource(makeType("NONE"), 1, nullptr));
                EXPECT_EQ(file->Close(), kNoError);
                EXPECT_EQ(disk(), before);
            }
            {  // A remove of the large picture where it can be read.
                auto file = open(v10);
                std::multimap<ResType, Bytes> rest = readableBefore;
                if (DataHandle h = file->GetResource(makeType("BMP_"), 1, nullptr)) {
                    EXPECT_TRUE(takeOut(rest, makeType("BMP_"), test::dataOf(h)));
                    EXPECT_EQ(file->RemoveResource(h), kNoError);
                }
                EXPECT_EQ(file->Close(), kNoError);
                keptAll(rest);
            }
            fs.put("f.iff", before);
            {  // A put: a 1.0 file has no map to find a chunk past the damage
               // by, so unless there is room before it the write is refused.
                auto file = open(v10);
                DataHandle h = test::handleWith(pattern(100, 9));
                ASSERT_EQ(file->AddResource(h, makeType("NEW!"), 1, "", true), kNoError);
                EXPECT_EQ(file->WriteResource(h), v10 ? kBadChunk : kNoError);
                EXPECT_EQ(file->Close(), v10 ? kBadChunk : kNoError) << "the pending write is tried again";
                std::multimap<ResType, Bytes> with = readableBefore;
                if (!v10) with.emplace(makeType("NEW!"), pattern(100, 9));
                keptAll(with);
            }
        }
    }
}

// A 2.x chunk its map lists but whose header carries the free flag is read
// through the map, so it is live: a put that fits in it, and the
// compaction a remove starts, leave it where it is (a fuzz run found the
// put written over it).
TEST_F(DamagedFile, AMappedChunkFlaggedFreeIsNeitherReusedNorCompactedAway) {
    const Bytes objd = pattern(40, 3);
    const Bytes listed = test::chunk2("OBJD", 128, 0x0004, "", objd);
    const Bytes spare = test::chunk2("BMP_", 1, 0, "", pattern(kCompactThreshold, 4));
    const std::uint32_t objdAt = 64, spareAt = objdAt + static_cast<std::uint32_t>(listed.size());
    const auto mapAt = static_cast<std::uint32_t>(spareAt + spare.size());
    const Bytes map = test::chunk2("rsmp", 0, 0, "", test::mapData(0, {{"OBJD", {{objdAt, 128, 0, ""}}},
                                                                       {"BMP_", {{spareAt, 1, 0, ""}}}}));
    fs.put("f.iff", test::cat({test::header2('5', mapAt), listed, spare, map}));
    {
        auto file = open(false);
        DataHandle h = test::handleWith(pattern(20, 9));
        ASSERT_EQ(file->AddResource(h, makeType("NEW!"), 1, "", true), kNoError);
        EXPECT_EQ(file->WriteResource(h), kNoError);
        EXPECT_EQ(file->Close(), kNoError);
    }
    {
        auto file = open(false);
        DataHandle big = file->GetResource(makeType("BMP_"), 1, nullptr);
        ASSERT_TRUE(big);
        EXPECT_EQ(file->RemoveResource(big), kNoError);
        EXPECT_EQ(file->Close(), kNoError);
    }
    const auto now = readable(false);
    const auto it = now.find(makeType("OBJD"));
    ASSERT_NE(it, now.end());
    EXPECT_EQ(it->second, objd);
    EXPECT_EQ(now.count(makeType("NEW!")), 1u);
}

}  // namespace
}  // namespace tryster::resfile
