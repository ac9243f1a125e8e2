// tryster-cli iff, run in-process: list and get on a 1.0 file, and edits
// that replace the file whole or not at all.

#include "RunCli.h"
#include "exchange/DateTemplate.h"
#include "resfile/ContainerBytes.h"
#include "support/EveryFault.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

namespace tryster::cli {
namespace {

using test::Bytes;

class IffCommand : public ::testing::Test {
protected:
    // The failure message, or "" when the command succeeded.
    std::string run(std::vector<std::string> args) {
        args.insert(args.begin(), "iff");
        const std::string out = test::runCli({addIffCommand}, std::move(args));
        return out.starts_with("failed: ") ? out.substr(8) : "";
    }
    std::string put(const Bytes& b) {
        return dir.write("c.iff", std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
    }
    Bytes disk() {
        const std::string text = dir.read("c.iff");
        return Bytes(text.begin(), text.end());
    }
    // Nothing but the file and the input is left in the folder.
    bool onlyTheFiles() {
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename() != "c.iff" && e.path().filename() != "in.bin") return false;
        return true;
    }

    test::TempDir dir;
};

// The version 1.0 character file a mutation campaign cut from 59 550 to
// 535 bytes: its string list's size raised by 3, 2 stray bytes after it.
TEST_F(IffCommand, ARefusedRemoveLeavesADamagedFileWhole) {
    const Bytes b = test::misalignedVersion10File(7, 9);
    const std::string path = put(b);
    EXPECT_EQ(run({"rm", path, "BMP_", "1"}),
              path + ": expected the resource BMP_ 1; found no such resource; the file is damaged: the chunk at "
                     "offset 535 running past the end, so nothing from offset 535 on can be read (kResNotFound (-98))");
    EXPECT_EQ(disk(), b);
    EXPECT_TRUE(onlyTheFiles());
}

TEST_F(IffCommand, ListsAndGetsFromAVersion10File) {
    const std::string path = put(test::cat({test::header10(), test::chunk1("TEXT", 1, 0, 0xFFFFFFFF, test::bytes("abc"))}));
    const auto listing = nlohmann::json::parse(test::runCli({addIffCommand}, {"iff", "list", "--json", path}));
    EXPECT_EQ(listing["format"], "1.0");
    EXPECT_EQ(listing["types"][0]["code"], "0x54455854");
    EXPECT_EQ(test::runCli({addIffCommand}, {"iff", "get", path, "0x54455854", "1"}), "abc");
    EXPECT_NE(run({"get", path, "TEXT", "1", "--variant", "255"}).find("(kNoVariants (-91))"), std::string::npos)
        << "a 1.0 file has no variants, up to the last one";
}

// A string set as the program loads one: "STR#" first, numbered from 1.
TEST_F(IffCommand, StringsShowsASetAsTheProgramLoadsIt) {
    const std::string date = dir.file("t.iff");
    ASSERT_EQ(exchange::buildDateTemplate(date), resfile::kNoError);
    const std::string out = test::runCli({addIffCommand}, {"iff", "strings", date, "200"});
    EXPECT_TRUE(out.starts_with("STR# 200 name=\"Appearance\"\n1 [0] Adult\n2 [0] b003mafit_01,")) << out;
}

// Whichever change of the disk fails (a write, the copy's creation or sync,
// the move into place), and on a full disk (every write from one on fails),
// the file stays byte for byte; without a failure the put is there, and so
// it is when only the folder's sync after the move fails. On a full disk
// nothing is left beside the file (when the one failing change is the
// copy's removal, the copy stays, and the next edit removes it).
TEST_F(IffCommand, AFailedPutLeavesTheFileAsItWas) {
    const Bytes b = test::cat({test::header2('5', 0), test::chunk2("TEXT", 1, 0, "", Bytes(1370, 3))});
    dir.write("in.bin", std::string(20000, 'x'));
    for (bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "full disk" : "one change fails");
        test::FaultyFileSystem faulty;
        faulty.everyChange = !fullDisk;
        faulty.once = !fullDisk;
        test::ScopedFileSystem installed(faulty);
        std::string path;
        std::uint64_t folderSync = 0;  // the last change
        const std::uint64_t changes = test::forEveryFault(
            faulty, [&] { path = put(b); },
            [&](std::uint64_t n) {
                const std::string failure = run({"put", path, "DATA", "5", "-i", dir.file("in.bin")});
                if (n == 0) folderSync = faulty.everyChange ? faulty.writes : 0;
                if (n == 0 || n == folderSync) {
                    EXPECT_EQ(failure, "");
                    EXPECT_GT(disk().size(), b.size() + 20000);
                } else {
                    EXPECT_NE(failure, "");
                    EXPECT_EQ(disk(), b);
                }
                if (fullDisk) {
                    EXPECT_TRUE(onlyTheFiles());
                }
            });
        EXPECT_GT(changes, 2u);
    }
}

}  // namespace
}  // namespace tryster::cli
