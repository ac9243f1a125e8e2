#pragma once
// Steps shared by both container kinds over their chunk file and index.

#include "resfile/ChunkFile.h"
#include "resfile/ResIndex.h"

#include <cstdint>
#include <span>

namespace tryster::resfile {

// The entry's handle, reading its data first when it has none (or its
// handle was disposed behind the file's back). The loader runs on data not
// stored in native order and the entry's current flags then say native.
ResError loadEntry(ChunkFile& chunks, ResIndex& index, ResEntry& entry, ResLoader loader, DataHandle& out);
// Stores `data` as the entry's chunk: in place when the size is unchanged,
// else in new room (the old chunk freed first, so the entry is pending
// until the new one is written).
ResError writeEntry(ChunkFile& chunks, ResEntry& entry, std::span<const std::uint8_t> data);
// The entry for a chunk met by a walk (the name is taken from the header).
ResEntry entryOf(std::uint64_t offset, ChunkHeader& header);
// Frees the entry's chunk, if any; the entry is then pending.
ResError freeEntry(ChunkFile& chunks, ResEntry& entry);
void disposeHandles(ResIndex& index);
// Updates the offsets of the index's entries as compaction moves chunks.
ResError compactFile(ChunkFile& chunks, ResIndex& index, ResType droppedType);
// One above the largest id of the type (at least 128); when that passes
// 32767, the smallest unused id above 128; 0 when there is none.
std::int16_t uniqueId(const ResIndex& index, const ResTypeRecord* type);
std::int16_t clampCount(std::size_t n);

}  // namespace tryster::resfile
