// The packs players really make: a folder packed with the usual tools and
// a desktop's litter, names beyond plain ASCII, and odd things in place of
// a pack.

#include "ShareTestSupport.h"
#include "share/InstallReview.h"
#include "share/Installer.h"
#include "share/PackLayout.h"
#include "share/SharedDate.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tryster;
using namespace tryster::test;

namespace {

ArchiveItem folder(std::string name) { return {std::move(name), {}, ArchiveItem::Type::Folder, {}}; }

// Rosa's pack, with a snapshot, as a tool packs the folder holding it:
// `prefix` before every name, a folder entry for each folder, and `more`.
std::vector<ArchiveItem> packedFolder(const std::string& prefix, const std::vector<ArchiveItem>& more = {}) {
    PackParts parts = rosaParts();
    parts.files.push_back(ArchiveItem::file("TemplateNPCs/Date_Rosahead.jpg", fileBytes(TRYSTER_TEST_DATA "/head.jpg")));
    parts.describeFiles();
    std::vector<ArchiveItem> items = {folder(prefix + "TemplateNPCs/"), folder(prefix + "gamedata/skins/")};
    if (!prefix.empty()) items.insert(items.begin(), folder(prefix));
    for (ArchiveItem item : parts.items()) {
        item.name = prefix + item.name;
        items.push_back(std::move(item));
    }
    items.insert(items.end(), more.begin(), more.end());
    return items;
}

share::SharedDateOpening openBytes(const std::vector<std::uint8_t>& bytes) {
    TempDir dir;
    writeBytes(dir.file("pack"), bytes);
    return share::openSharedDate(dir.file("pack"));
}

TEST(PlayersPacks, TheUsualToolsLayoutsOpenInEveryKindAndTheirLitterIsLeftOutAndTold) {
    const struct {
        const char* what;
        std::vector<ArchiveItem> items;
        ArchiveKind kind;
        std::vector<std::string> ignored;
    } cases[] = {
        {"tar -czf x.tar.gz -C folder .", packedFolder("./"), ArchiveKind::TarGz, {}},
        {"a zipped folder", packedFolder("Rosa/"), ArchiveKind::Zip, {}},
        {"a folder tarred with ./, from its parent", packedFolder("./Rosa/", {folder("./")}), ArchiveKind::TarXz, {}},
        {"a folder in a 7z", packedFolder("Rosa Marsh/"), ArchiveKind::SevenZip, {}},
        {"a folder zipped on a Mac",
         packedFolder("Rosa/", {folder("__MACOSX/"), ArchiveItem::file("__MACOSX/Rosa/._manifest.json", "fork"),
                                ArchiveItem::file("Rosa/.DS_Store", "Bud1")}),
         ArchiveKind::Zip, {"__MACOSX/Rosa/._manifest.json", "Rosa/.DS_Store"}},
        {"a Windows folder's litter",
         packedFolder("", {ArchiveItem::file("Thumbs.db", "t"), ArchiveItem::file("GameData/Skins/desktop.ini", "d"),
                           ArchiveItem::file("TemplateNPCs/._Date_Rosa.iff", "f")}),
         ArchiveKind::Zip, {"Thumbs.db", "GameData/Skins/desktop.ini", "TemplateNPCs/._Date_Rosa.iff"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const share::SharedDateOpening opened = openBytes(buildArchive(c.items, c.kind));
        ASSERT_TRUE(opened.date) << opened.problem;
        EXPECT_EQ(opened.date->pack.dateName(), "Date_Rosa");
        EXPECT_EQ(opened.date->pack.files.size(), rosaSkins().size() + 2);
        EXPECT_TRUE(opened.date->pack.headSnapshot());
        EXPECT_EQ(opened.date->pack.ignored, c.ignored);
        const std::string notice = share::ignoredNotice(*opened.date);
        EXPECT_EQ(notice.empty(), c.ignored.empty());
        EXPECT_TRUE(c.ignored.empty() || notice.find(c.ignored.front()) != std::string::npos) << notice;
    }
}

TEST(PlayersPacks, ALayoutStillRefusedSaysWhatThePlayerCanDo) {
    std::vector<ArchiveItem> half = rosaParts().items();
    for (std::size_t i = 0; i < half.size(); i += 2) half[i].name = "Rosa/" + half[i].name;
    const struct {
        const char* what;
        std::vector<ArchiveItem> items;
        const char* problem;
        bool advice;
    } cases[] = {
        {"half inside a folder", half, "lies outside the folders", true},
        {"two folders", packedFolder("Rosa/", {ArchiveItem::file("Other/x.txt", "x")}), "outside the folders", true},
        {"no date", {rosaParts().items().front()}, "holds no date", true},
        // A way up is never taken for a player's folder.
        {"a way up as the top folder", packedFolder("../"), "way up", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const share::SharedDateOpening opened = openBytes(buildArchive(c.items, ArchiveKind::TarGz));
        ASSERT_FALSE(opened.date);
        EXPECT_NE(opened.problem.find(c.problem), std::string::npos) << opened.problem;
        EXPECT_EQ(opened.problem.find(share::kLayoutAdvice) != std::string::npos, c.advice) << opened.problem;
    }
}

TEST(PackNames, ADateNamedInTheGamesEuropeanLettersIsSharedAndInstalled) {
    GameFolder source({}, rosaSkins());
    const std::string zoe = "Zo\xC3\xAB";  // "Zoë", as file names are written here
    fs::copy_file(demoFolder() + "/TemplateNPCs/Date_Rosa.iff", source.file("TemplateNPCs/" + zoe + ".iff"));
    TempDir dir;
    pack(source.path(), source.file("TemplateNPCs/" + zoe + ".iff"), dir.file("z.zip"));
    // The entry's local header: its flags (bit 11, a UTF-8 name), then its name.
    const std::vector<std::uint8_t> bytes = fileBytes(dir.file("z.zip"));
    const std::size_t at = std::string(bytes.begin(), bytes.end()).find("TemplateNPCs/" + zoe + ".iff");
    ASSERT_TRUE(at != std::string::npos && at >= 30);
    EXPECT_TRUE(bytes[at - 30 + 7] & 0x08) << "flagged as UTF-8";

    const share::SharedDateOpening opened = share::openSharedDate(dir.file("z.zip"));
    ASSERT_TRUE(opened.date) << opened.problem;
    EXPECT_EQ(opened.date->pack.dateName(), zoe);
    GameFolder game({"Date_Rosa.iff"});
    const share::InstallPlan plan = share::planInstall(*opened.date, game.path(), {});
    ASSERT_TRUE(plan.ok() && share::installSharedDate(*opened.date, plan).installed) << plan.problem;
    EXPECT_TRUE(fs::exists(game.file("TemplateNPCs/" + zoe + ".iff")));

    // A name the game's code page cannot hold is refused, and shown.
    PackParts cyrillic = rosaParts();
    for (ArchiveItem& f : cyrillic.files)
        if (f.name.starts_with("TemplateNPCs/Date_Rosa")) f.name = "TemplateNPCs/Zo\xD1\x8F" + f.name.substr(22);
    cyrillic.describeFiles();
    const share::SharedDateOpening refused = openBytes(cyrillic.archive());
    EXPECT_NE(refused.problem.find("\"TemplateNPCs/Zo\xD1\x8F.iff\" has a character that the game's code page"),
              std::string::npos) << refused.problem;
}

TEST(OddPacks, AFolderAPipeOrADeviceIsRefusedAtOnce) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.zip").c_str(), 0600), 0);
    fs::create_directories(dir.file("folder.zip"));
    const std::pair<std::string, const char*> cases[] = {
        {dir.file("pipe.zip"), "pipe"}, {dir.file("folder.zip"), "is a folder"}, {"/dev/null", "device"}};
    for (const auto& [path, problem] : cases)
        EXPECT_NE(share::openSharedDate(path).problem.find(problem), std::string::npos) << path;
}

TEST(OddPacks, APasswordADigestInUpperCaseAndAManifestThatIsNoJsonAreToldPlainly) {
    EXPECT_EQ(openBytes(buildArchive(rosaParts().items(), ArchiveKind::ZipWithPassword)).problem, share::kProtectedPack);
    // A 7z whose one folder is coded with AES (its header written by hand).
    EXPECT_EQ(share::openSharedDate(TRYSTER_TEST_DATA "/protected.7z").problem, share::kProtectedPack);

    PackParts p = rosaParts();
    for (share::PackManifestFile& f : p.manifest.files) {
        std::transform(f.sha256.begin(), f.sha256.end(), f.sha256.begin(), [](char c) { return std::toupper(c); });
        std::replace(f.path.begin(), f.path.end(), '\\', '/');
    }
    EXPECT_TRUE(openBytes(p.archive()).date) << "the same digests and paths";

    std::vector<ArchiveItem> items = rosaParts().items();
    items[0] = ArchiveItem::file("manifest.json", "{\"format\":\n \x1b[31m\xff\x9b");
    EXPECT_EQ(openBytes(buildArchive(items)).problem,
              "the manifest is not valid JSON text (the fault is near line 2, column 2)");
}

TEST(OddPacks, AnEntrysNameIsShownShortAndHarmless) {
    const std::string longName = "GameData/Skins/" + std::string(65000, 'a') + ".bmp";
    const std::string reversed = "GameData/Skins/x\xE2\x80\xAEpmb.exe";  // a right-to-left override
    for (const std::string& name : {longName, reversed}) {
        std::vector<ArchiveItem> items = rosaParts().items();
        items.push_back(ArchiveItem::file(name, "BM"));
        const std::string problem = openBytes(buildArchive(items, ArchiveKind::TarGz)).problem;
        EXPECT_LT(problem.size(), 600u);
        EXPECT_EQ(problem.find("\xE2\x80\xAE"), std::string::npos) << problem;
        EXPECT_TRUE(name == reversed || problem.find("aaa\xE2\x80\xA6\"") != std::string::npos) << problem;
    }
}

}  // namespace
