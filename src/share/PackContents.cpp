#include "share/PackContents.h"

#include "anim/CharacterFile.h"
#include "anim/SkinMeshFile.h"
#include "exchange/AppearanceStrings.h"
#include "exchange/CatalogName.h"
#include "exchange/ObjectDefinition.h"
#include "formats/ImageDecoder.h"
#include "formats/JpegImage.h"
#include "platform/MemoryFile.h"
#include "platform/TextNoCase.h"
#include "resfile/IFFResFile2.h"
#include "share/PackLimits.h"

#include <algorithm>

namespace tryster::share {
namespace {

using namespace resfile;

// Names the date to the container library; nothing is opened by it.
constexpr std::string_view kDateInMemory = "shared-date.iff";

bool endsWithNoCase(std::string_view name, std::string_view extension) {
    return name.size() >= extension.size() &&
           platform::equalsNoCase(name.substr(name.size() - extension.size()), extension);
}

std::string typeText(ResType type) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<char>((type >> shift) & 0xFF);
        out += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return out;
}

// Every resource of the file loads; the first one that does not, named.
std::string unreadableResource(IFFResFile2& file) {
    const std::int16_t types = file.CountTypes();
    for (std::int16_t t = 1; t <= types; ++t) {
        const ResType type = file.GetIndType(t);
        const std::int16_t count = file.CountResources(type);
        for (std::int16_t i = 1; i <= count; ++i) {
            DataHandle handle = file.GetIndResource(type, i, nullptr);
            if (!handle) return "its resource '" + typeText(type) + "' number " + std::to_string(i) + " cannot be read";
            (void)ReleaseAndDispose(file, handle);  // only read: nothing to write back
        }
    }
    return {};
}

// The identifiers of every object definition; none when one is not whole.
std::optional<std::vector<std::uint32_t>> identifiersOf(IFFResFile2& file) {
    std::vector<std::uint32_t> out;
    for (const exchange::ObjectDefinitionRead& definition : exchange::readObjectDefinitions(file)) {
        if (!definition.whole) return std::nullopt;
        out.push_back(*definition.identifier);
    }
    return out;
}

std::string skinProblem(const PackFile& file) {
    const std::string_view name = file.path.fileName();
    const std::span<const std::uint8_t> bytes(file.bytes);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    switch (file.path.kind) {
    case PackFileKind::CharacterFile: {
        anim::CharacterFileContents contents;
        const anim::FormatStatus status = endsWithNoCase(name, ".cmx") ? anim::readCharacterText(text, contents)
                                                                       : anim::readCharacterBinary(bytes, contents);
        if (!status.ok) return "is not a character file the game can read (" + status.message + ")";
        return {};
    }
    case PackFileKind::SkinMesh: {
        anim::Ref<anim::SkinMesh> mesh;
        const anim::FormatStatus status = endsWithNoCase(name, ".skn") ? anim::readSkinMeshText(text, mesh)
                                                                       : anim::readSkinMeshBinary(bytes, mesh);
        if (!status.ok) return "is not a mesh the game can read (" + status.message + ")";
        return {};
    }
    case PackFileKind::Texture: {
        formats::DecodedImage image;
        if (!formats::decodeBmp(bytes, image)) return "is not a picture the game can read (a BMP file)";
        return {};
    }
    default: return {};
    }
}

}  // namespace

DateCheck checkDate(std::span<const std::uint8_t> bytes) {
    DateCheck out;
    IFFResFile2 file;
    file.setOpenReadOnly(true);
    file.openNextFrom(platform::MemoryFile::reading(bytes));
    if (file.Open(kDateInMemory) != kNoError) {
        out.problem = "is not a character file of the game (no container of version 2)";
        return out;
    }
    DateFacts facts;
    if (std::string problem = unreadableResource(file); !problem.empty()) {
        out.problem = "is damaged: " + problem;
    } else if (std::optional<std::vector<std::uint32_t>> ids = identifiersOf(file); !ids || ids->empty()) {
        out.problem = "is not a character: it has no object definition that holds an identifier";
    } else {
        facts.identifiers = std::move(*ids);
        facts.reading = exchange::readCharacter(file);
        exchange::CatalogName catalog;
        if (catalog.load(file, exchange::kCatalogNameId) == kNoError) facts.description = catalog.description;
        if (!facts.reading.look) out.problem = "is not a character: it has no appearance strings (string list 200)";
    }
    (void)file.Close();  // only read: nothing to write
    if (out.problem.empty()) out.facts = std::move(facts);
    return out;
}

std::string fileProblem(const PackFile& file) {
    switch (file.path.kind) {
    case PackFileKind::Date: return checkDate(file.bytes).problem;
    case PackFileKind::WebExchange:
        if (std::find(file.bytes.begin(), file.bytes.end(), std::uint8_t{0}) != file.bytes.end())
            return "is not a web exchange file (it is not text)";
        return {};
    case PackFileKind::Snapshot: {
        formats::JpegPicture picture;
        if (!formats::decodeJpeg(file.bytes, kMaxSnapshotSide, picture))
            return "is not a JPEG picture of at most " + std::to_string(kMaxSnapshotSide) + " pixels a side";
        return {};
    }
    case PackFileKind::Manifest: return {};
    default: return skinProblem(file);
    }
}

std::string checkPackContents(const Pack& pack, DateFacts& facts) {
    DateCheck date = checkDate(pack.date().bytes);
    if (!date.facts) return "the date " + pack.date().path.path + " " + date.problem;
    facts = std::move(*date.facts);
    for (const PackFile& file : pack.files) {
        if (file.path.kind == PackFileKind::Date) continue;
        if (std::string problem = fileProblem(file); !problem.empty()) return "the file " + file.path.path + " " + problem;
    }
    return {};
}

}  // namespace tryster::share
