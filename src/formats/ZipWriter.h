#pragma once
// Zip archives written entry by entry into a file the caller provides and
// keeps (a staged file it syncs and moves into place once `finish` is done). Entries are regular files,
// deflated, with a fixed time stamp, so the same files give the same
// bytes on every run. Names are UTF-8 and flagged as such.

#include "platform/FileSystem.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tryster::formats {

class ZipWriter {
public:
    virtual ~ZipWriter() = default;
    // Adds a file named `name` ('/' between folders). False on failure
    // (see `message`); nothing more can be added then.
    [[nodiscard]] virtual bool add(std::string_view name, std::span<const std::uint8_t> bytes) = 0;
    // Writes the archive's directory. False on failure; the file is then
    // no archive and must be thrown away.
    [[nodiscard]] virtual bool finish() = 0;
    virtual const std::string& message() const = 0;
};

// Writes into `file`, which must outlive the writer. None, with `error`
// set, when the writer cannot start.
std::unique_ptr<ZipWriter> openZipWriter(platform::File& file, std::string& error);

}  // namespace tryster::formats
