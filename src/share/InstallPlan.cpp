#include "share/InstallPlan.h"

#include "exchange/FileBackup.h"
#include "platform/FileSystem.h"
#include "platform/GameText.h"
#include "platform/TextNoCase.h"
#include "share/FileDigest.h"
#include "share/Journal.h"
#include "share/ShownText.h"
#include "formats/Sha256.h"

#include <algorithm>

namespace tryster::share {
namespace {

// Backup names tried per file before giving up (as the program's other
// backups: "<file>.bak", "<file>.2.bak", ...).
constexpr int kMaxBackupNumber = 9999;

// The last install not taken back that lists `path` (the layer on top).
const ChangedFile* topEntry(const History& history, std::string_view path, std::string& owner) {
    for (auto r = history.entries.rbegin(); r != history.entries.rend(); ++r) {
        if (r->kind != ChangeKind::Installed || !r->undoable()) continue;
        if (const ChangedFile* f = r->find(path)) {
            owner = r->date;
            return f;
        }
    }
    return nullptr;
}

std::string freeBackupName(std::string_view gameFolder, std::string_view path) {
    auto& files = platform::fileSystem();
    for (int n = 1; n <= kMaxBackupNumber; ++n) {
        std::string candidate = exchange::backupPath(path, n);
        if (!files.exists(localPath(gameFolder, candidate))) return candidate;
    }
    return {};
}

bool isDateFile(PackFileKind kind) {
    return kind == PackFileKind::Date || kind == PackFileKind::WebExchange || kind == PackFileKind::Snapshot;
}

// Skins first in pack order, then the web exchange file and snapshots, the
// date last: the game never finds the date before what it wears.
int installOrder(PackFileKind kind) {
    if (isSkin(kind)) return 0;
    return kind == PackFileKind::Date ? 2 : 1;
}

class Planner {
public:
    Planner(const SharedDate& shared, std::string_view gameFolder, const InstallOptions& options)
        : shared_(shared), options_(options) {
        plan_.gameFolder = gameFolder;
        plan_.dateName = shared.pack.dateName();
    }

    InstallPlan run() {
        if (!checkFolder() || !readHistory()) return std::move(plan_);
        std::vector<const PackFile*> order;
        for (const PackFile& f : shared_.pack.files) order.push_back(&f);
        std::stable_sort(order.begin(), order.end(), [](const PackFile* a, const PackFile* b) {
            return installOrder(a->path.kind) < installOrder(b->path.kind);
        });
        for (const PackFile* f : order)
            if (!planFile(*f)) return std::move(plan_);
        if (!giveFreshIdentifiers()) return std::move(plan_);
        findMissingSkins();
        return std::move(plan_);
    }

private:
    bool refuse(std::string problem) {
        plan_.problem = std::move(problem);
        return false;
    }

    bool checkFolder() {
        auto& files = platform::fileSystem();
        if (std::string problem = gameFolderProblem(plan_.gameFolder); !problem.empty()) return refuse(problem);
        if (files.exists(journalPath(plan_.gameFolder)))
            return refuse("an earlier change in " + plan_.gameFolder + " was interrupted and must be finished first");
        return true;
    }

    bool readHistory() {
        HistoryReading reading = loadHistory(plan_.gameFolder);
        if (!reading.history) return refuse(reading.problem);
        plan_.history = std::move(*reading.history);
        if (const HistoryEntry* r = installedDate(plan_.history, plan_.dateName))
            return refuse("the date " + r->date + " is already installed" +
                          (r->pack.empty() ? std::string() : " (from " + r->pack + ")") + "; uninstall it first");
        return true;
    }

