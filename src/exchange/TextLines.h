#pragma once
// Reads a text file line by line the way the runtime library's line reader
// does with a 1024-byte buffer: a line longer than 1023 characters comes in
// pieces of at most 1023. Lines are handed out without their line end
// ("\n" or "\r\n").

#include "platform/FileSystem.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace tryster::exchange {

class TextLines {
public:
    static constexpr std::size_t kMaxLineLength = 1023;

    explicit TextLines(std::unique_ptr<platform::File> file) : file_(std::move(file)) {}
    // False at the end of the file.
    bool next(std::string& line);

private:
    bool fill();

    std::unique_ptr<platform::File> file_;
    std::array<char, 8192> buffer_{};
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

}  // namespace tryster::exchange
