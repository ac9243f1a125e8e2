#include "share/PackReader.h"

#include "formats/ArchiveReader.h"
#include "platform/Sha256.h"
#include "share/PackLimits.h"

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

std::string inQuotes(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7F) {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            out += "\\x";
            out += kDigits[b >> 4];
            out += kDigits[b & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string megabytes(std::uint64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

class ArchiveWalk {
public:
    explicit ArchiveWalk(ArchiveReader& reader) : reader_(reader) {}

    // Reads every entry; false with `problem` set at the first refusal.
    bool run() {
        for (std::size_t count = 0;; ++count) {
            ArchiveEntryHeader header;
            const ArchiveReader::Step step = reader_.next(header);
            if (step == ArchiveReader::Step::End) return true;
            if (step == ArchiveReader::Step::Failed) return refuse("the archive is damaged or not an archive (" +
                                                                   reader_.message() + ")");
            if (count >= kMaxArchiveEntries)
                return refuse("the archive has more than " + std::to_string(kMaxArchiveEntries) + " entries");
            if (!take(header)) return false;
        }
    }

    std::string problem;
    std::optional<std::string> manifestText;
    std::vector<PackFile> files;

private:
    bool refuse(std::string text) {
        problem = std::move(text);
        return false;
    }

    bool take(const ArchiveEntryHeader& header) {
        const std::string entry = "the entry " + inQuotes(header.name);
        switch (header.type) {
        case ArchiveEntryType::Regular: break;
        case ArchiveEntryType::Directory:
            if (isKnownFolder(header.name)) return true;
            return refuse(entry + " is a folder outside the folders a date's files go to");
        case ArchiveEntryType::Link: return refuse(entry + " is a link; a pack holds only files");
        case ArchiveEntryType::Device: return refuse(entry + " is a device; a pack holds only files");
        case ArchiveEntryType::Other: return refuse(entry + " is not a file; a pack holds only files");
        }
        PackPathCheck check = checkFileName(header.name);
        if (!check.path) return refuse(entry + " " + check.problem);
        const std::string key = caseKey(check.path->path);
        if (const auto seen = names_.find(key); seen != names_.end())
            return refuse(seen->second == header.name
                              ? entry + " is in the archive twice"
                              : entry + " and " + inQuotes(seen->second) +
                                    " differ only in letter case, which the game takes for one file");
        names_.emplace(key, header.name);
        if (++fileCount_ > kMaxPackFiles)
            return refuse("the archive holds more than " + std::to_string(kMaxPackFiles) + " files");

        const std::uint64_t cap = capFor(check.path->kind);
        if (header.declaredSize && *header.declaredSize > cap)
            return refuse(entry + " is larger than " + std::to_string(cap >> 10) + " KB");
        std::vector<std::uint8_t> bytes;
        if (!readBytes(entry, cap, bytes)) return false;

        if (check.path->kind == PackFileKind::Manifest) {
            manifestText = std::string(bytes.begin(), bytes.end());
            return true;
        }
        PackFile file;
        file.path = std::move(*check.path);
        file.sha256 = platform::sha256Hex(bytes);
        file.bytes = std::move(bytes);
        files.push_back(std::move(file));
        return true;
    }

    bool readBytes(const std::string& entry, std::uint64_t cap, std::vector<std::uint8_t>& bytes) {
        for (;;) {
            const std::optional<std::size_t> n = reader_.readData(bytes, kReadChunk);
            if (!n) return refuse(entry + " cannot be read: the archive is damaged (" + reader_.message() + ")");
            if (*n == 0) return true;
            total_ += *n;
            if (bytes.size() > cap) return refuse(entry + " is larger than " + std::to_string(cap >> 10) + " KB");
            if (total_ > kMaxTotalBytes)
                return refuse("the archive's files come to more than " + megabytes(kMaxTotalBytes));
            if (total_ > kRatioFreeBytes && total_ / kMaxCompressionRatio > reader_.bytesConsumed())
                return refuse("the archive inflates to more than " + std::to_string(kMaxCompressionRatio) +
                              " times its size, as an archive bomb does");
        }
    }

    ArchiveReader& reader_;
    std::map<std::string, std::string> names_;  // case key -> name as given
    std::size_t fileCount_ = 0;
    std::uint64_t total_ = 0;
};

// The date files named after the date, one date, one manifest.
std::string layoutProblem(const Pack& pack) {
    std::size_t dates = 0;
    for (const PackFile& f : pack.files) dates += f.path.kind == PackFileKind::Date ? 1 : 0;
    if (dates == 0) return "the pack holds no date (a .iff file in TemplateNPCs)";
    if (dates > 1) return "the pack holds more than one date; a pack shares one";
    const std::string base = pack.dateName();
    for (const PackFile& f : pack.files) {
        if (f.path.kind != PackFileKind::WebExchange && f.path.kind != PackFileKind::Snapshot) continue;
        if (&f != pack.webExchange() && &f != pack.headSnapshot() && &f != pack.bodySnapshot())
            return "the pack's file " + inQuotes(f.path.path) + " is not named after the date " + inQuotes(base) +
                   " (" + base + ".srf, " + base + "head.jpg, " + base + "body.jpg)";
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
    if (!reader) return refused("the pack is not an archive that can be read (" + error + ")");

    ArchiveWalk walk(*reader);
    if (!walk.run()) return refused(walk.problem);
    if (!walk.manifestText) return refused("the pack has no manifest (" + std::string(kManifestName) + ")");
    ManifestReading manifest = decodeManifest(*walk.manifestText);
    if (!manifest.manifest) return refused(manifest.problem);

    Pack pack;
    pack.manifest = std::move(*manifest.manifest);
    pack.files = std::move(walk.files);
    if (std::string problem = layoutProblem(pack); !problem.empty()) return refused(problem);
    if (std::string problem = manifestProblem(pack); !problem.empty()) return refused(problem);
    PackReading out;
    out.pack = std::move(pack);
    return out;
}

PackReading readPackArchive(std::string_view path) {
    std::unique_ptr<platform::File> file = platform::fileSystem().open(path, platform::OpenMode::Read);
    if (!file) return refused("the pack cannot be opened");
    return readPackArchive(std::move(file));
}

}  // namespace tryster::share
