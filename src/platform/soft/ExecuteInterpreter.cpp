// The execute-buffer side of the software device: instructions are read
// one by one from the buffer, every record checked against its end.

#include "platform/soft/SoftwareDevice.h"

#include <cstring>
#include <new>

namespace tryster::platform::soft {

using namespace device_result;

DeviceResult SoftwareDevice::execute(std::span<const std::uint8_t> buffer, const ExecuteData& data,
                                     ExecuteClipping) {
    const std::size_t size = buffer.size();
    if (data.vertexOffset > size || data.vertexCount > (size - data.vertexOffset) / sizeof(DeviceVertex) ||
        data.instructionOffset > size || data.instructionLength > size - data.instructionOffset)
        return kInvalidParams;
    // Buffers of state instructions alone work outside a scene; drawing
    // ones are readied at their first vertex or triangle instruction.
    bool prepared = false;
    auto prepare = [&]() -> DeviceResult {
        if (prepared) return kOk;
        DeviceResult rc = prepareDraw();
        prepared = rc == kOk;
        return rc;
    };
    const std::uint32_t vertexCount = data.vertexCount;
    try {
        if (processed_.size() < vertexCount) processed_.resize(vertexCount);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    for (std::uint32_t i = 0; i < vertexCount; ++i) processed_[i].clip = kUnprocessed;
    // Source vertices are copied out one process instruction at a time, so
    // an unaligned buffer is fine.
    const std::uint8_t* vertexBytes = buffer.data() + data.vertexOffset;
    std::vector<DeviceVertex>& source = sourceScratch_;

    std::size_t pos = data.instructionOffset;
    const std::size_t end = pos + data.instructionLength;
    DeviceResult result = kOk;
    while (end - pos >= sizeof(ExecuteInstruction)) {
        ExecuteInstruction ins;
        std::memcpy(&ins, buffer.data() + pos, sizeof ins);
        pos += sizeof ins;
        const std::size_t recordBytes = std::size_t{ins.size} * ins.count;
        if (recordBytes > end - pos) {
            result = kInvalidParams;
            break;
        }
        const std::uint8_t* records = buffer.data() + pos;
        pos += recordBytes;
        auto op = static_cast<ExecuteOp>(ins.opcode);
        if (op == ExecuteOp::Exit) break;
        if (op == ExecuteOp::Nop) continue;
        auto needs = [&](std::size_t bytes) { return ins.count == 0 || ins.size >= bytes; };
        switch (op) {
            case ExecuteOp::Triangle:
                if (!needs(sizeof(ExecuteTriangle))) return kInvalidParams;
                if (DeviceResult rc = prepare()) return rc;
                drawTriangles(ins.count, vertexCount,
                              [&](std::uint32_t t, std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
                                  ExecuteTriangle tri;
                                  std::memcpy(&tri, records + std::size_t{t} * ins.size, sizeof tri);
                                  a = tri.v1;
                                  b = tri.v2;
                                  c = tri.v3;
                              });
                break;
            case ExecuteOp::ProcessVertices:
                if (!needs(sizeof(ExecuteProcessVertices))) return kInvalidParams;
                if (DeviceResult rc = prepare()) return rc;
                for (std::uint16_t r = 0; r < ins.count; ++r) {
                    ExecuteProcessVertices pv;
                    std::memcpy(&pv, records + std::size_t{r} * ins.size, sizeof pv);
                    std::uint32_t opKind = pv.flags & kProcessOpMask;
                    if (pv.count > vertexCount || pv.start > vertexCount - pv.count ||
                        pv.dest > vertexCount - pv.count || opKind == kProcessCopy)
                        return kInvalidParams;
                    source.resize(pv.count);
                    std::memcpy(source.data(), vertexBytes + std::size_t{pv.start} * sizeof(DeviceVertex),
                                std::size_t{pv.count} * sizeof(DeviceVertex));
                    process(source.data(), pv.count, processed_.data() + pv.dest,
                            opKind == kProcessTransformLight);
                }
                break;
            case ExecuteOp::StateLight:
            case ExecuteOp::StateRender:
                if (!needs(sizeof(ExecuteState))) return kInvalidParams;
                for (std::uint16_t r = 0; r < ins.count; ++r) {
                    ExecuteState s;
                    std::memcpy(&s, records + std::size_t{r} * ins.size, sizeof s);
                    DeviceResult rc = op == ExecuteOp::StateLight ? setLightState(s.state, s.value)
                                                                  : setRenderState(s.state, s.value);
                    if (rc) return rc;
                }
                // States change how the following triangles are drawn.
                if (prepared) {
                    uniteExtent();
                    prepared = false;
                    if (DeviceResult rc = prepare()) return rc;
                }
                break;
            case ExecuteOp::SetStatus:
                if (!needs(sizeof(ExecuteStatus))) return kInvalidParams;
                for (std::uint16_t r = 0; r < ins.count; ++r) {
                    ExecuteStatus s;
                    std::memcpy(&s, records + std::size_t{r} * ins.size, sizeof s);
                    if (prepared) uniteExtent();
                    rasterizer_.resetExtent();
                    if (s.flags & kSetStatusStatus) clipStatus_.status = s.status;
                    if (s.flags & kSetStatusExtents) {
                        clipStatus_.extent = {s.x1, s.y1, s.x2, s.y2};
                        clipStatus_.hasExtent = s.x1 < s.x2 && s.y1 < s.y2;
                    }
                }
                break;
            default:
                // Transform instructions name matrix handles, which this
                // device does not keep.
                return op == ExecuteOp::StateTransform ? kUnsupported : kInvalidParams;
        }
    }
    if (prepared) uniteExtent();
    return result;
}

}  // namespace tryster::platform::soft
