#pragma once
// How large a shared date may be. A pack comes from a stranger, so every
// size is capped before its bytes are kept, and an archive that inflates
// far beyond its own size is refused early (an archive bomb).
//
// The figures come from what a pack holds: one date (the game's own are 60
// to 150 KB; a date file is a container of a few dozen resources), its web
// exchange file (a few KB), two small JPEG snapshots (45 x 45 and 100 x 220
// pixels, a few KB each) and the skins of its look. The skin file list of
// the web exchange file holds at most 50 entries, so a pack has at most 50
// skins. The largest skins are 24-bit textures (256 x 256 is 196 KB, a
// large 1024 x 1024 one 3 MB) and text meshes (the demo folder's largest
// body is 274 KB). Each cap leaves room several times beyond these, so no
// real pack is refused, while a hostile one stays far below what would
// fill a disk or the memory the pack is checked in.

#include <cstddef>
#include <cstdint>

namespace tryster::share {

// The archive file itself: the total below plus room for headers.
inline constexpr std::uint64_t kMaxArchiveBytes = 80ull << 20;
// Entries of any kind, folders included, before the reader gives up.
inline constexpr std::size_t kMaxArchiveEntries = 256;
// Files: 50 skins, the date, its web exchange file, two snapshots and the
// manifest are 55.
inline constexpr std::size_t kMaxPackFiles = 64;
// One file: five times a large 24-bit texture.
inline constexpr std::uint64_t kMaxFileBytes = 16ull << 20;
// All files together: 50 skins of about a megabyte each, and the date.
inline constexpr std::uint64_t kMaxTotalBytes = 64ull << 20;
// Smaller files by kind: the manifest lists at most kMaxPackFiles files;
// the web exchange file holds 50 paths and a description; the snapshots
// are small pictures.
inline constexpr std::uint64_t kMaxManifestBytes = 256ull << 10;
inline constexpr std::uint64_t kMaxWebExchangeBytes = 256ull << 10;
inline constexpr std::uint64_t kMaxSnapshotBytes = 1ull << 20;

// Compression: the whole archive may give at most this many bytes per byte
// read, once it has given kRatioFreeBytes. Deflate cannot pass about 1030
// to 1; xz over the demo folder's flat textures gives 123 to 1 and over a
// whole pack of them far less, so only a bomb reaches the cap. Below the
// free amount the other caps already bound what is kept.
inline constexpr std::uint64_t kMaxCompressionRatio = 1000;
inline constexpr std::uint64_t kRatioFreeBytes = 8ull << 20;

// A snapshot's width and height: the save's are 45 x 45 and 100 x 220.
inline constexpr int kMaxSnapshotSide = 1024;

// A file name inside its folder, and a whole path in the pack.
inline constexpr std::size_t kMaxNameLength = 100;

}  // namespace tryster::share
