#include "platform/ProgramFolder.h"

#include <filesystem>
#include <system_error>

namespace tryster::platform {

std::string programFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || exe.empty()) return {};
    return exe.parent_path().string();
}

std::string installedDataFolder() {
    const std::string folder = programFolder();
    if (folder.empty()) return {};
    return (std::filesystem::path(folder) / ".." / "share" / "tryster").lexically_normal().string();
}

}  // namespace tryster::platform
