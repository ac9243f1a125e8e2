#pragma once
// Files and folders as the program sees them.
//
// The program writes paths the way the game does: '\' separators, relative
// game paths ("GameData\Skins\x.cmx"), names in whatever letter case the
// code happens to use. This seam turns such a path into one the operating
// system can open: separators are converted, and on case-sensitive file
// systems each existing component is matched without regard to case.
//
// All file access of the core goes through `FileSystem`, so tests can put a
// double in its place (for example one that fails its n-th write).
//
// Each job has a file of its own: the path text (PathText.h), resolving a
// path against the disk (PathResolution.h), case-insensitive text
// (TextNoCase.h), patterns (PathPattern.h), whole-file reads and writes
// (WholeFile.h), the POSIX files (PosixFileSystem.cpp) and the installed
// instance (FileSystem.cpp). This header brings them all, as most users of
// files need several. Replacing a player's file so that it survives a crash
// or a power cut is StagedFile.h's job, over `syncFile` and `syncFolder`.

#include "platform/PathPattern.h"
#include "platform/PathResolution.h"
#include "platform/PathText.h"
#include "platform/TextNoCase.h"
#include "platform/WholeFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::platform {

// An open file. Every operation reports failure through its result; none
// throws. Offsets and sizes are bytes.
class File {
public:
    virtual ~File() = default;
    // Bytes actually read (fewer at end of file or on error).
    virtual std::size_t read(void* buffer, std::size_t count) = 0;
    // Bytes actually written (fewer on error).
    virtual std::size_t write(const void* buffer, std::size_t count) = 0;
    virtual bool seek(std::uint64_t offset) = 0;
    // The same at `offset` in one step; the position afterwards is
    // unspecified.
    virtual std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) {
        return seek(offset) ? read(buffer, count) : 0;
    }
    virtual std::size_t writeAt(std::uint64_t offset, const void* buffer, std::size_t count) {
        return seek(offset) ? write(buffer, count) : 0;
    }
    virtual std::optional<std::uint64_t> position() = 0;
    virtual std::optional<std::uint64_t> size() = 0;
    virtual bool truncate(std::uint64_t size) = 0;
    virtual bool flush() = 0;
    virtual bool isWritable() const = 0;
};

enum class OpenMode {
    Read,           // existing file, read only
    ReadWrite,      // existing file, read and write
    CreateNew,      // new file (fails when it exists), read and write
    CreateTruncate  // new or emptied file, read and write
};

struct DirEntry {
    std::string name;  // without folder
    bool isDirectory = false;
};

// A folder held for one copy of the program: another copy, or another
// holder in this one, waits until it is released. Released when the object
// goes, and by the system when the process ends, however it ends, so a
// killed run never leaves a folder held.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

// The operating system's files. Paths are given as the program writes them
// and resolved with `resolvePath`.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<File> open(std::string_view path, OpenMode mode) = 0;
    virtual bool exists(std::string_view path) = 0;
    virtual bool isDirectory(std::string_view path) = 0;
    // A file of bytes: not a folder, a pipe, a socket or a device, which
    // can block a reader or never end. Asked without opening the path.
    virtual bool isRegularFile(std::string_view path) { return exists(path) && !isDirectory(path); }
    virtual std::optional<std::uint64_t> fileSize(std::string_view path) = 0;
    // Deletes a file; false when it does not exist or cannot be deleted.
    virtual bool remove(std::string_view path) = 0;
    // Moves `from` to `to` in one step, replacing `to` when it exists. The
    // move is on the disk only once the folder is synced.
    virtual bool rename(std::string_view from, std::string_view to) = 0;
    // Puts the file's bytes and size on the disk, whichever open file wrote
    // them, so they survive a crash or a power cut; false when the file
    // cannot be opened or the system reports an error.
    virtual bool syncFile(std::string_view path) = 0;
    // Puts the folder's names on the disk: files made, renamed or removed in
    // it. "" is the current folder. False where the system refuses (some
    // file systems cannot sync a folder).
    virtual bool syncFolder(std::string_view path) = 0;
    virtual bool createDirectories(std::string_view path) = 0;
    // Entries of a folder in no particular order; empty when unreadable.
    virtual std::vector<DirEntry> list(std::string_view folder) = 0;
    virtual std::string currentDirectory() = 0;
    virtual bool setCurrentDirectory(std::string_view path) = 0;
    // Holds `folder` (see FolderLock), waiting up to `waitMs` while someone
    // else holds it; null when it was not had by then, or the folder cannot
    // be held at all (it is missing, or its file system has no locks).
    // Nothing is written into the folder.
    virtual std::unique_ptr<FolderLock> lockFolder(std::string_view folder, std::uint32_t waitMs) = 0;
};

// The process-wide file system: the real one unless a test installed
// another. `installFileSystem(nullptr)` restores the real one.
FileSystem& fileSystem();
void installFileSystem(FileSystem* replacement);

// The real file system (for doubles that wrap it).
FileSystem& realFileSystem();

}  // namespace tryster::platform
