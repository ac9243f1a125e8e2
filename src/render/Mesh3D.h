#pragma once
// The engine's own mesh files (category "Mesh"). The preview only sets
// their process-wide search path and draws nothing through them.

#include <string>
#include <string_view>

namespace tryster::render {

class Mesh3D {
public:
    static constexpr std::string_view kDefaultPath = "Meshes; ../Meshes";

    static const std::string& searchPath();
    static void setSearchPath(std::string_view path);
};

}  // namespace tryster::render
