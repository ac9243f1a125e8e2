#pragma once
// Archives read as data: each entry's name, kind, size and bytes, never
// written anywhere by the archive library itself. What an entry may be
// called, how large it may grow and what is done with it is the caller's
// business; this reader only tells what the archive holds.
//
// Reads the archive kinds players pass around: zip, 7z, tar (with gzip,
// bzip2, xz, lzma, zstd or lz4 compression) and rar. Only compressions the
// library handles itself are offered, never ones that would start another
// program.

#include "platform/FileSystem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tryster::formats {

enum class ArchiveEntryType {
    Regular,
    Directory,
    Link,    // a symbolic or hard link
    Device,  // a character or block device
    Other    // a pipe, a socket or anything else
};

struct ArchiveEntryHeader {
    std::string name;  // UTF-8 where the archive says so, else as stored; empty when it cannot be read
    ArchiveEntryType type = ArchiveEntryType::Other;
    // The size the archive claims; none when it does not say. Not to be
    // trusted: the bytes read are what count.
    std::optional<std::uint64_t> declaredSize;
    // Its bytes (or name) are protected by a password, which this reader
    // never asks for.
    bool encrypted = false;
};

class ArchiveReader {
public:
    enum class Step { Entry, End, Failed };

    virtual ~ArchiveReader() = default;
    // Moves to the next entry: Entry (`out` filled), End, or Failed (see
    // `message`; nothing more can be read).
    virtual Step next(ArchiveEntryHeader& out) = 0;
    // Appends at most `maxBytes` more bytes of the current regular entry to
    // `out`: the count appended, 0 at the entry's end, none on failure.
    virtual std::optional<std::size_t> readData(std::vector<std::uint8_t>& out, std::size_t maxBytes) = 0;
    // Bytes taken from the archive file so far (before decompression).
    virtual std::uint64_t bytesConsumed() const = 0;
    // What failed, in the library's words.
    virtual const std::string& message() const = 0;
    // Whether what was read so far shows entries or a directory protected
    // by a password: a failure is then that, not damage.
    virtual bool sawEncryption() const = 0;
};

// Starts reading `file` (which the reader keeps). None, with `error` set,
// when the reader cannot be set up; an archive the library does not know is
// reported by the first `next`.
std::unique_ptr<ArchiveReader> openArchiveReader(std::unique_ptr<platform::File> file, std::string& error);

}  // namespace tryster::formats
