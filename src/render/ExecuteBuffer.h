#pragma once
// An execute buffer being recorded: a vertex area followed by instructions
// (platform/ExecuteBufferFormat.h gives the byte layout). The bytes are
// kept between recordings, so re-recording the same mesh allocates nothing.

#include "platform/DeviceTypes.h"
#include "platform/ExecuteBufferFormat.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace tryster::render {

// One instruction header as recorded.
struct D3DInstruction {
    enum Op : std::uint8_t {
        OpSetStatus = static_cast<std::uint8_t>(platform::ExecuteOp::SetStatus),
        OpStateLight = static_cast<std::uint8_t>(platform::ExecuteOp::StateLight),
        OpProcessVertices = static_cast<std::uint8_t>(platform::ExecuteOp::ProcessVertices),
        OpStateRender = static_cast<std::uint8_t>(platform::ExecuteOp::StateRender),
        OpTriangleList = static_cast<std::uint8_t>(platform::ExecuteOp::Triangle),
        OpStateTransform = static_cast<std::uint8_t>(platform::ExecuteOp::StateTransform),
        OpNop = static_cast<std::uint8_t>(platform::ExecuteOp::Nop),
        OpExit = static_cast<std::uint8_t>(platform::ExecuteOp::Exit),
    };
    Op op;
    std::uint8_t recordSize;
    std::uint16_t count;
};

class ExecuteBuffer {
public:
    using StatePair = std::pair<std::uint32_t, std::uint32_t>;

    // Starts a recording with room for `vertexCount` vertices.
    void begin(std::size_t vertexCount);
    // Copies vertices into the vertex area from `first` on (clipped to it).
    void writeVertices(std::size_t first, std::span<const platform::DeviceVertex> vertices);
    std::size_t vertexCount() const { return vertexCount_; }

    void setStatus(std::uint32_t flags, std::uint32_t status, const platform::ScreenRect& extent);
    void stateLight(std::span<const StatePair> states);
    void stateRender(std::span<const StatePair> states);
    void processVertices(std::uint32_t flags, std::uint16_t start, std::uint16_t dest, std::uint32_t count);
    // Split into instructions of at most 65535 triangles.
    void triangleList(std::span<const std::uint16_t> indices);
    void exit();

    std::span<const std::uint8_t> bytes() const { return bytes_; }
    platform::ExecuteData data() const;
    // The instructions recorded, in order (for checks and tests).
    std::vector<D3DInstruction> instructions() const;
    bool empty() const { return bytes_.empty(); }

private:
    void header(D3DInstruction::Op op, std::size_t recordSize, std::size_t count);
    template <typename T>
    void record(const T& value);

    std::vector<std::uint8_t> bytes_;
    std::size_t vertexCount_ = 0;
};

}  // namespace tryster::render
