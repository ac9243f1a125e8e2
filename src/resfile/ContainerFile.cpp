#include "resfile/ContainerFile.h"

#include "platform/FileSystem.h"
#include "resfile/ContainerOps.h"

namespace tryster::resfile {

void ContainerFile::openNextFrom(std::unique_ptr<platform::File> file) { chunks_.flat().supply(std::move(file)); }

bool ContainerFile::requireOpen() {
    recordError(kNoError);
    if (chunks_.flat().isOpen()) return true;
    recordError(kNotOpen);
    return false;
}

bool ContainerFile::requireWritable() {
    if (!requireOpen()) return false;
    if (chunks_.flat().isWritable()) return true;
    recordError(kNotWritable);
    return false;
}

ResIndex::Location ContainerFile::locate(DataHandle handle, ResError missing) {
    if (!requireOpen()) return {};
    ResIndex::Location at = index().find(handle);
    if (!at) recordError(missing);
    return at;
}

DataHandle ContainerFile::load(ResEntry& entry, ResLoader loader) {
    DataHandle handle;
    if (ResError error = loadEntry(chunks_, index(), entry, loader, handle); error != kNoError)
        recordError(error);
    return handle;
}

ResError ContainerFile::createWithHeader(std::string_view path, const FileHeader& header) {
    recordError(kNoError);
    if (IsOpen()) return setError(kAlreadyOpen);
    if (ResError error = chunks_.flat().create(path); error != kNoError) return setError(error);
    FlatFile temp;
    ResError error = temp.open(path);
    if (error == kNoError) error = temp.write(header.data(), header.size());
    if (temp.isOpen()) {
        ResError closed = temp.close();
        if (error == kNoError) error = closed;
    }
    // An empty file is no container: do not leave one behind.
    if (error != kNoError) (void)temp.remove(path);  // the create's own error is the one reported
    return setError(error);
}

ResError ContainerFile::openWithHeader(std::string_view path, FileHeader& header) {
    recordError(kNoError);
    damage_ = {};
    FlatFile& flat = chunks_.flat();
    if (flat.isOpen()) return setError(kAlreadyOpen);
    if (ResError error = flat.open(path, readOnly_); error != kNoError) return setError(error);
    if (ResError error = flat.readAt(0, header.data(), header.size()); error != kNoError) {
        (void)flat.close();  // the open's own error is the one reported
        return setError(error);
    }
    return kNoError;
}

ResError ContainerFile::Delete(std::string_view path) {
    recordError(kNoError);
    if (IsOpen()) return setError(kAlreadyOpen);
    return setError(chunks_.flat().remove(path));
}

bool ContainerFile::IsWritable() { return chunks_.flat().isWritable(); }

bool ContainerFile::IsOpen() { return chunks_.flat().isOpen(); }

ResError ContainerFile::GetFileName(std::string& out) {
    recordError(kNoError);
    return setError(chunks_.flat().getPath(out));
}

std::int16_t ContainerFile::CountTypes() {
    if (!requireOpen()) return 0;
    return clampCount(index().types().size());
}

std::int16_t ContainerFile::CountResources(ResType type) {
    if (!requireOpen()) return 0;
    const ResTypeRecord* record = index().findType(type);
    return record ? clampCount(record->entries.size()) : 0;
}

ResType ContainerFile::GetResType(DataHandle handle) {
    ResIndex::Location at = locate(handle, kResNotFound);
    return at ? at.entry->type : 0;
}

ResError ContainerFile::GetResID(DataHandle handle, std::int16_t& id) {
    ResIndex::Location at = locate(handle, kResNotFound);
    if (at) id = static_cast<std::int16_t>(at.entry->id);
    return lastError();
}

ResError ContainerFile::ReservedQuery(DataHandle, std::int16_t& out) {
    out = 0;
    if (!requireOpen()) return lastError();
    return setError(kUnsupported);
}

ResError ContainerFile::ReservedAction(std::int32_t) {
    if (!requireOpen()) return lastError();
    return setError(kUnsupported);
}

std::int16_t ContainerFile::UniqueID(ResType type) {
    if (!requireOpen()) return 0;
    std::int16_t id = uniqueId(index(), index().findType(type));
    if (id == 0) recordError(kResNotFound);
    return id;
}

ResError ContainerFile::ReleaseResource(DataHandle handle) {
    ResIndex::Location at = locate(handle, kResNameNotFound);
    if (!at) return lastError();
    if (!at.entry->onDisk()) {
        if (ResError error = WriteResource(handle); error != kNoError) return setError(error);
    }
    index().detach(*at.entry);
    at.entry->flags = at.entry->diskFlags;
    return setError(kNoError);
}

bool ContainerFile::IsNativeOrder(DataHandle handle) {
    ResIndex::Location at = locate(handle, kResNameNotFound);
    return at ? (at.entry->flags & kFlagNative) != 0 : true;
}

// A handle disposed behind the file's back is refused rather than written
// as empty data.
ResError ContainerFile::WriteResource(DataHandle handle) {
    if (!requireWritable()) return lastError();
    ResIndex::Location at = locate(handle, kResNameNotFound);
    if (!at) return lastError();
    if (!isLiveHandle(handle)) return setError(kBadHandle);
    if (ResError error = writeEntry(chunks_, *at.entry, handleBytes(handle)); error != kNoError)
        return setError(error);
    dirty_ = true;
    return setError(chunks_.flat().flush());
}

}  // namespace tryster::resfile
