#pragma once
// A character's catalog name: the name and description the game shows for
// it. A character file keeps them under one id either as a 'CATS' resource
// (name, zero, description, zero) or as a 'CTSS' string list (string 1 the
// name, string 2 the description); 'CATS' is read first, 'CTSS' written.

#include "resfile/iResFile.h"

#include <string>

namespace tryster::exchange {

inline constexpr resfile::ResType kTypeCatalogText = resfile::makeType("CATS");
inline constexpr resfile::ResType kTypeCatalogStrings = resfile::makeType("CTSS");
inline constexpr std::int16_t kCatalogNameId = 2000;

class CatalogName {
public:
    std::string name;
    std::string description;

    // Clears both, then reads 'CATS' `id` or else the 'CTSS' list `id` in
    // the default language (no fallback). 0 for a 'CATS' resource, else the
    // list's read result.
    [[nodiscard]] resfile::ResError load(resfile::iResFile& file, std::int16_t id);
    // Replaces the 'CTSS' list `id` with exactly the two strings in the
    // default language (other languages are dropped) and then removes a
    // 'CATS' `id`, which would otherwise be read in their place.
    [[nodiscard]] resfile::ResError save(resfile::iResFile& file, std::int16_t id) const;
};

}  // namespace tryster::exchange
