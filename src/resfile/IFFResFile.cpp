// Opening, updating and closing a 1.0 container.

#include "resfile/IFFResFile.h"

#include "resfile/ChunkWalker.h"
#include "resfile/ContainerOps.h"
#include "resfile/FileHeaders.h"
#include "resfile/ReconObject.h"

namespace tryster::resfile {
namespace {

constexpr std::int16_t kRawNameListId = 0;
constexpr std::int16_t kNameListId = 1;

void leaveAsIs(std::uint8_t*, std::size_t) {}

}  // namespace

IFFResFile::~IFFResFile() {
    if (IsOpen()) (void)Close();  // a destructor has no one to tell
}

// The file is made with its header, then opened to store an empty name
// list. Every step's error is reported, the first one winning.
ResError IFFResFile::Create(std::string_view path) {
    ResError error = createWithHeader(path, makeHeader10());
    if (error != kNoError) return error;
    if ((error = Open(path)) != kNoError) return setError(error);
    names_.clear();
    error = writeNameList();
    ResError closed = Close();
    return setError(error != kNoError ? error : closed);
}

ResError IFFResFile::Open(std::string_view path) {
    FileHeader header{};
    if (ResError error = openWithHeader(path, header); error != kNoError) return error;
    if (!isHeader10(header)) {
        (void)chunks_.flat().close();  // the open's own error is the one reported
        return setError(kBadHeader);
    }
    visible_.clear();
    internal_.clear();
    chunks_.freeBytes = 0;
    chunks_.hint = -1;
    dirty_ = false;
    walk();
    readNameList();
    return setError(kNoError);
}

void IFFResFile::walk() {
    ChunkWalker walker(chunks_);
    ChunkHeader header;
    while (walker.next(header)) {
        const std::uint64_t pos = walker.offset();
        if (header.isFree()) {
            // Space claimed past the end of the file is not there to reuse.
            if (!walker.cutShort()) chunks_.freeBytes += header.size;
        } else {
            ResIndex& list = (header.flags & kFlagInternal) ? internal_ : visible_;
            list.append(list.typeFor(header.type), entryOf(pos, header));
        }
    }
    damage_ = walker.damage();
}

// A list that cannot be read leaves the list empty; resources stay
// reachable by id.
void IFFResFile::readNameList() {
    names_.clear();
    internalActive_ = true;
    if (DataHandle raw = GetResource(kTypeNameList, kRawNameListId, leaveAsIs)) {
        (void)names_.readRaw(handleBytes(raw));  // an unreadable list is an empty one
        (void)ReleaseAndDispose(*this, raw);  // the data is read; what the file keeps, it disposes
    } else {
        SimpleReconObject<IFFNameList> record(&names_, kTypeNameList);
        std::int32_t version = 0;
        if (ReadReconObject(record, *this, kNameListId, version) != kNoError) names_.clear();
    }
    names_.setDirty(false);
    internalActive_ = false;
}

// Writes the list as the record and drops the raw form.
ResError IFFResFile::writeNameList() {
    internalActive_ = true;
    SimpleReconObject<IFFNameList> record(&names_, kTypeNameList);
    ResError error = WriteReconObject(record, 0, *this, kNameListId);
    if (error == kNoError) {
        names_.setDirty(false);
        if (DataHandle raw = GetResource(kTypeNameList, kRawNameListId, nullptr)) error = RemoveResource(raw);
    }
    internalActive_ = false;
    return error;
}

// Pending resources are written oldest first; an error of the name list is
// kept, and the resources are still written.
ResError IFFResFile::Update() {
    if (!requireOpen()) return lastError();
    ResError first = kNoError;
    if (names_.dirty()) first = writeNameList();
    for (const auto& type : visible_.types()) {
        for (const auto& entry : type->entries) {
            if (entry->onDisk()) continue;
            ResError error = WriteResource(entry->handle);
            if (first == kNoError) first = error;
        }
    }
    if (first == kNoError) first = chunks_.flat().flush();
    return setError(first);
}

// A file in which nothing changed is not written to, not even compacted.
// Compaction runs only when everything pending was written: data is not
// moved around on a disk that just failed.
ResError IFFResFile::Close() {
    if (!requireOpen()) return lastError();
    const bool changed = dirty_ && chunks_.flat().isWritable();
    ResError pending = changed ? Update() : kNoError;
    disposeHandles(visible_);
    disposeHandles(internal_);
    visible_.clear();
    internal_.clear();
    if (pending == kNoError && changed && chunks_.freeBytes >= kCompactThreshold)
        pending = compactFile(chunks_, visible_, 0);
    names_.clear();
    names_.setDirty(false);
    dirty_ = false;
    ResError closed = chunks_.flat().close();
    return setError(pending != kNoError ? pending : closed);
}

ResError IFFResFile::Suspend() { return setError(kFileError); }
ResError IFFResFile::Resume() { return setError(kFileError); }

}  // namespace tryster::resfile
