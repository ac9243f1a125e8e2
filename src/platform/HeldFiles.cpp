#include "platform/HeldFiles.h"

#include "platform/FileFinder.h"
#include "platform/TextNoCase.h"

#include <algorithm>

namespace tryster::platform {
namespace {

bool holdsType(std::span<const std::string> types, std::string_view type) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

}  // namespace

std::string HeldFile::type() const {
    return fileType(name);
}

void HeldFiles::add(std::string name, std::vector<std::uint8_t> bytes) {
    for (HeldFile& file : files_)
        if (equalsNoCase(file.name, name)) {
            file = {std::move(name), std::move(bytes)};
            return;
        }
    files_.push_back({std::move(name), std::move(bytes)});
}

const HeldFile* HeldFiles::find(std::string_view name, std::span<const std::string> types) const {
    if (holdsType(types, fileType(name))) {
        for (const HeldFile& file : files_)
            if (equalsNoCase(file.name, name)) return &file;
        return nullptr;
    }
    for (const std::string& type : types)
        for (const HeldFile& file : files_)
            if (file.type() == type && equalsNoCase(baseName(file.name), name)) return &file;
    return nullptr;
}

std::vector<const HeldFile*> HeldFiles::ofTypes(std::span<const std::string> types) const {
    std::vector<const HeldFile*> out;
    for (const HeldFile& file : files_)
        if (holdsType(types, file.type())) out.push_back(&file);
    return out;
}

}  // namespace tryster::platform
