#pragma once
// What a template copy does to the object definitions it copies.

#include "resfile/ResTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tryster::exchange {

struct TemplateCopyPlan {
    // Object name given to every 'OBJD' resource (at most 63 characters).
    std::string targetObjectName;
    // Set by the copy: the file it wrote.
    std::string targetPath;
    // Non-zero: the copied objects keep their names.
    std::int16_t keepNames = 0;
    // Non-zero: the object name is put before each object's own name.
    std::int16_t prefixNames = 0;

    void setTargetObjectName(std::string_view name) { targetObjectName = resfile::clipName(name); }
};

// The file name of `path` with its extension and without folder ('\' and
// '/' both separate), as a game name, cut to what an object name holds;
// none when the game's code page cannot hold the name.
std::optional<std::string> objectNameForPath(std::string_view path);

}  // namespace tryster::exchange
