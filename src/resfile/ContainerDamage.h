#pragma once
// Damage a container showed when it was opened: its map, or a chunk, runs
// past the end of the file (a file cut short, or a size field gone wrong),
// or a chunk header cannot be read. The chunks before it stay readable and
// are never written over; what lies from there on cannot be read. A
// container that reads to its end, through its map or chunk by chunk, has
// none. In words: damageProblem (FileProblem.h).

#include "resfile/ResError.h"

#include <cstdint>

namespace tryster::resfile {

struct ContainerDamage {
    enum class Kind {
        None,
        MapPastEnd,      // the header's map offset, or the map's chunk, lies past the end
        ListedPastEnd,   // the map lists a chunk past the end
        ChunkPastEnd,    // a chunk's size runs past the end
        HeaderCut,       // the bytes after the last chunk are too few for a chunk header
        BadChunkHeader,  // a chunk header with a size outside header..0x40000000
    };
    Kind kind = Kind::None;
    std::uint64_t offset = 0;    // of the map, the listed chunk, or the chunk where the walk stopped
    std::uint64_t fileSize = 0;

    explicit operator bool() const { return kind != Kind::None; }
    // The code the library gives for reading there: kShortRead for what
    // runs past the end, kBadChunk for a header that cannot be read.
    ResError code() const { return kind == Kind::BadChunkHeader ? kBadChunk : kShortRead; }
};

}  // namespace tryster::resfile
