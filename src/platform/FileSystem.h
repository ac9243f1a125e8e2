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

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::platform {

// '\' and '/' both separate; the result uses the platform's own separator.
std::string toNativeSeparators(std::string_view path);

// The platform's separator as text ("/" here).
char nativeSeparator();

// Resolves `path` against the disk: every component that exists in some
// letter case is replaced by the spelling on disk (an exact match wins over
// a case-insensitive one). Components past the first missing one keep the
// spelling given, so a file about to be created lands in the folder that
// exists. Relative paths stay relative (to the current directory).
std::filesystem::path resolvePath(std::string_view path);

// Case-insensitive comparisons (ASCII letters only, like the game).
bool equalsNoCase(std::string_view a, std::string_view b);
bool lessNoCase(std::string_view a, std::string_view b);
bool containsNoCase(std::string_view text, std::string_view part);
std::string toLower(std::string_view text);
std::string toUpper(std::string_view text);

// Pattern match with '*' (any run) and '?' (any one character), letters
// compared without regard to case.
bool matchesPattern(std::string_view name, std::string_view pattern);

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

// The operating system's files. Paths are given as the program writes them
// and resolved with `resolvePath`.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<File> open(std::string_view path, OpenMode mode) = 0;
    virtual bool exists(std::string_view path) = 0;
    virtual bool isDirectory(std::string_view path) = 0;
    virtual std::optional<std::uint64_t> fileSize(std::string_view path) = 0;
    // Deletes a file; false when it does not exist or cannot be deleted.
    virtual bool remove(std::string_view path) = 0;
    // Moves `from` to `to` in one step, replacing `to` when it exists.
    virtual bool rename(std::string_view from, std::string_view to) = 0;
    virtual bool createDirectories(std::string_view path) = 0;
    // Entries of a folder in no particular order; empty when unreadable.
    virtual std::vector<DirEntry> list(std::string_view folder) = 0;
    virtual std::string currentDirectory() = 0;
    virtual bool setCurrentDirectory(std::string_view path) = 0;
};

// The process-wide file system: the real one unless a test installed
// another. `installFileSystem(nullptr)` restores the real one.
FileSystem& fileSystem();
void installFileSystem(FileSystem* replacement);

// The real file system (for doubles that wrap it).
FileSystem& realFileSystem();

// Files of `folder` whose names match `pattern`, as names without folder,
// in case-insensitive name order (ties broken by the exact bytes), the way
// the game's platform lists a pattern search. Folders are left out.
std::vector<std::string> findFiles(std::string_view folder, std::string_view pattern);

// Joins a folder and a name with the platform's separator (no separator is
// added when the folder is empty or already ends in one).
std::string joinPath(std::string_view folder, std::string_view name);

// A path's folder with its closing separator ("" when the path names no
// folder), and the name after it. Either separator counts.
std::string_view folderPart(std::string_view path);
std::string_view namePart(std::string_view path);

// Whole-file helpers over `fileSystem()`.
std::optional<std::vector<std::uint8_t>> readWholeFile(std::string_view path);
bool writeWholeFile(std::string_view path, const void* data, std::size_t size);

}  // namespace tryster::platform
