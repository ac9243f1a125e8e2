// The archive reader over libarchive.

#include "formats/ArchiveReader.h"

#include <archive.h>
#include <archive_entry.h>

#include <array>
#include <clocale>
#include <locale.h>
#include <vector>

namespace tryster::formats {
namespace {

// The library converts every name to the charset of the current locale;
// in the "C" locale, where a command-line run or a test starts, a name
// beyond ASCII ("Zoë.iff", flagged UTF-8 in a zip, or any 7z's) cannot be
// converted and is lost. The library is called under a UTF-8 locale of
// this thread's own, so names come through as UTF-8 whatever the process's
// locale is; nothing else of the process changes.
class Utf8Names {
public:
    Utf8Names() {
        static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (utf8) previous_ = uselocale(utf8);
    }
    ~Utf8Names() {
        if (previous_) uselocale(previous_);
    }
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    locale_t previous_ = static_cast<locale_t>(nullptr);
};

using FilterSupport = int (*)(struct archive*);

// The compressions offered, each only when the library does it itself: a
// registration answering ARCHIVE_WARN would run an outside program.
const std::vector<FilterSupport>& nativeFilters() {
    static const std::vector<FilterSupport> filters = [] {
        std::vector<FilterSupport> out;
        for (FilterSupport f : {archive_read_support_filter_gzip, archive_read_support_filter_bzip2,
                                archive_read_support_filter_xz, archive_read_support_filter_lzma,
                                archive_read_support_filter_zstd, archive_read_support_filter_lz4}) {
            struct archive* probe = archive_read_new();
            if (probe && f(probe) == ARCHIVE_OK) out.push_back(f);
            if (probe) archive_read_free(probe);
        }
        return out;
    }();
    return filters;
}

class LibArchiveReader final : public ArchiveReader {
public:
    explicit LibArchiveReader(std::unique_ptr<platform::File> file) : file_(std::move(file)) {}
    ~LibArchiveReader() override {
        if (archive_) archive_read_free(archive_);
    }
    LibArchiveReader(const LibArchiveReader&) = delete;
    LibArchiveReader& operator=(const LibArchiveReader&) = delete;

    bool start(std::string& error) {
        const Utf8Names names;
        archive_ = archive_read_new();
        if (!archive_) {
            error = "the archive library could not start";
            return false;
        }
        // Named formats only: the "all" set also reads kinds (mtree) whose
        // entries name files on this computer.
        archive_read_support_format_zip(archive_);
        archive_read_support_format_7zip(archive_);
        archive_read_support_format_tar(archive_);
        archive_read_support_format_gnutar(archive_);
        archive_read_support_format_rar(archive_);
        archive_read_support_format_rar5(archive_);
        for (FilterSupport f : nativeFilters()) f(archive_);
        archive_read_set_read_callback(archive_, &LibArchiveReader::readCallback);
        archive_read_set_seek_callback(archive_, &LibArchiveReader::seekCallback);
        archive_read_set_skip_callback(archive_, &LibArchiveReader::skipCallback);
        archive_read_set_callback_data(archive_, this);
        if (archive_read_open1(archive_) != ARCHIVE_OK) {
            error = describe();
            return false;
        }
        return true;
    }

    Step next(ArchiveEntryHeader& out) override {
        if (failed_) return Step::Failed;
        const Utf8Names names;
        struct archive_entry* entry = nullptr;
        const int r = archive_read_next_header(archive_, &entry);
        if (r == ARCHIVE_EOF) return Step::End;
        // A warning (a name that cannot be converted, say) still gives an
        // entry; the caller judges the name.
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN) return fail();
        const char* name = archive_entry_pathname_utf8(entry);
        if (!name) name = archive_entry_pathname(entry);
        out.name = name ? name : "";
        out.type = typeOf(entry);
        out.declaredSize = archive_entry_size_is_set(entry) && archive_entry_size(entry) >= 0
                               ? std::optional<std::uint64_t>(static_cast<std::uint64_t>(archive_entry_size(entry)))
                               : std::nullopt;
        out.encrypted = archive_entry_is_encrypted(entry) != 0;
        regular_ = out.type == ArchiveEntryType::Regular;
        return Step::Entry;
    }

