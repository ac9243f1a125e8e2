#include "platform/WholeFile.h"

#include "platform/FileSystem.h"

namespace tryster::platform {

std::optional<std::vector<std::uint8_t>> readWholeFile(std::string_view path) {
    auto file = fileSystem().open(path, OpenMode::Read);
    if (!file) return std::nullopt;
    auto size = file->size();
    if (!size) return std::nullopt;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(*size));
    if (file->read(data.data(), data.size()) != data.size()) return std::nullopt;
    return data;
}

bool writeWholeFile(std::string_view path, const void* data, std::size_t size) {
    auto file = fileSystem().open(path, OpenMode::CreateTruncate);
    if (!file) return false;
    return file->write(data, size) == size && file->flush();
}

}  // namespace tryster::platform
