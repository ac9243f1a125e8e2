#pragma once
// The SHA-256 digest of a file on disk, read through the file system seam.

#include <optional>
#include <string>
#include <string_view>

namespace tryster::share {

// Hexadecimal as sha256Hex gives it; none when the file is missing or
// cannot be read whole.
std::optional<std::string> fileDigest(std::string_view path);

}  // namespace tryster::share
