#pragma once
// Character files: skeletons, outfits and animations, as text (".cmx") or
// binary (".bcf"). Reading stops at the first bad field; every record read
// completely before it is kept in `out` and the status says where it
// stopped.

#include "anim/Animation.h"
#include "anim/Outfit.h"
#include "anim/Skeleton.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::anim {

struct CharacterFileContents {
    std::vector<Ref<Skeleton>> skeletons;
    std::vector<Ref<Outfit>> outfits;
    std::vector<Ref<Animation>> animations;
};

// The outcome of reading or writing one file. On failure `message` says
// what (in English, for a tool's output) and `position` where: the line of
// a text file, the byte offset of a binary one.
struct FormatStatus {
    bool ok = true;
    std::size_t position = 0;
    std::string message;

    static FormatStatus failure(std::size_t position, std::string message) {
        return {false, position, std::move(message)};
    }
};

[[nodiscard]] FormatStatus readCharacterText(std::string_view text, CharacterFileContents& out);
[[nodiscard]] FormatStatus readCharacterBinary(std::span<const std::uint8_t> bytes,
                                               CharacterFileContents& out);

// Skeleton bones are written in list order, which rebuilds the same links
// on reading. Fails (and `out` must not be used) when a field cannot be
// held by the encoding: a name over its limit, or in text one that is
// blank or breaks the line.
[[nodiscard]] FormatStatus writeCharacterText(const CharacterFileContents& contents, std::string& out);
[[nodiscard]] FormatStatus writeCharacterBinary(const CharacterFileContents& contents,
                                                std::vector<std::uint8_t>& out);

}  // namespace tryster::anim
