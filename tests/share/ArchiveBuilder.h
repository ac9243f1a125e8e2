#pragma once
// Archives made by the tests, of any kind and with any entry a hostile pack
// might hold (links, devices, odd names), through the archive library
// directly: the program's own writer makes only well-formed zip files.

#include <cstdint>
#include <string>
#include <vector>

namespace tryster::test {

struct ArchiveItem {
    enum class Type { File, Folder, Symlink, Hardlink, Device };
    std::string name;
    std::vector<std::uint8_t> bytes;
    Type type = Type::File;
    std::string target;  // links

    static ArchiveItem file(std::string name, std::vector<std::uint8_t> bytes) {
        return {std::move(name), std::move(bytes), Type::File, {}};
    }
    static ArchiveItem file(std::string name, const std::string& text) {
        return file(std::move(name), std::vector<std::uint8_t>(text.begin(), text.end()));
    }
};

// ZipWithPassword: every entry encrypted (the traditional zip encryption,
// passphrase "secret").
enum class ArchiveKind { Zip, TarGz, TarXz, SevenZip, ZipWithPassword };

std::vector<std::uint8_t> buildArchive(const std::vector<ArchiveItem>& items, ArchiveKind kind = ArchiveKind::Zip);

}  // namespace tryster::test
