// Paths as the program writes them, resolved against a case-sensitive disk.

#include "platform/PathResolution.h"

#include "platform/PathText.h"
#include "platform/TextNoCase.h"

#include <string>
#include <vector>

#include <sys/stat.h>

#include <dirent.h>

namespace tryster::platform {

std::filesystem::path resolvePath(std::string_view path) {
    std::string native = toNativeSeparators(path);
    if (native.empty()) return {};
    struct stat st {};
    if (::stat(native.c_str(), &st) == 0) return native;  // exact spelling exists

    std::vector<std::string> parts;
    for (std::size_t pos = 0; pos <= native.size();) {
        std::size_t end = native.find('/', pos);
        if (end == std::string::npos) end = native.size();
        if (end > pos) parts.push_back(native.substr(pos, end - pos));
        pos = end + 1;
    }

    std::string resolved = native[0] == '/' ? "/" : "";
    bool missing = false;
    for (const std::string& part : parts) {
        auto joined = [&](const std::string& name) {
            return resolved.empty() || resolved.back() == '/' ? resolved + name : resolved + "/" + name;
        };
        std::string candidate = joined(part);
        if (!missing && part != "." && part != ".." && ::lstat(candidate.c_str(), &st) != 0) {
            // Look for the same name in another letter case; the smallest
            // spelling wins so that the choice does not depend on the
            // directory's order.
            std::string best;
            if (DIR* dir = ::opendir(resolved.empty() ? "." : resolved.c_str())) {
                while (dirent* e = ::readdir(dir)) {
                    std::string_view name = e->d_name;
                    if (equalsNoCase(name, part) && (best.empty() || name < best)) best = name;
                }
                ::closedir(dir);
            }
            if (best.empty())
                missing = true;
            else
                candidate = joined(best);
        }
        resolved = std::move(candidate);
    }
    if (native.back() == '/' && resolved.back() != '/') resolved += '/';
    return resolved;
}

}  // namespace tryster::platform
