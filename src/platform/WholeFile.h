#pragma once
// Whole files read and written in one piece, through the installed file
// system.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tryster::platform {

std::optional<std::vector<std::uint8_t>> readWholeFile(std::string_view path);
bool writeWholeFile(std::string_view path, const void* data, std::size_t size);

}  // namespace tryster::platform
