// Shared dates from strangers: any bytes as a pack archive (zip, 7z, tar
// and its compressions, rar), its entries laid out as players pack a folder
// (a shared top folder, "./" steps and a desktop's litter, UTF-8 names and
// password protection among the seeds). A pack that reads must hold
// exactly the files its manifest describes, each with its digest, under
// names the rules allow, with its litter left apart; a pack whose files all
// check out is installed into a game folder in memory and taken back, which
// must leave the folder as it began (its history aside), whether the install succeeded or met a
// full disk. No data handle outlives a run.

#include "ResFileFuzzSupport.h"
#include "platform/MemoryFile.h"
#include "resfile/DataHandle.h"
#include "share/Installer.h"
#include "share/PackLimits.h"
#include "share/PackReader.h"
#include "formats/Sha256.h"
#include "share/Undo.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

using namespace tryster;

namespace {

constexpr const char* kGame = "game";

void checkRead(const share::Pack& pack) {
    if (pack.manifest.files.size() != pack.files.size()) std::abort();
    if (pack.ignored.size() > share::kMaxArchiveEntries) std::abort();
    for (const share::PackFile& f : pack.files) {
        if (formats::sha256Hex(f.bytes) != f.sha256) std::abort();
        const share::PackPathCheck again = share::checkFileName(f.path.path);
        if (!again.path || again.path->path != f.path.path) std::abort();
    }
}

void installAndTakeBack(share::Pack pack, share::DateFacts facts) {
    test::MemoryFileSystem& files = fuzz::memoryFiles();
    files.put("game/TemplateNPCs/Other.iff", std::vector<std::uint8_t>{});
    files.put("game/GameData/Skins/mine.bmp", std::vector<std::uint8_t>{'B', 'M'});
    const auto before = files.snapshot();

    share::SharedDate shared{"pack.zip", std::move(pack), std::move(facts)};
    share::InstallOptions options;
    options.replaceSkins = true;
    const share::InstallPlan plan = share::planInstall(shared, kGame, options);
    if (!plan.ok()) return;
    const share::InstallOutcome installed = share::installSharedDate(shared, plan);
    if (installed.installed) {
        const share::UndoOutcome removed = share::undoChange(kGame, installed.id, false);
        if (!removed.done) std::abort();
    } else if (installed.leftForRecovery) {
        std::abort();  // only a failing disk leaves work for the next run; this one fails writes alone
    }
    // The history stays: it lists the install and its undo (the memory
    // files keep names as the game's case-blind folders compare them).
    const std::string history = std::string(kGame) + "/" + std::string(share::kHistoryFileName);
    auto after = files.snapshot();
    std::erase_if(after, [&](const auto& file) {
        return std::equal(file.first.begin(), file.first.end(), history.begin(), history.end(),
                          [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                      std::tolower(static_cast<unsigned char>(b)); });
    });
    if (after != before) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::memoryFiles().clear();
    const std::size_t handles = resfile::liveHandleCount();
    share::PackReading reading =
        share::readPackArchive(platform::MemoryFile::reading(std::span<const std::uint8_t>(data, size)));
    if (!reading.pack) {
        if (reading.problem.empty()) std::abort();
    } else {
        checkRead(*reading.pack);
        share::DateFacts facts;
        if (share::checkPackContents(*reading.pack, facts).empty())
            installAndTakeBack(std::move(*reading.pack), std::move(facts));
    }
    if (resfile::liveHandleCount() != handles) std::abort();
    return 0;
}
