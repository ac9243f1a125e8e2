#pragma once
// Shared by the sharing tests: game folders made from the demo folder,
// their files as a whole for byte-for-byte comparison, and packs taken
// apart into their files and manifest so a test can break one thing.

#include "ArchiveBuilder.h"
#include "demoworld/DemoFolder.h"
#include "share/Installer.h"
#include "share/PackBuilder.h"
#include "share/PackReader.h"
#include "share/SharedDate.h"
#include "formats/Sha256.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace tryster::test {

namespace fs = std::filesystem;

inline std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Every file under a folder (relative path with '/') and its bytes.
using FolderState = std::map<std::string, std::vector<std::uint8_t>>;

inline FolderState folderState(const std::string& folder) {
    FolderState state;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file()) state[fs::relative(e.path(), folder).generic_string()] = fileBytes(e.path());
    return state;
}

// The names of a state that differ from another's.
inline std::vector<std::string> differences(const FolderState& a, const FolderState& b) {
    std::vector<std::string> out;
    for (const auto& [name, bytes] : a)
        if (!b.count(name) || b.at(name) != bytes) out.push_back(name);
    for (const auto& [name, bytes] : b)
        if (!a.count(name)) out.push_back(name);
    return out;
}

// A small game folder: the demo's dates but `without` ones, and of its
// skins only `skins` (names in GameData/Skins).
class GameFolder {
public:
    explicit GameFolder(const std::vector<std::string>& withoutDates = {}, const std::vector<std::string>& skins = {}) {
        folder_ = dir_.file("game");
        fs::create_directories(fs::path(folder_) / "GameData/Skins");
        fs::copy(fs::path(demoFolder()) / "TemplateNPCs", fs::path(folder_) / "TemplateNPCs");
        for (const std::string& date : withoutDates) fs::remove(fs::path(folder_) / "TemplateNPCs" / date);
        for (const std::string& skin : skins)
            fs::copy_file(fs::path(demoFolder()) / "GameData/Skins" / skin, file("GameData/Skins/" + skin));
    }
    const std::string& path() const { return folder_; }
    std::string file(const std::string& relative) const { return (fs::path(folder_) / relative).string(); }
    FolderState state() const { return folderState(folder_); }

private:
    TempDir dir_;
    std::string folder_;
};

// Rosa's look in the demo folder: these are the skins her pack carries.
inline const std::vector<std::string>& rosaSkins() {
    static const std::vector<std::string> skins = {
        "b006fafit_01.cmx", "xskin-b006fafit_01-BODY.skn", "B006FAFitmed_dots.bmp", "B006FAFitlgt_dots.bmp",
        "c021fa_long.cmx",  "xskin-c021fa_long-HEAD-HEAD.skn", "C021famed_blnd.bmp", "C021falgt_blnd.bmp"};
    return skins;
}

// Packs a date of `game` into `out`; the pack's files in archive order.
inline std::vector<std::string> pack(const std::string& game, const std::string& datePath, const std::string& out) {
    share::PackOutcome outcome = share::packDate({datePath, game, out, {}});
    EXPECT_TRUE(outcome.written) << outcome.problem;
    return outcome.files;
}

// A pack taken apart: its manifest and files, to break one thing and build
// it again.
struct PackParts {
    share::PackManifest manifest;
    std::vector<ArchiveItem> files;  // archive names ('/')

    ArchiveItem& file(const std::string& archiveName) {
        for (ArchiveItem& f : files)
            if (f.name == archiveName) return f;
        throw std::runtime_error("no such file in the pack: " + archiveName);
    }
    // The manifest's list made from the files as they are now.
    void describeFiles() {
        manifest.files.clear();
        for (const ArchiveItem& f : files) {
            std::string path = f.name;
            for (char& c : path)
                if (c == '/') c = '\\';
            manifest.files.push_back({path, f.bytes.size(), formats::sha256Hex(f.bytes)});
        }
    }
    std::vector<ArchiveItem> items() const {
        std::vector<ArchiveItem> out = {ArchiveItem::file("manifest.json", share::encodeManifest(manifest))};
        out.insert(out.end(), files.begin(), files.end());
        return out;
    }
    std::vector<std::uint8_t> archive(ArchiveKind kind = ArchiveKind::Zip) const { return buildArchive(items(), kind); }
};

// Rosa's pack from the demo folder, taken apart (made once).
inline const PackParts& rosaParts() {
    static const PackParts parts = [] {
        TempDir dir;
        pack(demoFolder(), demoFolder() + "/TemplateNPCs/Date_Rosa.iff", dir.file("rosa.zip"));
        share::PackReading reading = share::readPackArchive(dir.file("rosa.zip"));
        EXPECT_TRUE(reading.pack) << reading.problem;
        PackParts p;
        if (!reading.pack) return p;
        p.manifest = reading.pack->manifest;
        for (const share::PackFile& f : reading.pack->files)
            p.files.push_back(ArchiveItem::file(share::archiveName(f.path.path), f.bytes));
        return p;
    }();
    return parts;
}

// Rosa's pack without its two large meshes, for tests that install it once
// for every step that can fail: the steps are the same, the bytes fewer.
inline const PackParts& lightRosaParts() {
    static const PackParts parts = [] {
        PackParts p = rosaParts();
        std::erase_if(p.files, [](const ArchiveItem& f) { return f.name.ends_with(".skn"); });
        p.describeFiles();
        return p;
    }();
    return parts;
}

// Installs the pack at `archive` into `game`, which must take it.
inline share::InstallOutcome installPack(const std::string& archive, const std::string& game,
                                         const share::InstallOptions& options = {}) {
    const share::SharedDateOpening opened = share::openSharedDate(archive);
    EXPECT_TRUE(opened.date) << opened.problem;
    if (!opened.date) return {};
    const share::InstallPlan plan = share::planInstall(*opened.date, game, options);
    EXPECT_TRUE(plan.ok()) << plan.problem;
    share::InstallOutcome outcome = share::installSharedDate(*opened.date, plan);
    EXPECT_TRUE(outcome.installed) << outcome.problem;
    return outcome;
}

}  // namespace tryster::test
