// The packs players really make: a folder packed with the usual tools, with
// a desktop's litter beside it, names beyond plain ASCII, and the odd
// things a player may point the reader at instead of a pack.

#include "ShareTestSupport.h"
#include "share/InstallReview.h"
#include "share/Installer.h"
#include "share/PackLayout.h"
#include "share/SharedDate.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tryster;
using namespace tryster::test;
using Type = ArchiveItem::Type;

namespace {

ArchiveItem folder(std::string name) { return {std::move(name), {}, Type::Folder, {}}; }

// Rosa's pack as a tool packs the folder that holds it: `prefix` before
// every name, and a folder entry for each folder.
std::vector<ArchiveItem> packedFolder(const std::string& prefix) {
    std::vector<ArchiveItem> items;
    if (!prefix.empty()) items.push_back(folder(prefix));
    for (const char* f : {"TemplateNPCs/", "GameData/", "GameData/Skins/"}) items.push_back(folder(prefix + f));
    for (ArchiveItem item : rosaParts().items()) {
        item.name = prefix + item.name;
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<ArchiveItem> with(std::vector<ArchiveItem> items, const std::vector<ArchiveItem>& more) {
    items.insert(items.end(), more.begin(), more.end());
    return items;
}

share::SharedDateOpening openBytes(const std::vector<std::uint8_t>& bytes) {
    TempDir dir;
    writeBytes(dir.file("pack"), bytes);
    return share::openSharedDate(dir.file("pack"));
}

struct Layout {
    const char* what;
    std::vector<ArchiveItem> items;
    ArchiveKind kind;
    std::vector<std::string> ignored;
};

TEST(PlayersPacks, TheUsualToolsLayoutsOpenAndTheirLitterIsLeftOutAndTold) {
    const std::vector<Layout> cases = {
        {"tar -czf x.tar.gz -C folder .", packedFolder("./"), ArchiveKind::TarGz, {}},
        {"a zipped folder", packedFolder("Rosa/"), ArchiveKind::Zip, {}},
        {"a folder tarred from its parent with ./", packedFolder("./Rosa/"), ArchiveKind::TarXz, {}},
        {"a folder in a 7z", packedFolder("Rosa Marsh/"), ArchiveKind::SevenZip, {}},
        {"a folder zipped on a Mac",
         with(packedFolder("Rosa/"), {folder("__MACOSX/"), folder("__MACOSX/Rosa/"),
                                      ArchiveItem::file("__MACOSX/Rosa/._manifest.json", "resource fork"),
                                      ArchiveItem::file("Rosa/.DS_Store", "Bud1")}),
         ArchiveKind::Zip,
         {"\"__MACOSX/Rosa/._manifest.json\"", "\"Rosa/.DS_Store\""}},
        {"a Windows folder's litter",
         with(rosaParts().items(), {ArchiveItem::file("Thumbs.db", "thumbs"),
                                    ArchiveItem::file("GameData/Skins/desktop.ini", "[.ShellClassInfo]"),
                                    ArchiveItem::file("TemplateNPCs/._Date_Rosa.iff", "fork")}),
         ArchiveKind::Zip,
         {"\"Thumbs.db\"", "\"GameData/Skins/desktop.ini\"", "\"TemplateNPCs/._Date_Rosa.iff\""}},
    };
    for (const Layout& c : cases) {
        SCOPED_TRACE(c.what);
        const share::SharedDateOpening opened = openBytes(buildArchive(c.items, c.kind));
        ASSERT_TRUE(opened.date) << opened.problem;
        EXPECT_EQ(opened.date->pack.dateName(), "Date_Rosa");
        EXPECT_EQ(opened.date->pack.files.size(), rosaParts().files.size());
        std::vector<std::string> ignored;
        for (const std::string& name : opened.date->pack.ignored) ignored.push_back("\"" + name + "\"");
        EXPECT_EQ(ignored, c.ignored);
        const std::string notice = share::ignoredNotice(*opened.date);
        EXPECT_EQ(notice.empty(), c.ignored.empty()) << notice;
        if (!c.ignored.empty()) {
            EXPECT_NE(notice.find(c.ignored.front().substr(1, 8)), std::string::npos) << notice;
        }
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
        {"two folders", with(packedFolder("Rosa/"), {ArchiveItem::file("Other/x.txt", "x")}), "outside the folders", true},
        {"no date", {rosaParts().items().front()}, "holds no date", true},
        // A folder that is a way up is never taken for a player's folder.
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

// Rosa's pack with her date's files named `name` instead.
PackParts renamedDate(const std::string& name) {
    PackParts p = rosaParts();
    for (ArchiveItem& f : p.files)
        if (f.name.starts_with("TemplateNPCs/Date_Rosa")) f.name = "TemplateNPCs/" + name + f.name.substr(22);
    p.describeFiles();
    return p;
}

// The general-purpose flags of the zip's entry `name`: bit 11 says the name
// is UTF-8.
std::optional<std::uint16_t> zipFlagsOf(const std::vector<std::uint8_t>& zip, const std::string& name) {
    for (std::size_t at = 0; at + 30 < zip.size(); ++at) {
        if (zip[at] != 'P' || zip[at + 1] != 'K' || zip[at + 2] != 3 || zip[at + 3] != 4) continue;
        const std::size_t length = zip[at + 26] | zip[at + 27] << 8;
        if (at + 30 + length <= zip.size() && std::string(zip.begin() + at + 30, zip.begin() + at + 30 + length) == name)
            return static_cast<std::uint16_t>(zip[at + 6] | zip[at + 7] << 8);
    }
    return std::nullopt;
}

TEST(PackNames, ADateNamedInTheGamesEuropeanLettersIsSharedAndInstalled) {
    GameFolder source({}, rosaSkins());
    const std::string zoe = "Zo\xC3\xAB";  // "Zoë", as file names are written here
    fs::copy_file(demoGame() + "/TemplateNPCs/Date_Rosa.iff", source.file("TemplateNPCs/" + zoe + ".iff"));
    TempDir dir;
    const std::vector<std::string> packed = pack(source.path(), source.file("TemplateNPCs/" + zoe + ".iff"), dir.file("z.zip"));
    ASSERT_EQ(packed.size(), rosaSkins().size() + 2);
    const std::optional<std::uint16_t> flags = zipFlagsOf(fileBytes(dir.file("z.zip")), "TemplateNPCs/" + zoe + ".iff");
    ASSERT_TRUE(flags);
    EXPECT_TRUE(*flags & 0x800) << "the name is flagged as UTF-8";

    const share::SharedDateOpening opened = share::openSharedDate(dir.file("z.zip"));
    ASSERT_TRUE(opened.date) << opened.problem;
    EXPECT_EQ(opened.date->pack.dateName(), zoe);
    GameFolder game({"Date_Rosa.iff"});
    const share::InstallPlan plan = share::planInstall(*opened.date, game.path(), {});
    ASSERT_TRUE(plan.ok()) << plan.problem;
    ASSERT_TRUE(share::installSharedDate(*opened.date, plan).installed);
    EXPECT_TRUE(fs::exists(game.file("TemplateNPCs/" + zoe + ".iff")));

    // A name the game's code page cannot hold is refused, and shown.
    const std::string cyrillic = "Zo\xD1\x8F";  // "Zoя"
    const share::SharedDateOpening refused = openBytes(renamedDate(cyrillic).archive());
    ASSERT_FALSE(refused.date);
    EXPECT_NE(refused.problem.find("\"TemplateNPCs/" + cyrillic + ".iff\""), std::string::npos) << refused.problem;
    EXPECT_NE(refused.problem.find("code page"), std::string::npos) << refused.problem;
}

TEST(PackNames, TheGamesPlatformsDeviceNamesAreRefusedForSkinsAndDates) {
    for (const char* skin : {"CON.bmp", "nul.bmp", "COM1.bmp", "LPT1.cmx"}) {
        SCOPED_TRACE(skin);
        PackParts p = rosaParts();
        p.files.push_back(ArchiveItem::file(std::string("GameData/Skins/") + skin, p.file("GameData/Skins/B006FAFitmed_dots.bmp").bytes));
        p.describeFiles();
        const share::SharedDateOpening opened = openBytes(p.archive());
        EXPECT_FALSE(opened.date);
        EXPECT_NE(opened.problem.find("name of a device"), std::string::npos) << opened.problem;
    }
    for (const char* date : {"nul", "CON"}) {
        SCOPED_TRACE(date);
        const share::SharedDateOpening opened = openBytes(renamedDate(date).archive());
        EXPECT_FALSE(opened.date);
        EXPECT_NE(opened.problem.find("name of a device"), std::string::npos) << opened.problem;
    }
}

TEST(OddPacks, AFolderAPipeOrADeviceIsRefusedAtOnce) {
    TempDir dir;
    const std::string pipe = dir.file("pipe.zip");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directories(dir.file("folder.zip"));
    const struct {
        std::string path;
        const char* problem;
    } cases[] = {
        {pipe, "pipe"}, {dir.file("folder.zip"), "is a folder"}, {"/dev/null", "device"}, {dir.file("none.zip"), "no file"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const share::SharedDateOpening opened = share::openSharedDate(c.path);
        EXPECT_FALSE(opened.date);
        EXPECT_NE(opened.problem.find(c.problem), std::string::npos) << opened.problem;
    }
}

TEST(OddPacks, APasswordIsToldAsSuchNotAsDamage) {
    const share::SharedDateOpening opened = openBytes(buildArchive(rosaParts().items(), ArchiveKind::ZipWithPassword));
    ASSERT_FALSE(opened.date);
    EXPECT_EQ(opened.problem, share::kProtectedPack);
}

TEST(OddPacks, DigestsInUpperCaseAndPathsWithSlashesAreTheSame) {
    PackParts p = rosaParts();
    for (share::PackManifestFile& f : p.manifest.files) {
        for (char& c : f.sha256) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : f.path)
            if (c == '\\') c = '/';
    }
    const share::SharedDateOpening opened = openBytes(p.archive());
    ASSERT_TRUE(opened.date) << opened.problem;
    EXPECT_EQ(opened.date->pack.manifest.files.front().path.find('/'), std::string::npos);
}

TEST(OddPacks, AManifestThatIsNoJsonIsToldPlainly) {
    std::vector<ArchiveItem> items = rosaParts().items();
    items[0] = ArchiveItem::file("manifest.json", "{\"format\":\n \x1b[31m\xff\x9b");
    const share::SharedDateOpening opened = openBytes(buildArchive(items));
    ASSERT_FALSE(opened.date);
    EXPECT_EQ(opened.problem, "the manifest is not valid JSON text (the fault is near line 2, column 2)");
}

TEST(OddPacks, AnEntrysNameIsShownShortAndHarmless) {
    const std::string longName = "GameData/Skins/" + std::string(65000, 'a') + ".bmp";
    const std::string reversed = "GameData/Skins/x\xE2\x80\xAEpmb.exe";  // a right-to-left override
    for (const std::string& name : {longName, reversed}) {
        const share::SharedDateOpening opened =
            openBytes(buildArchive(with(rosaParts().items(), {ArchiveItem::file(name, "BM")}), ArchiveKind::TarGz));
        ASSERT_FALSE(opened.date);
        EXPECT_LT(opened.problem.size(), 600u) << opened.problem;
        EXPECT_EQ(opened.problem.find("\xE2\x80\xAE"), std::string::npos) << opened.problem;
    }
    const share::SharedDateOpening opened = openBytes(
        buildArchive(with(rosaParts().items(), {ArchiveItem::file(longName, "BM")}), ArchiveKind::TarGz));
    EXPECT_NE(opened.problem.find("aaa\xE2\x80\xA6\""), std::string::npos) << "cut with an ellipsis";
}

}  // namespace
