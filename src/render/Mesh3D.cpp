#include "render/Mesh3D.h"

#include "platform/FileFinder.h"

namespace tryster::render {
namespace {

std::string& path() {
    static std::string p(Mesh3D::kDefaultPath);
    return p;
}

}  // namespace

const std::string& Mesh3D::searchPath() {
    return path();
}
void Mesh3D::setSearchPath(std::string_view p) {
    path() = std::string(p);
}

}  // namespace tryster::render
