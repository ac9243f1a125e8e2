#pragma once
// The parts of an object definition ('OBJD') resource that the exporters
// touch: the object's identifier, by which the game and its neighbourhoods
// know the object, and the identifier it was copied from.
//
// Both are 32-bit values in the resource's own byte order (little-endian
// when the resource is marked native, big-endian otherwise).

#include "resfile/ResTypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tryster::resfile {
class iResFile;
}

namespace tryster::exchange {

inline constexpr resfile::ResType kTypeObjectDefinition = resfile::makeType("OBJD");
inline constexpr std::size_t kObjectIdentifierOffset = 28;
inline constexpr std::size_t kPreviousIdentifierOffset = 140;
// A townie replaced by a date carries this value in the 16-bit field at
// this offset of its first definition.
inline constexpr std::size_t kReplacedMarkOffset = 18;
inline constexpr std::uint16_t kReplacedMark = 2;
// The shortest definition that holds both fields.
inline constexpr std::size_t kMinObjectDefinitionSize = kPreviousIdentifierOffset + 4;

// (tick count in ms << 16) xor calendar seconds xor the next number of the
// runtime generator: two objects made in the same second and millisecond
// still differ through the generator.
std::uint32_t freshObjectIdentifier();

// What one object definition of a file holds, as far as it can be read.
struct ObjectDefinitionRead {
    bool read = false;  // its data could be read
    std::optional<std::uint32_t> identifier;  // none: not read, or ending before it
    // Read and long enough for both identifiers, as the game writes them.
    bool whole = false;
};

// Every object definition of the file, in index order; the file is only
// read. Each caller decides what a damaged definition means to it.
std::vector<ObjectDefinitionRead> readObjectDefinitions(resfile::iResFile& file);

// The 32-bit value at `offset`; none when the data ends before it.
std::optional<std::uint32_t> readObjectField(std::span<const std::uint8_t> data, std::size_t offset, bool native);
// False (and nothing written) when the data ends before the field's end.
bool writeObjectField(std::span<std::uint8_t> data, std::size_t offset, bool native, std::uint32_t value);
// The same for a 16-bit field.
bool writeObjectWord(std::span<std::uint8_t> data, std::size_t offset, bool native, std::uint16_t value);

}  // namespace tryster::exchange
