#include "exchange/cTreeConstants.h"

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "resfile/ReconObject.h"

#include <cstring>

namespace tryster::exchange {

using namespace resfile;

namespace {

constexpr std::uint16_t kFlagBit = 0x8000;
constexpr std::uint16_t kCountMask = 0x7FFF;
// Two numbers and two strings of at least one byte each.
constexpr std::size_t kMinLabelBytes = 10;

}  // namespace

void cTreeConstants::Reconstitute(ReconStream& stream, std::int32_t version) {
    auto count = static_cast<std::uint32_t>(entries_.size());
    stream.field(&count, 1);
    if (stream.reading()) {
        if (!stream.expect(count, kMinLabelBytes)) return;
        entries_.assign(count, Entry{});
    }
    for (Entry& e : entries_) {
        stream.field(&e.number1, 1);
        stream.field(&e.number2, 1);
        stream.field(e.label);
        stream.field(e.comment);
        if (version >= 1) {
            stream.field(&e.extraByte, 1);
            stream.field(&e.extraWord1, 1);
            stream.field(&e.extraWord2, 1);
        }
    }
}

ResError cTreeConstants::load(iResFile& file, std::int16_t id) {
    *this = cTreeConstants{};
    SimpleReconObject<cTreeConstants> labels(this, kTypeConstantLabels);
    std::int32_t version = 0;
    if (ResError error = ReadReconObject(labels, file, id, version); error != kNoError) {
        entries_.clear();
        return error;
    }

    DataHandle handle = file.GetResource(kTypeConstants, id, nullptr);
    if (!handle) {
        entries_.clear();
        return file.lastError();
    }
    std::string name;
    (void)file.GetResName(handle, name);  // the file's own handle: it cannot fail
    const bool native = file.IsNativeOrder(handle);
    io::ByteReader reader(handleBytes(handle));
    auto next = [&](std::uint16_t& v) { return native ? reader.u16le(v) : reader.u16be(v); };
    std::uint16_t header = 0;
    const bool hasHeader = next(header);
    if (hasHeader) {
        const std::size_t stored = header & kCountMask;
        for (std::size_t k = 0; k < entries_.size() && k < stored; ++k) {
            if (!next(entries_[k].value)) break;
        }
    }
    (void)ReleaseAndDispose(file, handle);  // the data is read; what the file keeps, it disposes
    if (!hasHeader) {
        entries_.clear();
        return kBadChunk;
    }

    if (auto* object = dynamic_cast<ObjResFile*>(&file)) {
        if (auto* defaults = dynamic_cast<TreeConstantDefaults*>(object->FindKeyed(id))) {
            for (std::size_t k = 0; k < entries_.size() && k < defaults->values.size(); ++k) {
                entries_[k].defaultValue = defaults->values[k];
                entries_[k].hasDefault = true;
            }
        }
    }
    file_ = &file;
    id_ = id;
    name_ = name;
    flag_ = (header & kFlagBit) != 0;
    version_ = version;
    return kNoError;
}

void cTreeConstants::create(iResFile& file, std::int16_t id, std::string_view name, std::int32_t labelVersion,
                            bool flag, std::vector<Entry> entries) {
    file_ = &file;
    id_ = id;
    name_ = clipName(name);
    version_ = labelVersion;
    flag_ = flag;
    entries_ = std::move(entries);
}

ResError cTreeConstants::save() {
    if (!file_) return kBadChunk;
    if (entries_.size() > kCountMask) return kBadChunk;
    SimpleReconObject<cTreeConstants> labels(this, kTypeConstantLabels);
    if (ResError error = WriteReconObject(labels, version_, *file_, id_); error != kNoError) return error;

    io::ByteWriter w;
    w.u16le(static_cast<std::uint16_t>(entries_.size() | (flag_ ? kFlagBit : 0u)));
    for (const Entry& e : entries_) w.u16le(e.value);
    DataHandle handle = newHandleWith(w.bytes());
    if (!handle) return LastHandleError();
    if (ResError error = file_->AddResource(handle, kTypeConstants, id_, name_, true); error != kNoError) {
        (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
        return error;
    }
    if (ResError error = file_->WriteResource(handle); error != kNoError) return error;
    if (ResError error = ReleaseAndDispose(*file_, handle); error != kNoError) return error;
    return file_->Update();
}

cTreeConstants::Entry* cTreeConstants::entry(int index) {
    if (index < 0 || index >= count()) return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
}

const cTreeConstants::Entry* cTreeConstants::entry(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
}

}  // namespace tryster::exchange
