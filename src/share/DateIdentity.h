#pragma once
// The object identifiers of dates. The game tells its objects apart by
// them, so a shared date whose identifier is already taken by a date of the
// game folder gets a fresh one, made as a new date's is.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

struct IdentifierChange {
    std::uint32_t from = 0;
    std::uint32_t to = 0;
    std::string takenBy;  // the file name of the date that holds `from`
};

// The identifiers of the object definitions of every date in the game's
// "TemplateNPCs" folder, each with the file name that holds it. Files that
// do not open as containers are passed over.
std::map<std::uint32_t, std::string> takenIdentifiers(std::string_view gameFolder);

// Fresh identifiers for those of `identifiers` that `taken` holds, unlike
// every taken one and each other. Empty when none is taken; none when no
// fresh identifier could be found.
std::optional<std::vector<IdentifierChange>> freshIdentifiers(const std::vector<std::uint32_t>& identifiers,
                                                              const std::map<std::uint32_t, std::string>& taken);

// The date's bytes with every object definition whose identifier `changes`
// names given its new one (the container rewritten in memory); none when
// the container cannot be rewritten.
std::optional<std::vector<std::uint8_t>> withIdentifiers(std::span<const std::uint8_t> date,
                                                         const std::vector<IdentifierChange>& changes);

}  // namespace tryster::share
