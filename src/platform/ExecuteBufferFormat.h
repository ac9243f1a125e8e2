#pragma once
// The byte layout of an execute buffer: vertices, then a stream of
// instructions, each a 4-byte header (opcode, record size, record count)
// followed by its records, ending with an exit instruction. Opcode values
// and record layouts follow Direct3D's execute-buffer definitions; numbers
// are little-endian.

#include <cstdint>

namespace tryster::platform {

enum class ExecuteOp : std::uint8_t {
    Nop = 0,  // skips its records
    Triangle = 3,
    StateTransform = 6,
    StateLight = 7,
    StateRender = 8,
    ProcessVertices = 9,
    Exit = 11,
    SetStatus = 14,
};

#pragma pack(push, 1)
struct ExecuteInstruction {
    std::uint8_t opcode;
    std::uint8_t size;    // bytes per record
    std::uint16_t count;  // records that follow
};

struct ExecuteTriangle {
    std::uint16_t v1, v2, v3;
    std::uint16_t flags;
};

// Transforms (and lights) `count` source vertices from `start` into the
// device's processed vertices from `dest`.
struct ExecuteProcessVertices {
    std::uint32_t flags;
    std::uint16_t start;
    std::uint16_t dest;
    std::uint32_t count;
    std::uint32_t reserved;
};
inline constexpr std::uint32_t kProcessTransformLight = 0x0;
inline constexpr std::uint32_t kProcessTransform = 0x1;
inline constexpr std::uint32_t kProcessCopy = 0x2;
inline constexpr std::uint32_t kProcessOpMask = 0x7;

// State instructions: (state, value) pairs.
struct ExecuteState {
    std::uint32_t state;
    std::uint32_t value;
};

struct ExecuteStatus {
    std::uint32_t flags;  // kSetStatus...
    std::uint32_t status;
    std::int32_t x1, y1, x2, y2;
};
inline constexpr std::uint32_t kSetStatusStatus = 0x1;
inline constexpr std::uint32_t kSetStatusExtents = 0x2;
#pragma pack(pop)

static_assert(sizeof(ExecuteInstruction) == 4);
static_assert(sizeof(ExecuteTriangle) == 8);
static_assert(sizeof(ExecuteProcessVertices) == 16);
static_assert(sizeof(ExecuteState) == 8);
static_assert(sizeof(ExecuteStatus) == 24);

// Where the parts of a buffer are, in bytes from its start.
struct ExecuteData {
    std::uint32_t vertexOffset = 0;
    std::uint32_t vertexCount = 0;
    std::uint32_t instructionOffset = 0;
    std::uint32_t instructionLength = 0;
};

}  // namespace tryster::platform
