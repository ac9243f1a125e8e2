// The zip writer over libarchive.

#include "formats/ZipWriter.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>

namespace tryster::formats {
namespace {

// 2000-01-01 00:00:00 UTC: every entry's time, so packs repeat byte for byte.
constexpr time_t kEntryTime = 946684800;

class LibArchiveZipWriter final : public ZipWriter {
public:
    explicit LibArchiveZipWriter(platform::File& file) : file_(file) {}
    ~LibArchiveZipWriter() override {
        if (archive_) archive_write_free(archive_);  // closes without a directory if unfinished
    }
    LibArchiveZipWriter(const LibArchiveZipWriter&) = delete;
    LibArchiveZipWriter& operator=(const LibArchiveZipWriter&) = delete;

    bool start(std::string& error) {
        archive_ = archive_write_new();
        if (!archive_ || archive_write_set_format_zip(archive_) != ARCHIVE_OK ||
            archive_write_set_options(archive_, "zip:compression=deflate") != ARCHIVE_OK ||
            // Names in UTF-8, flagged so (general purpose bit 11): every
            // reader then reads "Zoë" back as it was written.
            archive_write_set_options(archive_, "zip:hdrcharset=UTF-8") != ARCHIVE_OK ||
            archive_write_set_bytes_in_last_block(archive_, 1) != ARCHIVE_OK ||
            archive_write_open2(archive_, this, nullptr, &LibArchiveZipWriter::writeCallback, nullptr, nullptr) !=
                ARCHIVE_OK) {
            error = archive_ ? describe() : std::string("the archive library could not start");
            return false;
        }
        return true;
    }

    bool add(std::string_view name, std::span<const std::uint8_t> bytes) override {
        if (failed_) return false;
        struct archive_entry* entry = archive_entry_new();
        if (!entry) return fail("out of memory");
        const std::string path(name);
        archive_entry_set_pathname_utf8(entry, path.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
        archive_entry_set_mtime(entry, kEntryTime, 0);
        bool ok = archive_write_header(archive_, entry) == ARCHIVE_OK;
        archive_entry_free(entry);
        std::size_t done = 0;
        while (ok && done < bytes.size()) {
            const la_ssize_t n = archive_write_data(archive_, bytes.data() + done, bytes.size() - done);
            ok = n > 0;
            if (ok) done += static_cast<std::size_t>(n);
        }
        return ok || fail(describe());
    }

    bool finish() override {
        if (failed_) return false;
        if (archive_write_close(archive_) != ARCHIVE_OK) return fail(describe());
        return true;
    }

    const std::string& message() const override { return message_; }

private:
    std::string describe() const {
        const char* text = archive_error_string(archive_);
        return text ? text : "the archive could not be written";
    }

    bool fail(std::string text) {
        failed_ = true;
        message_ = std::move(text);
        return false;
    }

    static la_ssize_t writeCallback(struct archive* a, void* data, const void* buffer, size_t length) {
        auto* self = static_cast<LibArchiveZipWriter*>(data);
        if (self->file_.write(buffer, length) != length) {
            archive_set_error(a, EIO, "the disk refused the archive's bytes (is it full?)");
            return -1;
        }
        return static_cast<la_ssize_t>(length);
    }

    platform::File& file_;
    struct archive* archive_ = nullptr;
    std::string message_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<ZipWriter> openZipWriter(platform::File& file, std::string& error) {
    auto writer = std::make_unique<LibArchiveZipWriter>(file);
    if (!writer->start(error)) return nullptr;
    return writer;
}

}  // namespace tryster::formats
