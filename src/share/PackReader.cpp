#include "share/PackReader.h"

#include "formats/ArchiveReader.h"
#include "formats/Sha256.h"
#include "share/PackLayout.h"
#include "share/PackLimits.h"
#include "share/ShownText.h"

#include <map>

namespace tryster::share {
namespace {

using formats::ArchiveEntryHeader;
using formats::ArchiveEntryType;
using formats::ArchiveReader;

// Bytes asked of the archive at a time, so the caps are checked often.
constexpr std::size_t kReadChunk = 64 * 1024;

std::uint64_t capFor(PackFileKind kind) {
    switch (kind) {
    case PackFileKind::Manifest: return kMaxManifestBytes;
    case PackFileKind::WebExchange: return kMaxWebExchangeBytes;
    case PackFileKind::Snapshot: return kMaxSnapshotBytes;
    default: return kMaxFileBytes;
    }
}

std::string inQuotes(std::string_view name) { return quotedName(name); }

std::string megabytes(std::uint64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

std::string withAdvice(std::string problem) { return problem + "; " + std::string(kLayoutAdvice); }

// An entry as the archive gave it; a file's bytes read, under the caps
// every file has whatever its name.
struct RawEntry {
    std::string name;
    bool folder = false;
    std::vector<std::uint8_t> bytes;
};

// Reads every entry first: the names are judged together afterwards, as a
// folder shared by all of them can only be seen once all are known.
class ArchiveWalk {
public:
    explicit ArchiveWalk(ArchiveReader& reader) : reader_(reader) {}

    // Reads every entry; false with `problem` set at the first refusal.
    bool run() {
        for (std::size_t count = 0;; ++count) {
            ArchiveEntryHeader header;
            const ArchiveReader::Step step = reader_.next(header);
            if (step == ArchiveReader::Step::End) return true;
            if (step == ArchiveReader::Step::Failed) {
                if (reader_.sawEncryption()) return refuse(std::string(kProtectedPack));
                return refuse("the archive is damaged or not an archive (" + shownText(reader_.message(), 200) + ")");
            }
            if (count >= kMaxArchiveEntries)
                return refuse("the archive has more than " + std::to_string(kMaxArchiveEntries) + " entries");
            if (!take(header)) return false;
        }
    }

    std::string problem;
    std::vector<RawEntry> entries;

private:
    bool refuse(std::string text) {
        problem = std::move(text);
        return false;
    }

    bool take(const ArchiveEntryHeader& header) {
        const std::string entry = "the entry " + inQuotes(header.name);
        if (header.encrypted) return refuse(std::string(kProtectedPack));
        if (header.name.empty()) return refuse("an entry's name cannot be read; the archive is damaged");
        switch (header.type) {
        case ArchiveEntryType::Regular: break;
        case ArchiveEntryType::Directory: entries.push_back({header.name, true, {}}); return true;
        case ArchiveEntryType::Link: return refuse(entry + " is a link; a pack holds only files");
        case ArchiveEntryType::Device: return refuse(entry + " is a device; a pack holds only files");
        case ArchiveEntryType::Other: return refuse(entry + " is not a file; a pack holds only files");
        }
        if (header.declaredSize && *header.declaredSize > kMaxFileBytes)
            return refuse(entry + " is larger than " + std::to_string(kMaxFileBytes >> 10) + " KB");
        RawEntry raw{header.name, false, {}};
        if (!readBytes(entry, raw.bytes)) return false;
        entries.push_back(std::move(raw));
        return true;
    }

    bool readBytes(const std::string& entry, std::vector<std::uint8_t>& bytes) {
        for (;;) {
            const std::optional<std::size_t> n = reader_.readData(bytes, kReadChunk);
            if (!n) {
                if (reader_.sawEncryption()) return refuse(std::string(kProtectedPack));
                return refuse(entry + " cannot be read: the archive is damaged (" + shownText(reader_.message(), 200) +
                              ")");
            }
            if (*n == 0) return true;
            total_ += *n;
            if (bytes.size() > kMaxFileBytes)
                return refuse(entry + " is larger than " + std::to_string(kMaxFileBytes >> 10) + " KB");
            if (total_ > kMaxTotalBytes)
                return refuse("the archive's files come to more than " + megabytes(kMaxTotalBytes));
            if (total_ > kRatioFreeBytes && total_ / kMaxCompressionRatio > reader_.bytesConsumed())
                return refuse("the archive inflates to more than " + std::to_string(kMaxCompressionRatio) +
                              " times its size, as an archive bomb does");
        }
    }

    ArchiveReader& reader_;
    std::uint64_t total_ = 0;
};

// The entries named as the pack's rules name them: litter left out, the
// shared top folder dropped, every name checked and each file under the cap
// of its kind.
class PackNames {
public:
    bool run(std::vector<RawEntry>& entries) {
        std::vector<LayoutEntry> layout;
        for (const RawEntry& e : entries) layout.push_back({e.name, e.folder});
        const std::optional<std::string> top = sharedTopFolder(layout);
        for (RawEntry& e : entries) {
            if (isDesktopLitter(e.name)) {
                if (!e.folder) ignored.push_back(shownText(e.name, kShownNameLength));
                continue;
            }
            const std::string name = packEntryName(e.name, top);
            if (name.empty()) continue;
            if (!(e.folder ? takeFolder(e, name) : takeFile(e, name))) return false;
        }
        return true;
    }

    std::string problem;
    std::optional<std::string> manifestText;
    std::vector<PackFile> files;
    std::vector<std::string> ignored;

private:
    bool refuse(std::string text) {
        problem = std::move(text);
        return false;
    }

    bool takeFolder(const RawEntry& e, const std::string& name) {
        const std::string why = folderProblem(name);
        if (why.empty()) return true;
        const std::string text = "the entry " + inQuotes(e.name) + " " + why;
        return refuse(why == kOutsideFolders ? withAdvice(text) : text);
    }

    bool takeFile(RawEntry& e, const std::string& name) {
        const std::string entry = "the entry " + inQuotes(e.name);
        PackPathCheck check = checkFileName(name);
        if (!check.path) {
            // A name outside the layout is the player's to mend; a name no
            // file may have is the pack's fault.
            const bool layout = check.problem.starts_with("lies outside") || check.problem.starts_with("is not a kind");
            return refuse(layout ? withAdvice(entry + " " + check.problem) : entry + " " + check.problem);
        }
        const std::string key = caseKey(check.path->path);
        if (const auto seen = names_.find(key); seen != names_.end())
            return refuse(seen->second == e.name
                              ? entry + " is in the archive twice"
                              : entry + " and " + inQuotes(seen->second) +
                                    " differ only in letter case, which the game takes for one file");
        names_.emplace(key, e.name);
        if (++fileCount_ > kMaxPackFiles)
            return refuse("the archive holds more than " + std::to_string(kMaxPackFiles) + " files");
        const std::uint64_t cap = capFor(check.path->kind);
        if (e.bytes.size() > cap) return refuse(entry + " is larger than " + std::to_string(cap >> 10) + " KB");

        if (check.path->kind == PackFileKind::Manifest) {
            manifestText = std::string(e.bytes.begin(), e.bytes.end());
            return true;
        }
        PackFile file;
        file.path = std::move(*check.path);
        file.sha256 = formats::sha256Hex(e.bytes);
        file.bytes = std::move(e.bytes);
        files.push_back(std::move(file));
        return true;
    }

    std::map<std::string, std::string> names_;  // case key -> name as given
    std::size_t fileCount_ = 0;
};

// The date files named after the date, one date, one manifest.
std::string layoutProblem(const Pack& pack) {
    std::size_t dates = 0;
    for (const PackFile& f : pack.files) dates += f.path.kind == PackFileKind::Date ? 1 : 0;
    if (dates == 0) return withAdvice("the pack holds no date (a .iff file in TemplateNPCs)");
    if (dates > 1) return "the pack holds more than one date; a pack shares one";
    const std::string base = pack.dateName();
    for (const PackFile& f : pack.files) {
        if (f.path.kind != PackFileKind::WebExchange && f.path.kind != PackFileKind::Snapshot) continue;
        if (&f != pack.webExchange() && &f != pack.headSnapshot() && &f != pack.bodySnapshot()) {
            const std::string shown = shownText(base, kShownNameLength);
            return "the pack's file " + inQuotes(f.path.path) + " is not named after the date " + inQuotes(base) +
                   " (" + shown + std::string(kWebExchangeExtension) + ", " + shown + std::string(kHeadSnapshotSuffix) +
                   ", " + shown + std::string(kBodySnapshotSuffix) + ")";
        }
    }
    return {};
}

// The manifest lists exactly the pack's files, each with its size and
// digest.
std::string manifestProblem(const Pack& pack) {
    std::map<std::string, const PackManifestFile*> listed;
    for (const PackManifestFile& f : pack.manifest.files)
        if (!listed.emplace(caseKey(f.path), &f).second)
            return "the manifest lists " + inQuotes(f.path) + " twice";
    for (const PackFile& f : pack.files) {
        const auto it = listed.find(caseKey(f.path.path));
        if (it == listed.end()) return "the pack's file " + inQuotes(f.path.path) + " is not in its manifest";
        if (it->second->size != f.bytes.size() || it->second->sha256 != f.sha256)
            return "the pack's file " + inQuotes(f.path.path) +
                   " is not the file its manifest describes (its size or SHA-256 digest differs)";
        listed.erase(it);
    }
    if (!listed.empty())
        return "the manifest lists " + inQuotes(listed.begin()->second->path) + ", which the pack does not hold";
    return {};
}

PackReading refused(std::string problem) {
    PackReading out;
    out.problem = std::move(problem);
    return out;
}

}  // namespace

PackReading readPackArchive(std::unique_ptr<platform::File> file) {
    if (!file) return refused("the pack cannot be opened");
    const std::optional<std::uint64_t> size = file->size();
    if (!size) return refused("the pack cannot be read");
    if (*size > kMaxArchiveBytes) return refused("the pack is larger than " + megabytes(kMaxArchiveBytes));
    std::string error;
    std::unique_ptr<ArchiveReader> reader = formats::openArchiveReader(std::move(file), error);
    if (!reader) return refused("the pack is not an archive that can be read (" + shownText(error, 200) + ")");

    ArchiveWalk walk(*reader);
    if (!walk.run()) return refused(walk.problem);
    PackNames names;
    if (!names.run(walk.entries)) return refused(names.problem);
    if (!names.manifestText)
        return refused(withAdvice("the pack has no manifest (" + std::string(kManifestName) + ")"));
    ManifestReading manifest = decodeManifest(*names.manifestText);
    if (!manifest.manifest) return refused(manifest.problem);

    Pack pack;
    pack.manifest = std::move(*manifest.manifest);
    pack.files = std::move(names.files);
    pack.ignored = std::move(names.ignored);
    if (std::string problem = layoutProblem(pack); !problem.empty()) return refused(problem);
    if (std::string problem = manifestProblem(pack); !problem.empty()) return refused(problem);
    PackReading out;
    out.pack = std::move(pack);
    return out;
}

PackReading readPackArchive(std::string_view path) {
    auto& files = platform::fileSystem();
    // Asked before opening: opening a pipe waits for a writer, for ever.
    if (!files.exists(path)) return refused("there is no file " + quotedName(path));
    if (files.isDirectory(path))
        return refused(quotedName(path) + " is a folder; choose the pack's file (.zip, .7z, .rar or .tar)");
    if (!files.isRegularFile(path))
        return refused(quotedName(path) + " is not a file but a pipe, a socket or a device; a pack is read from a file");
    std::unique_ptr<platform::File> file = files.open(path, platform::OpenMode::Read);
    if (!file) return refused("the pack " + quotedName(path) + " cannot be opened");
    return readPackArchive(std::move(file));
}

}  // namespace tryster::share
