// Paths as the program writes them, resolved against a case-sensitive disk.

#include "platform/PathResolution.h"

#include "platform/PathText.h"
#include "platform/TextNoCase.h"

#include <string>
#include <vector>

#include <sys/stat.h>

#include <dirent.h>

namespace tryster::platform {

namespace {

// The name in `folder` that equals `part` but for letter case; the smallest
// such spelling, so that the choice does not depend on the folder's order.
std::string otherCase(const std::string& folder, std::string_view part) {
    std::string best;
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (dirent* e = ::readdir(dir)) {
            std::string_view name = e->d_name;
            if (equalsNoCase(name, part) && (best.empty() || name < best)) best = name;
        }
        ::closedir(dir);
    }
    return best;
}

}  // namespace

std::filesystem::path resolvePath(std::string_view path) {
    std::string native = toNativeSeparators(path);
    if (native.empty()) return {};
    struct stat st {};
    if (::stat(native.c_str(), &st) == 0) return native;  // exact spelling exists

    // Most often the folder is spelt as on disk and only the last name is
    // new or spelt otherwise: one look at that folder answers.
    if (std::size_t slash = native.rfind('/'); slash != std::string::npos && slash > 0 && slash + 1 < native.size()) {
        const std::string folder = native.substr(0, slash);
        const std::string_view last = std::string_view(native).substr(slash + 1);
        if (last != "." && last != ".." && ::lstat(native.c_str(), &st) != 0 && ::stat(folder.c_str(), &st) == 0 &&
            S_ISDIR(st.st_mode)) {
            std::string best = otherCase(folder, last);
            return best.empty() ? native : folder + "/" + best;
        }
    }

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
            std::string best = otherCase(resolved, part);
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
