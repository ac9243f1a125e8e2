#pragma once
// Every change this module makes to the disk goes through these few
// functions, over the platform's staged writer (platform/StagedFile.h), so
// that how a change is made durable is decided in one place. Each one
// leaves either the old state or the new one, never a part:
// - a file is replaced by moving a complete, synced file over it in one
//   step, then syncing its folder;
// - a new file that stays under its own name (a backup) is written
//   completely under a staged name, synced, moved to its name and its
//   folder synced before anyone relies on it.
// Paths are local paths as the file system seam takes them.

#include "platform/FileSystem.h"
#include "platform/StagedFile.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tryster::share {

// The suffix of a file being built beside its target: the staged writer's.
inline constexpr std::string_view kStagedSuffix = platform::StagedFile::kSuffix;

// Writes `bytes` to `path`, which must not exist, through a staged file
// (StagedFile::commit). False, and nothing left at `path`, when it exists
// or the write or commit fails.
[[nodiscard]] bool writeNewFile(std::string_view path, std::span<const std::uint8_t> bytes);
// Writes `bytes` under the staged name of `file`, cleared first of what an
// interrupted run left there; the commit syncs it (StagedFile::commit,
// platform::commitTogether). False, and nothing left, on failure.
[[nodiscard]] bool writeStaged(platform::StagedFile& file, std::span<const std::uint8_t> bytes);
// The staged name of `file` opened to stream into (cleared first); null
// when it cannot be made. Close it before the commit.
std::unique_ptr<platform::File> createStaged(platform::StagedFile& file);
// Moves `from` (a file already on the disk: a backup) over `to` in one
// step and syncs the folder (a folder the file system refuses to sync does
// not fail it: the file is in place).
[[nodiscard]] bool moveOver(std::string_view from, std::string_view to);
// Removes `path` and syncs its folder; true when it is gone.
[[nodiscard]] bool removeFile(std::string_view path);
// Replaces (or makes) `path` with `bytes` through a staged file beside it.
[[nodiscard]] bool replaceFile(std::string_view path, std::span<const std::uint8_t> bytes);

}  // namespace tryster::share