    std::optional<std::size_t> readData(std::vector<std::uint8_t>& out, std::size_t maxBytes) override {
        if (failed_ || !regular_) return std::nullopt;
        const Utf8Names names;
        const std::size_t before = out.size();
        out.resize(before + maxBytes);
        const la_ssize_t n = maxBytes == 0 ? 0 : archive_read_data(archive_, out.data() + before, maxBytes);
        if (n < 0) {
            out.resize(before);
            (void)fail();  // the step is this read's: it answers none
            return std::nullopt;
        }
        out.resize(before + static_cast<std::size_t>(n));
        return static_cast<std::size_t>(n);
    }

    std::uint64_t bytesConsumed() const override { return consumed_; }
    const std::string& message() const override { return message_; }
    bool sawEncryption() const override { return archive_read_has_encrypted_entries(archive_) > 0; }

private:
    static ArchiveEntryType typeOf(struct archive_entry* entry) {
        if (archive_entry_hardlink(entry) || archive_entry_symlink(entry)) return ArchiveEntryType::Link;
        switch (archive_entry_filetype(entry)) {
        case AE_IFREG: return ArchiveEntryType::Regular;
        case AE_IFDIR: return ArchiveEntryType::Directory;
        case AE_IFLNK: return ArchiveEntryType::Link;
        case AE_IFCHR:
        case AE_IFBLK: return ArchiveEntryType::Device;
        default: return ArchiveEntryType::Other;
        }
    }

    std::string describe() const {
        const char* text = archive_error_string(archive_);
        return text ? text : "the archive could not be read";
    }

    Step fail() {
        failed_ = true;
        message_ = describe();
        return Step::Failed;
    }

    static la_ssize_t readCallback(struct archive*, void* data, const void** buffer) {
        auto* self = static_cast<LibArchiveReader*>(data);
        const std::size_t n = self->file_->read(self->buffer_.data(), self->buffer_.size());
        self->consumed_ += n;
        *buffer = self->buffer_.data();
        return static_cast<la_ssize_t>(n);
    }

    static la_int64_t seekCallback(struct archive*, void* data, la_int64_t offset, int whence) {
        auto* self = static_cast<LibArchiveReader*>(data);
        std::optional<std::uint64_t> base = 0;
        if (whence == SEEK_CUR) base = self->file_->position();
        else if (whence == SEEK_END) base = self->file_->size();
        if (!base) return ARCHIVE_FATAL;
        const la_int64_t target = static_cast<la_int64_t>(*base) + offset;
        if (target < 0 || !self->file_->seek(static_cast<std::uint64_t>(target))) return ARCHIVE_FATAL;
        return target;
    }

    static la_int64_t skipCallback(struct archive*, void* data, la_int64_t request) {
        auto* self = static_cast<LibArchiveReader*>(data);
        const std::optional<std::uint64_t> at = self->file_->position();
        const std::optional<std::uint64_t> size = self->file_->size();
        if (!at || !size || request < 0 || *at > *size) return 0;
        const std::uint64_t step = std::min<std::uint64_t>(static_cast<std::uint64_t>(request), *size - *at);
        if (!self->file_->seek(*at + step)) return 0;
        return static_cast<la_int64_t>(step);
    }

    std::unique_ptr<platform::File> file_;
    struct archive* archive_ = nullptr;
    std::array<std::uint8_t, 64 * 1024> buffer_{};
    std::uint64_t consumed_ = 0;
    std::string message_;
    bool failed_ = false;
    bool regular_ = false;
};

}  // namespace

std::unique_ptr<ArchiveReader> openArchiveReader(std::unique_ptr<platform::File> file, std::string& error) {
    if (!file) {
        error = "no file to read";
        return nullptr;
    }
    auto reader = std::make_unique<LibArchiveReader>(std::move(file));
    if (!reader->start(error)) return nullptr;
    return reader;
}

}  // namespace tryster::formats
