// Packs from strangers: every hostile archive is refused with a message
// that says what is wrong, and nothing reaches the game folder.

#include "ShareTestSupport.h"
#include "share/Installer.h"
#include "share/SharedDate.h"
#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace tryster;
using namespace tryster::test;
using Type = ArchiveItem::Type;

namespace {

std::vector<std::uint8_t> noise(std::size_t size) {
    std::mt19937 generator(7);
    std::vector<std::uint8_t> out(size);
    for (auto& b : out) b = static_cast<std::uint8_t>(generator());
    return out;
}

// Rosa's pack with one thing changed; the manifest describes the files as
// changed unless the change is to break exactly that.
struct Hostile {
    const char* what;
    std::function<std::vector<std::uint8_t>(PackParts)> build;
    const char* message;
};

std::vector<std::uint8_t> withFile(PackParts p, ArchiveItem item, ArchiveKind kind = ArchiveKind::Zip) {
    p.files.push_back(std::move(item));
    p.describeFiles();
    return p.archive(kind);
}

// The pack with the bytes of one of its files changed, and described so.
std::vector<std::uint8_t> withBytes(PackParts p, const std::string& name, std::vector<std::uint8_t> bytes) {
    p.file(name).bytes = std::move(bytes);
    p.describeFiles();
    return p.archive();
}

// The manifest and one more file of `size` bytes, packed as tar.xz.
std::vector<std::uint8_t> withLarge(const PackParts& p, std::size_t size) {
    return buildArchive({p.items()[0], ArchiveItem::file("GameData/Skins/bomb.bmp", std::vector<std::uint8_t>(size))},
                        ArchiveKind::TarXz);
}

std::vector<std::uint8_t> withEntry(PackParts p, ArchiveItem item, ArchiveKind kind = ArchiveKind::Zip) {
    std::vector<ArchiveItem> items = p.items();
    items.push_back(std::move(item));
    return buildArchive(items, kind);
}

const std::string kMesh = "GameData/Skins/xskin-b006fafit_01-BODY.skn";
const std::string kDate = "TemplateNPCs/Date_Rosa.iff";

const std::vector<Hostile>& hostilePacks() {
    static const std::vector<Hostile> cases = {
        {"a way up", [](PackParts p) { return withFile(p, ArchiveItem::file("GameData/Skins/../../evil.bmp", "BM")); },
         "has a way up (..)"},
        {"a symbolic link",
         [](PackParts p) { return withEntry(p, {"GameData/Skins/link.bmp", {}, Type::Symlink, "/etc/passwd"}); },
         "is a link"},
        {"a hard link",
         [](PackParts p) {
             return withEntry(p, {"GameData/Skins/hard.bmp", {}, Type::Hardlink, "TemplateNPCs/Date_Rosa.iff"},
                              ArchiveKind::TarGz);
         },
         "is a link"},
        {"a device",
         [](PackParts p) { return withEntry(p, {"GameData/Skins/dev.bmp", {}, Type::Device, {}}, ArchiveKind::TarGz); },
         "is a device"},
        {"a folder elsewhere", [](PackParts p) { return withEntry(p, {"UserData/", {}, Type::Folder, {}}); },
         "is a folder outside"},
        {"case twins",
         [](PackParts p) { return withFile(p, ArchiveItem::file("GameData/Skins/B006FAFIT_01.cmx", "other")); },
         "differ only in letter case"},
        {"a name twice",
         [](PackParts p) { return withEntry(p, ArchiveItem::file("GameData/Skins/b006fafit_01.cmx", "other")); },
         "is in the archive twice"},
        {"an unknown extension",
         [](PackParts p) { return withFile(p, ArchiveItem::file("GameData/Skins/setup.exe", "MZ")); },
         "is not a kind of file the game reads"},
        {"an archive bomb", [](PackParts p) { return withLarge(p, 15u << 20); },
         "inflates to more than 1000 times its size, as an archive bomb does"},
        {"a file that says it is too large", [](PackParts p) { return withLarge(p, 17u << 20); },
         "is larger than 16384 KB"},
        {"a file larger than its kind may be",
         [](PackParts p) {
             std::vector<ArchiveItem> items = p.items();
             items[0] = ArchiveItem::file("manifest.json", noise(300u << 10));
             return buildArchive(items);
         },
         "larger than 256 KB"},
        {"too many files",
         [](PackParts p) {
             for (int i = 0; i < 60; ++i)
                 p.files.push_back(ArchiveItem::file("GameData/Skins/t" + std::to_string(i) + ".bmp", "BM"));
             p.describeFiles();
             return p.archive();
         },
         "more than 64 files"},
        {"a file its manifest does not describe",
         [](PackParts p) {
             p.file(kMesh).bytes.push_back('\n');  // after the manifest described it
             return p.archive();
         },
         "is not the file its manifest describes"},
        {"a file its manifest does not list",
         [](PackParts p) {
             p.files.push_back(ArchiveItem::file("GameData/Skins/extra.bmp", "BM"));
             return p.archive();
         },
         "is not in its manifest"},
        {"a file only its manifest lists",
         [](PackParts p) {
             p.describeFiles();
             p.files.pop_back();
             return p.archive();
         },
         "which the pack does not hold"},
        {"no manifest",
         [](PackParts p) {
             std::vector<ArchiveItem> items = p.items();
             items.erase(items.begin());
             return buildArchive(items);
         },
         "has no manifest"},
        {"a manifest of a newer version",
         [](PackParts p) {
             p.manifest.version = 2;
             return p.archive();
         },
         "made by a newer Tryster"},
        {"a name that would steer a terminal",
         [](PackParts p) {
             p.manifest.name = "Rosa\x1b]0;owned\x07";
             return p.archive();
         },
         "gives a name that is too long or holds control characters"},
        {"a truncated archive",
         [](PackParts p) {
             std::vector<std::uint8_t> bytes = p.archive();
             bytes.resize(bytes.size() / 2);
             return bytes;
         },
         "damaged"},
        {"no archive at all", [](PackParts) { return noise(5000); }, "not an archive"},
        {"two dates",
         [](PackParts p) { return withFile(p, ArchiveItem::file("TemplateNPCs/Other.iff", p.file(kDate).bytes)); },
         "more than one date"},
        {"a web exchange file of another date",
         [](PackParts p) { return withFile(p, ArchiveItem::file("TemplateNPCs/Other.srf", "[Tryster]\r\n")); },
         "is not named after the date"},
        {"a date that is no container", [](PackParts p) { return withBytes(p, kDate, noise(9000)); },
         "is not a character file of the game"},
        {"a date that is no character",
         [](PackParts p) { return withBytes(p, kDate, fileBytes(demoFolder() + "/UserData/Neighborhood.iff")); },
         "is not a character"},
        {"a mesh that does not parse",
         [](PackParts p) { return withBytes(p, kMesh, {'m', 'e', 's', 'h', '\n', 'x', '\n', '9', '9'}); },
         "is not a mesh the game can read"},
        {"a texture that is no picture",
         [](PackParts p) { return withBytes(p, "GameData/Skins/B006FAFitmed_dots.bmp", noise(2000)); },
         "is not a picture the game can read"},
        {"a snapshot that is no picture",
         [](PackParts p) { return withFile(p, ArchiveItem::file("TemplateNPCs/Date_Rosahead.jpg", noise(3000))); },
         "is not a JPEG picture"},
        {"a snapshot cut short",
         [](PackParts p) {
             std::vector<std::uint8_t> jpeg = fileBytes(TRYSTER_TEST_DATA "/head.jpg");
             jpeg.resize(jpeg.size() / 2);
             return withFile(p, ArchiveItem::file("TemplateNPCs/Date_Rosabody.jpg", jpeg));
         },
         "is not a JPEG picture"},
        {"a character file that does not parse",
         [](PackParts p) { return withBytes(p, "GameData/Skins/c021fa_long.cmx", {'x', '\n', 'y', '\n', 'z'}); },
         "is not a character file the game can read"},
    };
    return cases;
}

TEST(HostilePacks, AreRefusedWithAClearMessageAndNothingIsWritten) {
    GameFolder game({"Date_Rosa.iff"});
    const FolderState before = game.state();
    TempDir downloads;
    for (const Hostile& h : hostilePacks()) {
        SCOPED_TRACE(h.what);
        const std::string path = downloads.file("pack.zip");
        writeBytes(path, h.build(rosaParts()));
        share::SharedDateOpening opened = share::openSharedDate(path);
        EXPECT_FALSE(opened.date);
        EXPECT_NE(opened.problem.find(h.message), std::string::npos) << opened.problem;
        EXPECT_EQ(opened.problem.find("()"), std::string::npos) << "a reason left out: " << opened.problem;
        if (opened.date) {
            const share::InstallPlan plan = share::planInstall(*opened.date, game.path(), {});
            if (plan.ok()) (void)share::installSharedDate(*opened.date, plan);
        }
        EXPECT_TRUE(differences(game.state(), before).empty());
    }
}

// A full disk from the first write of a pack, half-way or at its last: no
// pack is said to be written, and an earlier one stays as it was.
TEST(PackWriting, AFullDiskKeepsTheEarlierPack) {
    TempDir downloads;
    const share::PackRequest request{demoFolder() + "/TemplateNPCs/Date_Rosa.iff", demoFolder(), downloads.file("R.zip"), {}};
    FaultyFileSystem faulty;
    const ScopedFileSystem scoped(faulty);
    ASSERT_TRUE(share::packDate(request).written);
    const std::uint64_t writes = faulty.writes;
    for (const std::uint64_t n : {std::uint64_t{1}, writes / 2, writes}) {
        writeBytes(request.outPath, {'o', 'l', 'd'});
        faulty.writes = 0;
        faulty.failFrom = n;
        EXPECT_FALSE(share::packDate(request).written) << "write " << n << " of " << writes;
        EXPECT_EQ(fileBytes(request.outPath), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    }
}

}  // namespace
