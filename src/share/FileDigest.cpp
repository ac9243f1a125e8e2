#include "share/FileDigest.h"

#include "platform/FileSystem.h"
#include "formats/Sha256.h"

#include <array>

namespace tryster::share {

std::optional<std::string> fileDigest(std::string_view path) {
    std::unique_ptr<platform::File> file = platform::fileSystem().open(path, platform::OpenMode::Read);
    const std::optional<std::uint64_t> size = file ? file->size() : std::nullopt;
    if (!size) return std::nullopt;
    formats::Sha256 hash;
    std::array<std::uint8_t, 64 * 1024> buffer;
    std::uint64_t done = 0;
    while (done < *size) {
        const std::size_t n = file->read(buffer.data(), buffer.size());
        if (n == 0) return std::nullopt;
        hash.update(std::span<const std::uint8_t>(buffer.data(), n));
        done += n;
    }
    return formats::toHex(hash.finish());
}

}  // namespace tryster::share
