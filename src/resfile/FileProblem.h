#pragma once
// A file that is not what an operation needs, told in plain words for a
// player or a modder who knows nothing of the library's codes: the file,
// what was expected of it, what was found, and then the code for those who
// want it.

#include "resfile/ContainerDamage.h"
#include "resfile/ResError.h"

#include <string>
#include <string_view>

namespace tryster::resfile {

struct FileProblem {
    std::string file;
    std::string expected;
    std::string found;
    ResError code = kNoError;  // kNoError: no library call gave one

    // "FILE: expected EXPECTED; found FOUND (kBadHeader (-93))".
    std::string text() const;
    bool operator==(const FileProblem&) const = default;
};

// What a container file of the game is, for `expected`.
inline constexpr std::string_view kContainerExpected =
    "a container file of the game, which starts with \"IFF FILE 2.5:TYPE FOLLOWED BY SIZE\" (or 2.0 or 1.0)";

// What lies at `path`, in words for `found`: "nothing there", "a folder", "an
// empty file", "6 bytes of text: \"hello\"", "a container header of version
// 3.1, which is not 2.0, 2.5 or 1.0", "40 bytes, fewer than a container's
// 64-byte header", "5000 bytes that do not start as a container does (4f
// a2 ...)", or for a container, "a container file of version 2.5". Reads
// at most the first 64 bytes.
std::string describeContents(std::string_view path);

// A file that could not be opened as `expected` (kContainerExpected, or
// what the caller wanted of it) against what lies at `path`, with the
// open's code.
FileProblem openProblem(std::string_view path, std::string_view expected, ResError code);

// A container that opened but is damaged (see ContainerDamage.h): "expected
// its chunks to end with the file (100 bytes); found it damaged: the chunk
// at offset 64 running past the end, so nothing from offset 64 on can be
// read".
FileProblem damageProblem(std::string_view path, const ContainerDamage& damage);
// The damage alone: "the chunk at offset 64 running past the end, so ...".
std::string describeDamage(const ContainerDamage& damage);

}  // namespace tryster::resfile
