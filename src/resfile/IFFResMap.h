#pragma once
// The resource map of a 2.5 container: a record of type "rsmp" (id 0,
// variant 0, no name, native) listing every chunk, so the file can be
// indexed without walking it. Body, little-endian as written:
//   4  free byte count
//   4  number of types
//   per type:      4 type code, 4 number of resources
//   per resource:  4 chunk offset, 2 id, 2 flags as on disk,
//                  name zero-terminated and padded to an even position
// The map never lists itself.

#include "resfile/ReconStream.h"
#include "resfile/ResIndex.h"

#include <cstdint>

namespace tryster::resfile {

struct IFFResMap {
    ResIndex* index = nullptr;
    std::int64_t freeBytes = 0;

    // Writing lists the entries on disk of every type but "rsmp"; reading
    // appends what it reads to the index.
    void Reconstitute(ReconStream& stream, std::int32_t version);
};

}  // namespace tryster::resfile
