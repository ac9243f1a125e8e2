#include "render/ExecuteBuffer.h"

#include "io/ByteReader.h"

#include <algorithm>
#include <bit>
#include <cstring>

// Records are copied in memory order, which is the format's little-endian
// order on every machine the program builds for.
static_assert(std::endian::native == std::endian::little);

namespace tryster::render {

void ExecuteBuffer::begin(std::size_t vertexCount) {
    vertexCount_ = vertexCount;
    bytes_.resize(vertexCount * sizeof(platform::DeviceVertex));
}

void ExecuteBuffer::writeVertices(std::size_t first, std::span<const platform::DeviceVertex> vertices) {
    if (first >= vertexCount_) return;
    std::size_t n = std::min(vertices.size(), vertexCount_ - first);
    std::memcpy(bytes_.data() + first * sizeof(platform::DeviceVertex), vertices.data(),
                n * sizeof(platform::DeviceVertex));
}

void ExecuteBuffer::header(D3DInstruction::Op op, std::size_t recordSize, std::size_t count) {
    platform::ExecuteInstruction h{op, static_cast<std::uint8_t>(recordSize),
                                   static_cast<std::uint16_t>(count)};
    record(h);
}

template <typename T>
void ExecuteBuffer::record(const T& value) {
    std::size_t at = bytes_.size();
    bytes_.resize(at + sizeof(T));
    std::memcpy(bytes_.data() + at, &value, sizeof(T));
}

void ExecuteBuffer::setStatus(std::uint32_t flags, std::uint32_t status, const platform::ScreenRect& e) {
    header(D3DInstruction::OpSetStatus, sizeof(platform::ExecuteStatus), 1);
    record(platform::ExecuteStatus{flags, status, e.left, e.top, e.right, e.bottom});
}

void ExecuteBuffer::stateLight(std::span<const StatePair> states) {
    header(D3DInstruction::OpStateLight, sizeof(platform::ExecuteState), states.size());
    for (auto [state, value] : states) record(platform::ExecuteState{state, value});
}

void ExecuteBuffer::stateRender(std::span<const StatePair> states) {
    header(D3DInstruction::OpStateRender, sizeof(platform::ExecuteState), states.size());
    for (auto [state, value] : states) record(platform::ExecuteState{state, value});
}

void ExecuteBuffer::processVertices(std::uint32_t flags, std::uint16_t start, std::uint16_t dest,
                                    std::uint32_t count) {
    header(D3DInstruction::OpProcessVertices, sizeof(platform::ExecuteProcessVertices), 1);
    record(platform::ExecuteProcessVertices{flags, start, dest, count, 0});
}

void ExecuteBuffer::triangleList(std::span<const std::uint16_t> indices) {
    std::size_t triangles = indices.size() / 3;
    for (std::size_t first = 0; first < triangles; first += 65535) {
        std::size_t n = std::min<std::size_t>(65535, triangles - first);
        header(D3DInstruction::OpTriangleList, sizeof(platform::ExecuteTriangle), n);
        std::size_t at = bytes_.size();
        bytes_.resize(at + n * sizeof(platform::ExecuteTriangle));
        std::uint8_t* out = bytes_.data() + at;
        for (std::size_t t = 0; t < n; ++t) {
            const std::uint16_t* i = indices.data() + 3 * (first + t);
            platform::ExecuteTriangle tri{i[0], i[1], i[2], 0};
            std::memcpy(out + t * sizeof tri, &tri, sizeof tri);
        }
    }
}

void ExecuteBuffer::exit() {
    header(D3DInstruction::OpExit, 0, 0);
}

platform::ExecuteData ExecuteBuffer::data() const {
    auto vertexBytes = static_cast<std::uint32_t>(vertexCount_ * sizeof(platform::DeviceVertex));
    return {0, static_cast<std::uint32_t>(vertexCount_), vertexBytes,
            static_cast<std::uint32_t>(bytes_.size()) - vertexBytes};
}

std::vector<D3DInstruction> ExecuteBuffer::instructions() const {
    std::vector<D3DInstruction> out;
    io::ByteReader in(bytes_);
    if (!in.seek(vertexCount_ * sizeof(platform::DeviceVertex))) return out;
    std::uint8_t opcode = 0, size = 0;
    std::uint16_t count = 0;
    while (in.u8(opcode) && in.u8(size) && in.u16le(count)) {
        out.push_back({static_cast<D3DInstruction::Op>(opcode), size, count});
        if (!in.skip(std::size_t{size} * count)) break;
    }
    return out;
}

}  // namespace tryster::render
