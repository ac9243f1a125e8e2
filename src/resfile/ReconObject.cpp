#include "resfile/ReconObject.h"

#include "io/ByteReader.h"

#include <algorithm>
#include <cstring>

namespace tryster::resfile {

void ReconObject::Reconstitute(ReconStream&, std::int32_t) {}

void RconLoader(std::uint8_t* data, std::size_t size) {
    if (size < kRecordFrameSize) return;
    data[0] = 1;
    data[1] = 0;
    std::reverse(data + 4, data + 8);
    std::reverse(data + 8, data + 12);
}

ResError readRecord(ReconObject& object, std::span<std::uint8_t> data, std::int32_t& version) {
    io::ByteReader frame(data);
    std::uint16_t swapFlag = 0;
    std::int32_t stored = 0;
    // The flag is any non-zero word; version and type are in machine order.
    if (!frame.u16le(swapFlag) || !frame.skip(2) || !frame.i32le(stored) || !frame.skip(4)) return kBadChunk;
    const bool swap = swapFlag != 0;
    version = stored;
    ReconStream stream(ReconStream::Mode::Read, data, swap, kRecordFrameSize);
    object.Reconstitute(stream, version);
    return stream.ok() ? kNoError : kBadChunk;
}

DataHandle writeRecord(ReconObject& object, std::int32_t version) {
    ReconStream measure(kRecordFrameSize);
    object.Reconstitute(measure, version);
    std::size_t size = measure.position();
    if (!measure.ok() || size > kMaxChunkSize) return {};
    DataHandle handle = NewDataHandle(size);
    if (!handle) return {};
    std::span<std::uint8_t> data = handleBytes(handle);
    auto putLe32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) data[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    putLe32(4, static_cast<std::uint32_t>(version));
    putLe32(8, object.GetType());
    ReconStream stream(ReconStream::Mode::Write, data, false, kRecordFrameSize);
    object.Reconstitute(stream, version);
    if (!stream.ok() || stream.position() != size) {
        (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
        return {};
    }
    return handle;
}

ResError ReadReconObject(ReconObject& object, iResFile& file, std::int16_t id, std::int32_t& version) {
    DataHandle handle = file.GetResource(object.GetType(), id, RconLoader);
    if (!handle) return file.lastError();
    ResError error = readRecord(object, handleBytes(handle), version);
    (void)ReleaseAndDispose(file, handle);  // the data is read; what the file keeps, it disposes
    return error;
}

ResError WriteReconObject(ReconObject& object, std::int32_t version, iResFile& file, std::int16_t id) {
    DataHandle handle = writeRecord(object, version);
    if (!handle) return kBadChunk;
    ResError error = file.AddResource(handle, object.GetType(), id, "", true);
    if (error != kNoError) {
        (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
        return error;
    }
    error = file.WriteResource(handle);
    if (error != kNoError) {
        (void)file.RemoveResource(handle);  // the write's error is the one reported
        return error;
    }
    (void)file.ReleaseResource(handle);  // written, so the file lets it go
    (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
    return kNoError;
}

}  // namespace tryster::resfile
