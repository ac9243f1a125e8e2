#pragma once
// The manifest of a shared date: a small JSON file at the top of the pack
// that says what the pack is and lists every other file with its size and
// SHA-256 digest.
//
//   {
//     "format": "tryster-date-pack",
//     "version": 1,
//     "date": {"name": "Rosa", "description": "...", "gender": "Female"},
//     "files": [
//       {"path": "TemplateNPCs\\Rosa.iff", "size": 61234, "sha256": "3a7b..."},
//       ...
//     ]
//   }
//
// Texts are UTF-8 (the game's own text converted). Paths are written in the
// game's form ('\' separators) and digests in lower case; a reader takes
// '/' and upper case as the same. It refuses a newer version rather than
// guessing at it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

inline constexpr std::string_view kManifestFormat = "tryster-date-pack";
inline constexpr std::int64_t kManifestVersion = 1;

struct PackManifestFile {
    std::string path;
    std::uint64_t size = 0;
    std::string sha256;  // 64 lower-case hexadecimal digits
};

struct PackManifest {
    std::int64_t version = kManifestVersion;
    std::string name;         // the date's name, UTF-8
    std::string description;  // UTF-8, line breaks as "\n"
    std::string gender;       // "Male", "Female", or empty when unknown
    std::vector<PackManifestFile> files;
};

std::string encodeManifest(const PackManifest& manifest);

struct ManifestReading {
    std::optional<PackManifest> manifest;
    std::string problem;  // set when `manifest` is not
};

ManifestReading decodeManifest(std::string_view text);

}  // namespace tryster::share
