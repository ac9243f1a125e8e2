#include "resfile/FileProblem.h"

#include "platform/FileSystem.h"
#include "resfile/FileHeaders.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <span>

namespace tryster::resfile {

namespace {

// The longest text shown of a file that holds text.
constexpr std::size_t kShownText = 40;
// Bytes shown of a file that holds something else.
constexpr std::size_t kShownBytes = 8;

bool isTextByte(std::uint8_t c) { return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r' || c == '\n'; }

std::string bytes(std::uint64_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

// The first line of a text, cut to kShownText characters.
std::string firstLine(std::span<const std::uint8_t> head) {
    std::string line;
    for (std::uint8_t c : head) {
        if (c == '\r' || c == '\n') break;
        line += static_cast<char>(c);
    }
    if (line.size() > kShownText) line = line.substr(0, kShownText) + "...";
    return line;
}

std::string hexBytes(std::span<const std::uint8_t> head) {
    std::string out;
    for (std::size_t i = 0; i < head.size() && i < kShownBytes; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", head[i]);
        out += (i ? " " : "") + std::string(hex);
    }
    return out + (head.size() > kShownBytes ? " ..." : "");
}

// "2.5" for a header that matches a container's but for its version digits.
std::string versionOf(const FileHeader& header) { return {static_cast<char>(header[9]), '.', static_cast<char>(header[11])}; }

bool looksLikeHeader(const FileHeader& header) {
    FileHeader as25 = makeHeader25(0);
    as25[9] = header[9];
    as25[11] = header[11];
    return std::equal(header.begin(), header.begin() + 60, as25.begin());
}

}  // namespace

std::string FileProblem::text() const {
    std::string out = file + ": expected " + expected + "; found " + found;
    if (code != kNoError) out += " (" + describeError(code) + ")";
    return out;
}

std::string describeContents(std::string_view path) {
    platform::FileSystem& files = platform::fileSystem();
    if (files.isDirectory(path)) return "a folder";
    std::unique_ptr<platform::File> file = files.open(path, platform::OpenMode::Read);
    if (!file) return files.exists(path) ? "a file that cannot be read" : "nothing there";
    const std::uint64_t size = file->size().value_or(0);
    FileHeader header{};
    const std::size_t got = file->read(header.data(), header.size());
    const std::span<const std::uint8_t> head(header.data(), got);
    if (size == 0) return "an empty file";
    if (std::all_of(head.begin(), head.end(), isTextByte))
        return bytes(size) + " of text: \"" + firstLine(head) + "\"";
    if (got < header.size()) return bytes(size) + ", fewer than a container's 64-byte header";
    if (isHeader10(header)) return "a container file of version 1.0";
    if (headerVersion2(header) != 0) return "a container file of version " + versionOf(header);
    if (looksLikeHeader(header))
        return "a container header of version " + versionOf(header) + ", which is not 2.0, 2.5 or 1.0";
    return bytes(size) + " that do not start as a container does (" + hexBytes(head) + ")";
}

FileProblem openProblem(std::string_view path, std::string_view expected, ResError code) {
    return {std::string(path), std::string(expected), describeContents(path), code};
}

namespace {

// What a damaged container was expected to be.
std::string damageExpected(const ContainerDamage& d) {
    const std::string file = "the file (" + bytes(d.fileSize) + ")";
    switch (d.kind) {
    case ContainerDamage::Kind::None: return {};
    case ContainerDamage::Kind::MapPastEnd: return "its map within " + file;
    case ContainerDamage::Kind::ListedPastEnd: return "its map to list chunks within " + file;
    case ContainerDamage::Kind::ChunkPastEnd:
    case ContainerDamage::Kind::HeaderCut: return "its chunks to end with " + file;
    case ContainerDamage::Kind::BadChunkHeader:
        return "a chunk header at offset " + std::to_string(d.offset) + " of " + file;
    }
    return {};
}

}  // namespace

std::string describeDamage(const ContainerDamage& d) {
    const std::string at = std::to_string(d.offset);
    const std::string lost = ", so nothing from offset " + at + " on can be read";
    switch (d.kind) {
    case ContainerDamage::Kind::None: return {};
    case ContainerDamage::Kind::MapPastEnd:
        return "the map at offset " + at + " past the end, so the file was read chunk by chunk";
    case ContainerDamage::Kind::ListedPastEnd:
        return "a chunk listed at offset " + at + ", past the end, so the file was read chunk by chunk";
    case ContainerDamage::Kind::ChunkPastEnd: return "the chunk at offset " + at + " running past the end" + lost;
    case ContainerDamage::Kind::HeaderCut:
        return "only " + bytes(d.fileSize - d.offset) + " at offset " + at + ", too few for a chunk header" + lost;
    case ContainerDamage::Kind::BadChunkHeader: return "a chunk header whose size cannot be" + lost;
    }
    return {};
}

FileProblem damageProblem(std::string_view path, const ContainerDamage& d) {
    if (!d) return {};
    return {std::string(path), damageExpected(d), "it damaged: " + describeDamage(d), d.code()};
}

}  // namespace tryster::resfile
