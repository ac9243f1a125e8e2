#include "ArchiveBuilder.h"

#include <archive.h>
#include <archive_entry.h>

#include <stdexcept>

namespace tryster::test {
namespace {

la_ssize_t appendTo(struct archive*, void* data, const void* buffer, size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(data);
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    out->insert(out->end(), bytes, bytes + length);
    return static_cast<la_ssize_t>(length);
}

void check(struct archive* a, int result) {
    if (result < ARCHIVE_WARN) throw std::runtime_error(archive_error_string(a) ? archive_error_string(a) : "archive");
}

}  // namespace

std::vector<std::uint8_t> buildArchive(const std::vector<ArchiveItem>& items, ArchiveKind kind) {
    std::vector<std::uint8_t> out;
    struct archive* a = archive_write_new();
    switch (kind) {
    case ArchiveKind::Zip: check(a, archive_write_set_format_zip(a)); break;
    case ArchiveKind::TarGz:
        check(a, archive_write_set_format_pax_restricted(a));
        check(a, archive_write_add_filter_gzip(a));
        break;
    case ArchiveKind::TarXz:
        check(a, archive_write_set_format_pax_restricted(a));
        check(a, archive_write_add_filter_xz(a));
        break;
    case ArchiveKind::SevenZip: check(a, archive_write_set_format_7zip(a)); break;
    case ArchiveKind::ZipWithPassword:
        check(a, archive_write_set_format_zip(a));
        check(a, archive_write_set_options(a, "zip:encryption=zipcrypt"));
        check(a, archive_write_set_passphrase(a, "secret"));
        break;
    }
    check(a, archive_write_set_bytes_in_last_block(a, 1));
    check(a, archive_write_open2(a, &out, nullptr, appendTo, nullptr, nullptr));
    for (const ArchiveItem& item : items) {
        struct archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, item.name.c_str());
        archive_entry_set_perm(e, 0644);
        archive_entry_set_mtime(e, 946684800, 0);
        switch (item.type) {
        case ArchiveItem::Type::File:
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_size(e, static_cast<la_int64_t>(item.bytes.size()));
            break;
        case ArchiveItem::Type::Folder: archive_entry_set_filetype(e, AE_IFDIR); break;
        case ArchiveItem::Type::Symlink:
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_symlink(e, item.target.c_str());
            break;
        case ArchiveItem::Type::Hardlink:
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_hardlink(e, item.target.c_str());
            break;
        case ArchiveItem::Type::Device:
            archive_entry_set_filetype(e, AE_IFCHR);
            archive_entry_set_rdev(e, 0x0103);
            break;
        }
        check(a, archive_write_header(a, e));
        if (item.type == ArchiveItem::Type::File && !item.bytes.empty())
            check(a, static_cast<int>(archive_write_data(a, item.bytes.data(), item.bytes.size())));
        archive_entry_free(e);
    }
    check(a, archive_write_close(a));
    archive_write_free(a);
    return out;
}

}  // namespace tryster::test
