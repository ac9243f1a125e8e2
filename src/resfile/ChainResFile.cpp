#include "resfile/ChainResFile.h"

#include "resfile/ContainerOps.h"

#include <algorithm>
#include <utility>

namespace tryster::resfile {

ChainResFile::~ChainResFile() = default;

iResFile* ChainResFile::AddMember(std::unique_ptr<iResFile> file) {
    if (!file || members_.size() >= kMaxMembers) return nullptr;
    members_.push_back(Member{std::move(file), {}, kAllButListed});
    return members_.back().file.get();
}

std::unique_ptr<iResFile> ChainResFile::RemoveMember(iResFile* file) {
    auto it = std::find_if(members_.begin(), members_.end(), [file](const Member& m) { return m.file.get() == file; });
    if (it == members_.end()) return nullptr;
    std::unique_ptr<iResFile> out = std::move(it->file);
    members_.erase(it);
    return out;
}

int ChainResFile::CountMembers() const { return static_cast<int>(members_.size()); }

iResFile* ChainResFile::GetMember(int position) const {
    if (position < 0 || position >= CountMembers()) return nullptr;
    return members_[static_cast<std::size_t>(position)].file.get();
}

bool ChainResFile::accepts(const Member& member, ResType type) {
    bool listed = std::find(member.types.begin(), member.types.end(), type) != member.types.end();
    return member.mode == kOnlyListed ? listed : !listed;
}

void ChainResFile::destroyMembers() { members_.clear(); }

template <typename Ask>
auto ChainResFile::firstAnswer(Ask ask, ResError none) -> decltype(ask(std::declval<iResFile&>())) {
    recordError(none);
    for (Member& m : members_) {
        auto answer = ask(*m.file);
        recordError(m.file->lastError());
        if (lastError() == kNoError) return answer;
    }
    return decltype(ask(std::declval<iResFile&>())){};
}

// A member that holds the handle but fails is reported rather than hidden
// behind the "unknown handle" of the members after it.
template <typename Try>
ResError ChainResFile::firstSuccess(Try attempt, bool writableOnly) {
    ResError failure = kNoError;
    for (Member& m : members_) {
        if (writableOnly && !m.file->IsWritable()) continue;
        ResError error = attempt(*m.file);
        if (error == kNoError) return setError(kNoError);
        if (failure == kNoError && error != kResNotFound && error != kResNameNotFound) failure = error;
    }
    return setError(failure != kNoError ? failure : kResNameNotFound);
}

template <typename Each>
ResError ChainResFile::everyMember(Each each) {
    ResError result = kNoError;
    for (Member& m : members_)
        if (ResError e = each(*m.file); e != kNoError) result = e;
    return setError(result);
}

ResError ChainResFile::Suspend() {
    return everyMember([](iResFile& f) { return f.Suspend(); });
}

ResError ChainResFile::Resume() {
    return everyMember([](iResFile& f) { return f.Resume(); });
}

ResError ChainResFile::Close() {
    return everyMember([](iResFile& f) { return f.Close(); });
}

ResError ChainResFile::Update() {
    ResError first = kNoError;
    for (Member& m : members_) {
        if (!m.file->IsWritable()) continue;
        if (ResError e = m.file->Update(); e != kNoError && first == kNoError) first = e;
    }
    return setError(first);
}

bool ChainResFile::IsWritable() {
    recordError(kNoError);
    return std::any_of(members_.begin(), members_.end(), [](Member& m) { return m.file->IsWritable(); });
}

bool ChainResFile::IsOpen() {
    recordError(kNoError);
    return std::any_of(members_.begin(), members_.end(), [](Member& m) { return m.file->IsOpen(); });
}

// Members in order, each member's types from its last position to its first.
std::vector<ResType> ChainResFile::typeUnion() {
    std::vector<ResType> types;
    for (Member& m : members_) {
        for (std::int16_t i = m.file->CountTypes(); i >= 1; --i) {
            ResType type = m.file->GetIndType(i);
            if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
        }
    }
    return types;
}

std::int16_t ChainResFile::CountTypes() {
    std::int16_t count = clampCount(typeUnion().size());
    recordError(kNoError);
    return count;
}

ResType ChainResFile::GetIndType(std::int16_t index) {
    std::vector<ResType> types = typeUnion();
    if (index < 1 || static_cast<std::size_t>(index) > types.size()) {
        recordError(kTypeIndexRange);
        return 0;
    }
    recordError(kNoError);
    return types[static_cast<std::size_t>(index) - 1];
}

std::int16_t ChainResFile::CountResources(ResType type) {
    std::size_t total = 0;
    for (Member& m : members_) {
        std::int16_t n = m.file->CountResources(type);
        if (m.file->lastError() != kNoError) {
            recordError(m.file->lastError());
            return 0;
        }
        total += static_cast<std::size_t>(std::max<std::int16_t>(n, 0));
    }
    recordError(kNoError);
    return clampCount(total);
}

DataHandle ChainResFile::GetResource(ResType type, std::int16_t id, ResLoader loader) {
    return firstAnswer([&](iResFile& f) { return f.GetResource(type, id, loader); }, kResNotFound);
}

DataHandle ChainResFile::GetNamedResource(ResType type, std::string_view name, ResLoader loader) {
    return firstAnswer([&](iResFile& f) { return f.GetNamedResource(type, name, loader); }, kResNotFound);
}

DataHandle ChainResFile::GetVariantResource(ResType type, std::int16_t id, std::uint8_t variant, ResLoader loader) {
    return firstAnswer([&](iResFile& f) { return f.GetVariantResource(type, id, variant, loader); }, kResNotFound);
}

DataHandle ChainResFile::GetIndResource(ResType type, std::int16_t index, ResLoader loader) {
    recordError(kResNotFound);
    for (Member& m : members_) {
        std::int16_t count = m.file->CountResources(type);
        if (index >= 1 && index <= count) {
            DataHandle handle = m.file->GetIndResource(type, index, loader);
            recordError(m.file->lastError());
            return handle;
        }
        index = static_cast<std::int16_t>(index - std::max<std::int16_t>(count, 0));
    }
    return {};
}

ResError ChainResFile::GetResName(DataHandle handle, std::string& out) {
    out.clear();
    std::string name = firstAnswer(
        [&](iResFile& f) {
            std::string n;
            (void)f.GetResName(handle, n);  // each member is asked; the one holding it answers
            return n;
        },
        kResNotFound);
    if (lastError() == kNoError) out = name;
    return lastError();
}

ResType ChainResFile::GetResType(DataHandle handle) {
    return firstAnswer([&](iResFile& f) { return f.GetResType(handle); }, kResNotFound);
}

ResError ChainResFile::GetResID(DataHandle handle, std::int16_t& id) {
    std::int16_t found = firstAnswer(
        [&](iResFile& f) {
            std::int16_t v = 0;
            (void)f.GetResID(handle, v);  // each member is asked; the one holding it answers
            return v;
        },
        kResNotFound);
    if (lastError() == kNoError) id = found;
    return lastError();
}

ResError ChainResFile::ReservedQuery(DataHandle handle, std::int16_t& out) {
    out = firstAnswer(
        [&](iResFile& f) {
            std::int16_t v = 0;
            (void)f.ReservedQuery(handle, v);  // each member's answer is asked for, not its error
            return v;
        },
        kResNotFound);
    return lastError();
}

std::uint8_t ChainResFile::GetResVariant(DataHandle handle) {
    return firstAnswer([&](iResFile& f) { return f.GetResVariant(handle); }, kResNotFound);
}

bool ChainResFile::IsNativeOrder(DataHandle handle) {
    return firstAnswer([&](iResFile& f) { return f.IsNativeOrder(handle); }, kResNotFound);
}

ResError ChainResFile::ReleaseResource(DataHandle handle) {
    return firstSuccess([&](iResFile& f) { return f.ReleaseResource(handle); }, false);
}

ResError ChainResFile::SetResID(DataHandle handle, std::int16_t id) {
    return firstSuccess([&](iResFile& f) { return f.SetResID(handle, id); }, false);
}

ResError ChainResFile::WriteResource(DataHandle handle) {
    return firstSuccess([&](iResFile& f) { return f.WriteResource(handle); }, true);
}

ResError ChainResFile::RemoveResource(DataHandle handle) {
    return firstSuccess([&](iResFile& f) { return f.RemoveResource(handle); }, true);
}

ResError ChainResFile::SetResInfo(DataHandle handle, std::int16_t id, std::string_view name, std::uint8_t variant) {
    return firstSuccess([&](iResFile& f) { return f.SetResInfo(handle, id, name, variant); }, true);
}

ResError ChainResFile::ReservedAction(std::int32_t) { return setError(kUnsupported); }

ResError ChainResFile::UniqueName(ResType type, std::string& name) {
    recordError(kNoError);
    if (name.empty()) name = "anonymous 0";
    for (Member& m : members_)
        if (ResError e = m.file->UniqueName(type, name); e != kNoError) recordError(e);
    return lastError();
}

std::int16_t ChainResFile::UniqueID(ResType type) {
    recordError(kNoError);
    if (members_.empty()) return 0;
    std::int16_t id = members_.front().file->UniqueID(type);
    recordError(members_.front().file->lastError());
    return id;
}

ResError ChainResFile::AddResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                                   bool native) {
    return AddVariantResource(handle, type, id, name, 0, native);
}

// A resource already there is removed first (when it is this very handle,
// the handle is released and a fresh copy removed, so the handle survives).
ResError ChainResFile::AddVariantResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                                          std::uint8_t variant, bool native) {
    DataHandle existing = GetVariantResource(type, id, variant, nullptr);
    if (existing && existing == handle) {
        (void)ReleaseResource(existing);  // the handle is the caller's to add again
        existing = GetVariantResource(type, id, variant, nullptr);
    }
    if (existing) {
        if (ResError error = RemoveResource(existing); error != kNoError) return error;
    }
    ResError error = kNoFileForType;
    for (Member& m : members_) {
        if (!accepts(m, type)) {
            error = kTypeFiltered;
            continue;
        }
        if (!m.file->IsWritable()) continue;
        return setError(m.file->AddVariantResource(handle, type, id, name, variant, native));
    }
    return setError(error);
}

bool ChainResFile::CanWriteType(ResType type) {
    recordError(kNoError);
    return std::any_of(members_.begin(), members_.end(),
                       [type](Member& m) { return accepts(m, type) && m.file->IsWritable(); });
}

}  // namespace tryster::resfile
