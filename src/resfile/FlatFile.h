#pragma once
// One open disk file of a container, reached only through
// `platform::fileSystem()` (so a test can put a failing file layer under
// every operation, creation, deletion and truncation included).
//
// The position and size are tracked here, so consecutive reads and writes
// cost no seek and bounds checks cost no system call; the file must not be
// changed by anyone else while it is open.

#include "resfile/ResError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tryster::platform {
class File;
}

namespace tryster::resfile {

class FlatFile {
public:
    FlatFile();
    virtual ~FlatFile();
    FlatFile(const FlatFile&) = delete;
    FlatFile& operator=(const FlatFile&) = delete;

    // Read-write, else read-only (only read-only when `readOnly`):
    // kAlreadyOpen, kFileError.
    ResError open(std::string_view path, bool readOnly = false);
    // The next `open` takes this file instead of asking the file system
    // (for a container held in memory); `path` then only names it.
    void supply(std::unique_ptr<platform::File> file);
    // Makes an empty file and leaves it closed: kAlreadyOpen, kFileExists,
    // kCreateFailed.
    ResError create(std::string_view path);
    // kAlreadyOpen, kNoSuchFile, kDeleteFailed.
    ResError remove(std::string_view path);
    ResError close();

    ResError seek(std::uint64_t offset);
    // kShortRead when fewer bytes than asked could be read.
    ResError read(void* buffer, std::size_t count);
    // kShortWrite when fewer bytes than asked were written; kNotWritable
    // on a read-only file.
    ResError write(const void* buffer, std::size_t count);
    ResError readAt(std::uint64_t offset, void* buffer, std::size_t count);
    ResError writeAt(std::uint64_t offset, const void* buffer, std::size_t count);
    ResError flush();
    ResError setSize(std::uint64_t size);
    ResError getPath(std::string& path) const;

    bool isOpen() const { return file_ != nullptr; }
    bool isWritable() const { return file_ && writable_; }
    // The size as tracked (0 when closed).
    std::uint64_t size() const { return size_; }
    // Counts the opens, closes, writes and size changes, so a reader that
    // keeps bytes it has seen can tell when they may no longer hold.
    std::uint64_t changes() const { return changes_; }

private:
    std::unique_ptr<platform::File> file_;
    std::unique_ptr<platform::File> supplied_;
    std::string path_;
    bool writable_ = false;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;
    bool posKnown_ = false;
    std::uint64_t changes_ = 0;
};

}  // namespace tryster::resfile
