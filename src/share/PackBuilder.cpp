#include "share/PackBuilder.h"

#include "exchange/CharacterReading.h"
#include "exchange/SkinFileList.h"
#include "exchange/WebExchange.h"
#include "formats/ZipWriter.h"
#include "platform/FileSystem.h"
#include "platform/GameText.h"
#include "formats/Sha256.h"
#include "share/GameWrites.h"
#include "share/Pack.h"
#include "share/PackContents.h"
#include "share/PackLimits.h"

namespace tryster::share {
namespace {

std::uint64_t capFor(PackFileKind kind) {
    switch (kind) {
    case PackFileKind::WebExchange: return kMaxWebExchangeBytes;
    case PackFileKind::Snapshot: return kMaxSnapshotBytes;
    default: return kMaxFileBytes;
    }
}

// "Male" or "Female" from the web exchange file, else from the date's own
// gender string; empty when neither says.
std::string genderOf(const PackFile* webExchange, const std::string& genderText) {
    std::string gender;
    if (webExchange) {
        const std::string_view text(reinterpret_cast<const char*>(webExchange->bytes.data()), webExchange->bytes.size());
        for (const auto& [key, value] : exchange::parseWebExchangeKeys(text))
            if (platform::equalsNoCase(key, "Gender")) gender = value;
    }
    if (gender.empty()) gender = genderText;
    if (platform::equalsNoCase(gender, "male")) return "Male";
    if (platform::equalsNoCase(gender, "female")) return "Female";
    return {};
}

class Builder {
public:
    explicit Builder(const PackRequest& request) : request_(request) {}

    PackOutcome run() {
        if (!step(kPackingDateStatus) || !addDate() || !addBesideDate() || !step(kPackingSkinsStatus) ||
            !addSkins() || !step(kWritingPackStatus) || !write())
            return std::move(outcome_);
        outcome_.written = true;
        return std::move(outcome_);
    }

private:
    bool step(std::string_view status) {
        if (request_.progress) request_.progress(status);
        return true;
    }

    bool refuse(std::string problem) {
        outcome_.problem = std::move(problem);
        return false;
    }

    // Reads `local` into the pack as `gamePath`; `required` files must be
    // there, others are left out when missing.
    bool add(std::string_view local, const std::string& gamePath, bool required) {
        auto& files = platform::fileSystem();
        if (!files.exists(local)) return !required || refuse(std::string(local) + ": no such file");
        const PackPathCheck check = checkFileName(gamePath);
        if (!check.path) return refuse(std::string(local) + " cannot be shared: its name " + check.problem);
        const std::optional<std::uint64_t> size = files.fileSize(local);
        if (!size || *size > capFor(check.path->kind))
            return refuse(std::string(local) + " cannot be shared: it is larger than a pack may hold");
        total_ += *size;
        if (total_ > kMaxTotalBytes) return refuse("the date's files are larger than a pack may hold");
        if (pack_.files.size() + 1 >= kMaxPackFiles) return refuse("the date has more files than a pack may hold");
        std::optional<std::vector<std::uint8_t>> bytes = platform::readWholeFile(local);
        if (!bytes) return refuse(std::string(local) + " cannot be read");
        PackFile file;
        file.path = *check.path;
        file.sha256 = formats::sha256Hex(*bytes);
        file.bytes = std::move(*bytes);
        if (file.path.kind != PackFileKind::Date)
            if (std::string problem = fileProblem(file); !problem.empty())
                return refuse(std::string(local) + " cannot be shared: it " + problem);
        pack_.files.push_back(std::move(file));
        return true;
    }

    bool addDate() {
        const std::string_view name = platform::namePart(request_.datePath);
        if (name.size() <= kDateExtension.size() ||
            !platform::equalsNoCase(name.substr(name.size() - kDateExtension.size()), kDateExtension))
            return refuse(request_.datePath + " is not a date file (.iff)");
        if (!add(request_.datePath, std::string(kDatesFolder) + "\\" + std::string(name), true)) return false;
        DateCheck check = checkDate(pack_.files.back().bytes);
        if (!check.facts) return refuse(request_.datePath + " " + check.problem);
        facts_ = std::move(*check.facts);
        base_ = std::string(name.substr(0, name.size() - kDateExtension.size()));
        return true;
    }

    bool addBesideDate() {
        const std::string folder(platform::folderPart(request_.datePath));
        for (std::string_view suffix : {kWebExchangeExtension, kHeadSnapshotSuffix, kBodySnapshotSuffix}) {
            const std::string file = base_ + std::string(suffix);
            if (!add(folder + file, std::string(kDatesFolder) + "\\" + file, false)) return false;
        }
        return true;
    }

    bool addSkins() {
        exchange::SkinFileList list;
        exchange::collectSkinFiles(exchange::skinFolderOf(request_.gameFolder), facts_.reading.look->appearance,
                                   list);
        for (const std::string& local : list.entries()) {
            // The name as the game folder spells it, not as the look does.
            const std::string onDisk = platform::resolvePath(local).filename().string();
            const std::string gamePath = std::string(kSkinsFolder) + "\\" + onDisk;
            // The skin list keeps names as each file spells them, so one
            // file may be listed twice in different letter case.
            if (pack_.find(gamePath)) continue;
            if (!add(local, gamePath, true)) return false;
        }
        return true;
    }

    bool write() {
        pack_.manifest.name = platform::fromGameText(facts_.reading.name);
        pack_.manifest.description = platform::fromGameText(facts_.description);
        pack_.manifest.gender = genderOf(pack_.webExchange(), facts_.reading.genderText);
        for (const PackFile& f : pack_.files)
            pack_.manifest.files.push_back({f.path.path, f.bytes.size(), f.sha256});
        const std::string manifest = encodeManifest(pack_.manifest);

        platform::StagedFile staged(request_.outPath);
        std::unique_ptr<platform::File> file = createStaged(staged);
        if (!file) return refuse("cannot write " + request_.outPath);
        std::string error;
        bool ok = false;
        if (std::unique_ptr<formats::ZipWriter> zip = formats::openZipWriter(*file, error)) {
            ok = zip->add(kManifestName, std::span(reinterpret_cast<const std::uint8_t*>(manifest.data()),
                                                   manifest.size()));
            outcome_.files.push_back(std::string(kManifestName));
            for (const PackFile& f : pack_.files) {
                ok = ok && zip->add(archiveName(f.path.path), f.bytes);
                outcome_.files.push_back(f.path.path);
            }
            ok = ok && zip->finish();
            if (!ok) error = zip->message();
        }
        ok = file->flush() && ok;
        file.reset();
        if (ok && staged.commit()) return true;
        outcome_.files.clear();  // the staged file goes with `staged`
        return refuse("cannot write " + request_.outPath + (error.empty() ? std::string() : " (" + error + ")"));
    }

    const PackRequest& request_;
    PackOutcome outcome_;
    Pack pack_;
    DateFacts facts_;
    std::string base_;
    std::uint64_t total_ = 0;
};

}  // namespace

PackOutcome packDate(const PackRequest& request) { return Builder(request).run(); }

}  // namespace tryster::share
