#pragma once
// Reading a shared date from its archive, treating every byte as hostile.
// Entries are read as data into memory, never extracted; nothing is written
// anywhere. A pack is refused, with a message that names the entry and the
// reason, when:
// - the path is no file (a folder, a pipe, a device), the file is larger
//   than kMaxArchiveBytes, or no archive the reader knows, or protected by
//   a password, or damaged or cut short;
// - an entry is a link, a device or anything but a file or a known folder;
// - an entry's name, once laid out as PackLayout.h takes players' archives,
//   breaks the rules of PackPath.h, or two names differ only in letter case;
// - it holds more files, larger files, more bytes in all, or inflates more
//   than PackLimits.h allows (checked while inflating, so a bomb stops
//   early);
// - it has no manifest, no date or more than one, or date files that are
//   not named after the date;
// - the manifest does not list exactly the pack's files with their sizes
//   and SHA-256 digests.
// What the files hold (a date that is a character, skins that parse) is
// checked by PackContents.h.

#include "platform/FileSystem.h"
#include "share/Pack.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tryster::share {

// Why a pack protected by a password is refused.
inline constexpr std::string_view kProtectedPack =
    "the pack is protected by a password; Tryster reads only packs without one, so ask whoever sent it for a copy "
    "that is not protected";

struct PackReading {
    std::optional<Pack> pack;
    std::string problem;  // why the pack was refused, when it was
};

// Reads the archive in `file`.
PackReading readPackArchive(std::unique_ptr<platform::File> file);
// Opens the file at `path` and reads it.
PackReading readPackArchive(std::string_view path);

}  // namespace tryster::share
