#pragma once
// Every change this module makes to the disk goes through these few
// functions, so that how a change is made durable is decided in one place.
// Each one leaves either the old state or the new one, never a part:
// - a new file is written completely and synced before anyone relies on
//   it, and removed again when that fails;
// - a file is replaced by moving a complete, synced file over it in one
//   step, then syncing its folder.
// Paths are local paths as the file system seam takes them.

#include "platform/FileSystem.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tryster::share {

// The suffix of a file being built beside its target.
inline constexpr std::string_view kStagedSuffix = ".tryster-new";

// Writes `bytes` to `path`, which must not exist, and syncs it. False, and
// nothing left at `path`, on failure.
[[nodiscard]] bool writeNewFile(std::string_view path, std::span<const std::uint8_t> bytes);
// A new file to write into (for writers that stream); null when `path`
// exists or cannot be made. `finishNewFile` closes and syncs it.
std::unique_ptr<platform::File> createNewFile(std::string_view path);
[[nodiscard]] bool finishNewFile(std::unique_ptr<platform::File> file, std::string_view path);
// Moves `from` over `to` in one step and syncs the folder (a folder the
// file system refuses to sync does not fail it: the file is in place).
[[nodiscard]] bool moveOver(std::string_view from, std::string_view to);
// Removes `path` and syncs its folder; true when it is gone.
[[nodiscard]] bool removeFile(std::string_view path);
// Replaces (or makes) `path` with `bytes` through a staged file beside it.
[[nodiscard]] bool replaceFile(std::string_view path, std::span<const std::uint8_t> bytes);

}  // namespace tryster::share