    bool planFile(const PackFile& f) {
        PlannedFile p;
        p.path = f.path.path;
        p.kind = f.path.kind;
        p.sha256 = f.sha256;
        const std::string local = localPath(plan_.gameFolder, p.path);
        if (platform::fileSystem().exists(local)) {
            std::optional<std::string> digest = fileDigest(local);
            if (!digest) return refuse(p.path + " is in the game folder but cannot be read");
            p.existingSha256 = std::move(*digest);
            std::string owner;
            const ChangedFile* top = topEntry(plan_.history, p.path, owner);
            if (top && top->sha256 == p.existingSha256) p.owner = owner;
        }
        if (p.existingSha256.empty()) {
            p.action = FileAction::Write;
        } else if (isDateFile(p.kind)) {
            return refuse(p.path + " is already in the game folder" +
                          (p.existingSha256 == p.sha256 ? std::string() : std::string(" and is another file")) +
                          ": a date of this name must be removed or renamed first");
        } else if (p.existingSha256 == p.sha256) {
            p.action = p.owner.empty() ? FileAction::Skip : FileAction::Share;
        } else if (options_.replaces(p.path)) {
            p.action = FileAction::Replace;
            p.backup = freeBackupName(plan_.gameFolder, p.path);
            if (p.backup.empty()) return refuse("no backup name is free for " + p.path);
        } else {
            p.action = FileAction::Keep;
        }
        plan_.files.push_back(std::move(p));
        return true;
    }

    bool giveFreshIdentifiers() {
        const PackFile& date = shared_.pack.date();
        const std::optional<std::vector<IdentifierChange>> changes =
            freshIdentifiers(shared_.facts.identifiers, takenIdentifiers(plan_.gameFolder));
        if (!changes) return refuse("no fresh object identifier could be found for the date");
        std::optional<std::vector<std::uint8_t>> bytes = withIdentifiers(date.bytes, *changes);
        if (!bytes) return refuse("the date " + date.path.path + " could not be given a fresh object identifier");
        plan_.identifierChanges = *changes;
        plan_.dateBytes = std::move(*bytes);
        for (PlannedFile& p : plan_.files)
            if (p.kind == PackFileKind::Date) p.sha256 = formats::sha256Hex(plan_.dateBytes);
        return true;
    }

    void findMissingSkins() {
        if (!shared_.facts.reading.look) return;
        const Appearance& look = shared_.facts.reading.look->appearance;
        const std::pair<const std::string*, std::string_view> wanted[] = {
            {&look.bodyMesh, ".cmx"}, {&look.bodyTexture, ".bmp"}, {&look.headMesh, ".cmx"}, {&look.headTexture, ".bmp"}};
        for (const auto& [name, extension] : wanted) {
            if (name->empty()) continue;
            // The look names skins in the game's code page; files are named here in UTF-8.
            const std::string path =
                std::string(kSkinsFolder) + "\\" + platform::fileNameOfGameName(*name) + std::string(extension);
            if (shared_.pack.find(path) || platform::fileSystem().exists(localPath(plan_.gameFolder, path))) continue;
            plan_.missingSkins.push_back(path);
        }
    }

    const SharedDate& shared_;
    const InstallOptions& options_;
    InstallPlan plan_;
};

}  // namespace

std::string gameFolderProblem(std::string_view gameFolder) {
    auto& files = platform::fileSystem();
    if (!files.isDirectory(gameFolder)) return quotedName(gameFolder) + " is not a folder";
    if (!files.isDirectory(localPath(gameFolder, kDatesFolder)) || !files.isDirectory(localPath(gameFolder, kSkinsFolder)))
        return quotedName(gameFolder) + " is not the game's folder: it has no " + std::string(kDatesFolder) + " or " +
               std::string(kSkinsFolder) + " folder";
    return {};
}

bool InstallOptions::replaces(std::string_view path) const {
    if (replaceSkins) return true;
    return std::any_of(replacePaths.begin(), replacePaths.end(),
                       [&](const std::string& p) { return platform::equalsNoCase(p, path); });
}

std::vector<const PlannedFile*> InstallPlan::conflicts() const {
    std::vector<const PlannedFile*> out;
    for (const PlannedFile& f : files)
        if (f.action == FileAction::Replace || f.action == FileAction::Keep) out.push_back(&f);
    return out;
}

InstallPlan planInstall(const SharedDate& shared, std::string_view gameFolder, const InstallOptions& options) {
    return Planner(shared, gameFolder, options).run();
}

}  // namespace tryster::share
