// The execute-buffer side of the software device: instructions are read
// one by one from the buffer through the checked cursor, every record
// checked against its end.

#include "softgpu/SoftwareDevice.h"

#include "io/ByteReader.h"

#include <cstring>
#include <new>

namespace tryster::softgpu {

using namespace platform::device_result;

// Records are read field by field through the checked cursor, in the
// little-endian layout of ExecuteBufferFormat.h; a record longer than its
// fields is fine (the rest is skipped), a shorter one is refused.
namespace {

bool read(io::ByteReader& in, platform::ExecuteInstruction& out) {
    return in.u8(out.opcode) && in.u8(out.size) && in.u16le(out.count);
}
bool read(io::ByteReader& in, platform::ExecuteTriangle& out) {
    return in.u16le(out.v1) && in.u16le(out.v2) && in.u16le(out.v3) && in.u16le(out.flags);
}
bool read(io::ByteReader& in, platform::ExecuteProcessVertices& out) {
    return in.u32le(out.flags) && in.u16le(out.start) && in.u16le(out.dest) && in.u32le(out.count) &&
           in.u32le(out.reserved);
}
bool read(io::ByteReader& in, platform::ExecuteState& out) { return in.u32le(out.state) && in.u32le(out.value); }
bool read(io::ByteReader& in, platform::ExecuteStatus& out) {
    return in.u32le(out.flags) && in.u32le(out.status) && in.i32le(out.x1) && in.i32le(out.y1) &&
           in.i32le(out.x2) && in.i32le(out.y2);
}

// Record `index` of an instruction's records.
template <typename Record>
bool readRecord(const io::ByteReader& records, std::size_t index, std::size_t size, Record& out) {
    io::ByteReader one;
    return records.rangeReader(index * size, size, one) && read(one, out);
}

}  // namespace

platform::DeviceResult SoftwareDevice::execute(std::span<const std::uint8_t> buffer, const platform::ExecuteData& data,
                                     platform::ExecuteClipping) {
    const io::ByteReader whole(buffer);
    io::ByteReader vertices;
    io::ByteReader in;
    // A 32-bit count of vertices times their size fits a 64-bit size.
    static_assert(sizeof(std::size_t) >= 8);
    if (!whole.rangeReader(data.vertexOffset, std::size_t{data.vertexCount} * sizeof(platform::DeviceVertex), vertices) ||
        !whole.rangeReader(data.instructionOffset, data.instructionLength, in))
        return kInvalidParams;
    // Buffers of state instructions alone work outside a scene; drawing
    // ones are readied at their first vertex or triangle instruction.
    bool prepared = false;
    auto prepare = [&]() -> platform::DeviceResult {
        if (prepared) return kOk;
        platform::DeviceResult rc = prepareDraw();
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
    std::vector<platform::DeviceVertex>& source = sourceScratch_;

    platform::DeviceResult result = kOk;
    platform::ExecuteInstruction ins;
    while (read(in, ins)) {
        io::ByteReader records;
        if (!in.subReader(std::size_t{ins.size} * ins.count, records)) {
            result = kInvalidParams;
            break;
        }
        auto op = static_cast<platform::ExecuteOp>(ins.opcode);
        if (op == platform::ExecuteOp::Exit) break;
        if (op == platform::ExecuteOp::Nop) continue;
        // Records shorter than their fields are refused before anything is drawn.
        auto needs = [&](std::size_t bytes) { return ins.count == 0 || ins.size >= bytes; };
        switch (op) {
            case platform::ExecuteOp::Triangle:
                if (!needs(sizeof(platform::ExecuteTriangle))) return kInvalidParams;
                if (platform::DeviceResult rc = prepare()) return rc;
                drawTriangles(ins.count, vertexCount,
                              [&](std::uint32_t t, std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
                                  platform::ExecuteTriangle tri{};
                                  // The sizes were checked; a failure would draw nothing
                                  // (indices past the vertices are skipped).
                                  if (!readRecord(records, t, ins.size, tri)) {
                                      a = b = c = vertexCount;
                                      return;
                                  }
                                  a = tri.v1;
                                  b = tri.v2;
                                  c = tri.v3;
                              });
                break;
            case platform::ExecuteOp::ProcessVertices:
                if (!needs(sizeof(platform::ExecuteProcessVertices))) return kInvalidParams;
                if (platform::DeviceResult rc = prepare()) return rc;
                for (std::uint16_t r = 0; r < ins.count; ++r) {
                    platform::ExecuteProcessVertices pv;
                    if (!readRecord(records, r, ins.size, pv)) return kInvalidParams;
                    std::uint32_t opKind = pv.flags & platform::kProcessOpMask;
                    if (pv.count > vertexCount || pv.start > vertexCount - pv.count ||
                        pv.dest > vertexCount - pv.count || opKind == platform::kProcessCopy)
                        return kInvalidParams;
                    source.resize(pv.count);
                    io::ByteReader from;
                    if (!vertices.rangeReader(std::size_t{pv.start} * sizeof(platform::DeviceVertex),
                                              std::size_t{pv.count} * sizeof(platform::DeviceVertex), from) ||
                        !from.readBytes(source.data(), std::size_t{pv.count} * sizeof(platform::DeviceVertex)))
                        return kInvalidParams;
                    process(source.data(), pv.count, processed_.data() + pv.dest,
                            opKind == platform::kProcessTransformLight);
                }
                break;
            case platform::ExecuteOp::StateLight:
            case platform::ExecuteOp::StateRender:
                if (!needs(sizeof(platform::ExecuteState))) return kInvalidParams;
                for (std::uint16_t r = 0; r < ins.count; ++r) {
                    platform::ExecuteState s;
                    if (!readRecord(records, r, ins.size, s)) return kInvalidParams;
                    platform::DeviceResult rc = op == platform::ExecuteOp::StateLight ? setLightState(s.state, s.value)
                                                                  : setRenderState(s.state, s.value);
                    if (rc) return rc;
                }
                // States change how the following triangles are drawn.
                if (prepared) {
                    uniteExtent();
                    prepared = false;
                    if (platform::DeviceResult rc = prepare()) return rc;
                }
                break;
            case platform::ExecuteOp::SetStatus:
                if (!needs(sizeof(platform::ExecuteStatus))) return kInvalidParams;
                for (std::uint16_t r = 0; r < ins.count; ++r) {
                    platform::ExecuteStatus s;
                    if (!readRecord(records, r, ins.size, s)) return kInvalidParams;
                    if (prepared) uniteExtent();
                    rasterizer_.resetExtent();
                    if (s.flags & platform::kSetStatusStatus) clipStatus_.status = s.status;
                    if (s.flags & platform::kSetStatusExtents) {
                        clipStatus_.extent = {s.x1, s.y1, s.x2, s.y2};
                        clipStatus_.hasExtent = s.x1 < s.x2 && s.y1 < s.y2;
                    }
                }
                break;
            default:
                // Transform instructions name matrix handles, which this
                // device does not keep.
                return op == platform::ExecuteOp::StateTransform ? kUnsupported : kInvalidParams;
        }
    }
    if (prepared) uniteExtent();
    return result;
}

}  // namespace tryster::softgpu
