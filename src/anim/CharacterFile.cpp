#include "anim/CharacterFile.h"

#include "anim/AssetWriters.h"
#include "anim/BinaryAssetReader.h"
#include "anim/CharacterRecords.h"
#include "anim/TextAssetReader.h"

namespace tryster::anim {
namespace {

// The text file's first two lines are ignored on reading.
constexpr const char* kTextHeader = "// Character file written by Tryster";
constexpr const char* kTextVersion = "version 1";

}  // namespace

FormatStatus readCharacterText(std::string_view text, CharacterFileContents& out) {
    TextAssetReader in(text);
    if (!in.skipLine() || !in.skipLine()) return FormatStatus::failure(in.position(), "no header lines");
    return records::readSections(in, out);
}

FormatStatus readCharacterBinary(std::span<const std::uint8_t> bytes, CharacterFileContents& out) {
    BinaryAssetReader in(bytes);
    return records::readSections(in, out);
}

FormatStatus writeCharacterText(const CharacterFileContents& contents, std::string& out) {
    TextAssetWriter w;
    w.raw(kTextHeader);
    w.raw(kTextVersion);
    FormatStatus s = records::writeSections(w, contents);
    if (s.ok) out = std::move(w.text());
    return s;
}

FormatStatus writeCharacterBinary(const CharacterFileContents& contents, std::vector<std::uint8_t>& out) {
    BinaryAssetWriter w;
    FormatStatus s = records::writeSections(w, contents);
    if (s.ok) out = w.bytes().take();
    return s;
}

}  // namespace tryster::anim
