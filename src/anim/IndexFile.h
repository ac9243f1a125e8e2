#pragma once
// Index files (".ndx"): which binary character file defines each skeleton,
// outfit and animation, so that a file is read only when one of its
// objects is first asked for. Three sections (skeletons, outfits,
// animations), each a count and (object name, file base name) pairs.
// Strings hold up to 1023 bytes here.

#include "anim/CharacterFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tryster::anim {

inline constexpr std::size_t kIndexNameLimit = 1023;

struct IndexFileContents {
    struct Pair {
        std::string objectName;
        std::string fileBaseName;  // without the ".bcf"
    };
    std::vector<Pair> skeletons;
    std::vector<Pair> outfits;
    std::vector<Pair> animations;
};

// Every pair read before a bad field is kept.
[[nodiscard]] FormatStatus readIndexFile(std::span<const std::uint8_t> bytes, IndexFileContents& out);
[[nodiscard]] FormatStatus writeIndexFile(const IndexFileContents& contents, std::vector<std::uint8_t>& out);

}  // namespace tryster::anim
