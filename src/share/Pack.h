#pragma once
// A shared date as read from its archive: the manifest and every other file
// with its bytes, all checked (see PackReader.h) before anyone sees them.

#include "platform/HeldFiles.h"
#include "share/PackManifest.h"
#include "share/PackPath.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

struct PackFile {
    PackPath path;
    std::vector<std::uint8_t> bytes;
    std::string sha256;
};

struct Pack {
    PackManifest manifest;
    std::vector<PackFile> files;  // every file but the manifest, in archive order
    // Entries left out as a desktop's litter ("__MACOSX/...", ".DS_Store"),
    // as the archive names them.
    std::vector<std::string> ignored;

    // The date (a checked pack has exactly one).
    const PackFile& date() const;
    // The date's file name without ".iff" ("Rosa" for TemplateNPCs\Rosa.iff).
    std::string dateName() const;
    // The web exchange file and the two snapshots; null when the pack has
    // none.
    const PackFile* webExchange() const;
    const PackFile* headSnapshot() const;
    const PackFile* bodySnapshot() const;
    // The file at a game path (letter case aside); null when there is none.
    const PackFile* find(std::string_view gamePath) const;
};

// The pack's skins (character files, meshes, textures) as files the preview
// may wear from memory, by their file names.
platform::HeldFiles heldSkins(const Pack& pack);

// A date's files named after its base name, as the save writes them.
using exchange::kBodySnapshotSuffix;
using exchange::kDateExtension;
using exchange::kHeadSnapshotSuffix;
using exchange::kWebExchangeExtension;

}  // namespace tryster::share
