#include "resfile/ResolveResFile.h"

#include "resfile/ContainerOps.h"

#include <algorithm>
#include <cstring>

namespace tryster::resfile {

ResolveResFile::~ResolveResFile() {
    if (directory_) (void)Close();  // a destructor has no one to tell
}

ResError ResolveResFile::fromService(int code) {
    switch (code) {
    case kDirOk: return kNoError;
    case kDirNotFound: return kResNotFound;
    case kDirNoMemory: return kNoMemory;
    default: return kBadChunk;
    }
}

bool ResolveResFile::requireOpen() {
    recordError(kNoError);
    if (directory_) return true;
    recordError(kNotOpen);
    return false;
}

ResError ResolveResFile::Open(std::string_view path) {
    recordError(kNoError);
    if (directory_) return setError(kAlreadyOpen);
    std::string folder(path);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    while (folder.starts_with("./")) folder.erase(0, 2);
    auto directory = std::make_unique<ResDirectory>();
    if (directory->open(folder) != kDirOk) return setError(kAlreadyOpen);
    directory_ = std::move(directory);
    path_ = folder;
    return kNoError;
}

ResError ResolveResFile::Close() {
    if (!requireOpen()) return lastError();
    for (const Loaded& l : loaded_) (void)DisposeDataHandle(l.handle);  // one disposed already is gone
    loaded_.clear();
    directory_.reset();
    path_.clear();
    return kNoError;
}

ResError ResolveResFile::Suspend() { return setError(kNoError); }
ResError ResolveResFile::Resume() { return setError(kNoError); }

bool ResolveResFile::IsWritable() {
    recordError(kNoError);
    return false;
}

bool ResolveResFile::IsOpen() { return directory_ != nullptr; }

ResError ResolveResFile::GetFileName(std::string& out) {
    if (!requireOpen()) return lastError();
    out = path_;
    return kNoError;
}

std::int16_t ResolveResFile::CountTypes() {
    if (!requireOpen()) return 0;
    return clampCount(static_cast<std::size_t>(directory_->countTypes()));
}

ResType ResolveResFile::GetIndType(std::int16_t index) {
    if (!requireOpen()) return 0;
    ResType type = 0;
    recordError(fromService(directory_->typeAt(index, type)));
    return type;
}

std::int16_t ResolveResFile::CountResources(ResType type) {
    if (!requireOpen()) return 0;
    return clampCount(static_cast<std::size_t>(directory_->countResources(type)));
}

DataHandle ResolveResFile::hand(int code, const ResDirectory::Record* record, ResLoader loader) {
    if (setError(fromService(code)) != kNoError) return {};
    for (const Loaded& l : loaded_)
        if (l.record.type == record->type && l.record.id == record->id) return l.handle;
    std::vector<std::uint8_t> data;
    if (setError(fromService(directory_->readData(*record, data))) != kNoError) return {};
    DataHandle handle = newHandleWith(data);
    if (!handle) {
        recordError(LastHandleError());
        return {};
    }
    if (loader) {
        std::span<std::uint8_t> bytes = handleBytes(handle);
        loader(bytes.data(), bytes.size());
    }
    loaded_.push_back(Loaded{*record, handle, loader != nullptr});
    return handle;
}

DataHandle ResolveResFile::GetResource(ResType type, std::int16_t id, ResLoader loader) {
    if (!requireOpen()) return {};
    const ResDirectory::Record* record = nullptr;
    int code = directory_->find(type, id, record);
    return hand(code, record, loader);
}

DataHandle ResolveResFile::GetNamedResource(ResType type, std::string_view name, ResLoader loader) {
    if (!requireOpen()) return {};
    const ResDirectory::Record* record = nullptr;
    int code = directory_->findNamed(type, name, record);
    return hand(code, record, loader);
}

DataHandle ResolveResFile::GetIndResource(ResType type, std::int16_t index, ResLoader loader) {
    if (!requireOpen()) return {};
    const ResDirectory::Record* record = nullptr;
    int code = directory_->findAt(type, index, record);
    return hand(code, record, loader);
}

const ResolveResFile::Loaded* ResolveResFile::loaded(DataHandle handle) {
    if (!requireOpen()) return nullptr;
    for (const Loaded& l : loaded_)
        if (l.handle == handle) return &l;
    recordError(kResNameNotFound);
    return nullptr;
}

ResError ResolveResFile::GetResName(DataHandle handle, std::string& out) {
    out.clear();
    if (const Loaded* l = loaded(handle)) out = l->record.name;
    return lastError();
}

ResType ResolveResFile::GetResType(DataHandle handle) {
    const Loaded* l = loaded(handle);
    return l ? l->record.type : 0;
}

ResError ResolveResFile::GetResID(DataHandle handle, std::int16_t& id) {
    if (const Loaded* l = loaded(handle)) id = l->record.id;
    return lastError();
}

bool ResolveResFile::IsNativeOrder(DataHandle handle) {
    const Loaded* l = loaded(handle);
    return l && l->native;
}

ResError ResolveResFile::ReleaseResource(DataHandle handle) {
    if (!loaded(handle)) return lastError();
    std::erase_if(loaded_, [handle](const Loaded& l) { return l.handle == handle; });
    return kNoError;
}

bool ResolveResFile::CanWriteType(ResType) {
    recordError(kNoError);
    return false;
}

ResError ResolveResFile::Create(std::string_view) { return setError(kUnsupported); }
ResError ResolveResFile::Delete(std::string_view) { return setError(kUnsupported); }
ResError ResolveResFile::Update() { return setError(kUnsupported); }
ResError ResolveResFile::ReservedQuery(DataHandle, std::int16_t& out) {
    out = 0;
    return setError(kUnsupported);
}
ResError ResolveResFile::UniqueName(ResType, std::string&) { return setError(kUnsupported); }
std::int16_t ResolveResFile::UniqueID(ResType) {
    recordError(kUnsupported);
    return 0;
}
ResError ResolveResFile::ReservedAction(std::int32_t) { return setError(kUnsupported); }
ResError ResolveResFile::SetResID(DataHandle, std::int16_t) { return setError(kUnsupported); }
ResError ResolveResFile::AddResource(DataHandle, ResType, std::int16_t, std::string_view, bool) {
    return setError(kUnsupported);
}
ResError ResolveResFile::AddVariantResource(DataHandle, ResType, std::int16_t, std::string_view, std::uint8_t, bool) {
    return setError(kUnsupported);
}
ResError ResolveResFile::WriteResource(DataHandle) { return setError(kUnsupported); }
ResError ResolveResFile::RemoveResource(DataHandle) { return setError(kUnsupported); }
ResError ResolveResFile::SetResInfo(DataHandle, std::int16_t, std::string_view, std::uint8_t) {
    return setError(kUnsupported);
}

}  // namespace tryster::resfile
