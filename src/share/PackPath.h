#pragma once
// What a pack's entries may be called. Every name of a pack is a path
// relative to the game folder, in one of the folders a date's files live
// in, with an extension the game reads there:
//
//   manifest.json                      the pack's own description
//   TemplateNPCs\<date>.iff, .srf      the date and its web exchange file
//   TemplateNPCs\<date>head.jpg, ...   its snapshots
//   GameData\Skins\<name>.cmx, .bcf    character files of the look's outfits
//   GameData\Skins\<name>.skn, .bmf    their meshes
//   GameData\Skins\<name>.bmp          textures
//
// Anything else is refused: a way up (".."), an absolute name or drive, a
// folder or extension outside this list, a name the game's platform cannot
// hold (control characters, ':', '*', '?', '"', '<', '>', '|', a trailing
// space or dot, a character its code page lacks, a device name such as
// "CON.bmp" or "nul.iff"), and names that differ only in letter case,
// which the game's platform takes for one file.
//
// Names are UTF-8, as archives keep them and as files are named here; the
// game knows each file by the same name in its code page (Windows-1252),
// so "Zoë.iff" is a date's name and "Zoя.iff" is not.
//
// Archives separate folders with '/'; a '\' is taken as one too. Paths are
// kept in the game's form: '\' separators, the folders spelt as above, the
// file name as the archive spells it.

#include "exchange/GameLayout.h"

#include <optional>
#include <string>
#include <string_view>

namespace tryster::share {

enum class PackFileKind {
    Manifest,
    Date,
    WebExchange,
    Snapshot,
    CharacterFile,  // ".cmx" text or ".bcf" binary
    SkinMesh,       // ".skn" text or ".bmf" binary
    Texture         // ".bmp"
};

inline constexpr std::string_view kManifestName = "manifest.json";
using exchange::kDatesFolder;
using exchange::kSkinsFolder;

// Whether a kind is one of the look's skins.
inline bool isSkin(PackFileKind kind) {
    return kind == PackFileKind::CharacterFile || kind == PackFileKind::SkinMesh || kind == PackFileKind::Texture;
}

struct PackPath {
    std::string path;  // game form, "GameData\Skins\b006fafit_01.cmx"
    PackFileKind kind = PackFileKind::Manifest;

    std::string_view fileName() const;
};

struct PackPathCheck {
    std::optional<PackPath> path;  // set when the name is allowed
    std::string problem;           // why not, otherwise ("has a way up (..)")
};

// Checks the name of a regular file entry.
PackPathCheck checkFileName(std::string_view name);
// Why `path` is not a path inside the game folder that its platform can
// hold (relative, no way up, each name one the rules above allow, in any
// folder); empty when it is one.
std::string gamePathProblem(std::string_view path);
// Whether a folder entry names one of the folders above (or "GameData"):
// such entries are skipped, any other folder is refused.
bool isKnownFolder(std::string_view name);
// Why a folder entry is refused: what breaks the rules in its name, else
// kOutsideFolders; empty for a known folder.
inline constexpr std::string_view kOutsideFolders = "is a folder outside the folders a date's files go to";
std::string folderProblem(std::string_view name);
// The key under which two names are the same file on the game's platform,
// which folds the letters of its code page ("Ë" and "ë") as well as ASCII's.
std::string caseKey(std::string_view gamePath);
// The game path with '/' separators, as a zip entry is named.
std::string archiveName(std::string_view gamePath);

}  // namespace tryster::share
