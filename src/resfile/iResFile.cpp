#include "resfile/iResFile.h"

#include "resfile/StringSet.h"

namespace tryster::resfile {

DataHandle iResFile::GetVariantResource(ResType type, std::int16_t id, std::uint8_t variant,
                                        ResLoader loader) {
    if (variant != 0) {
        recordError(kNoVariants);
        return {};
    }
    return GetResource(type, id, loader);
}

std::uint8_t iResFile::GetResVariant(DataHandle handle) {
    std::int16_t id = 0;
    (void)GetResID(handle, id);  // sets kResNotFound for a handle the file does not hold
    return 0;
}

// A kind without variants must not turn a variant into the ordinary resource
// (that would replace it), and keeps the name it is given.
ResError iResFile::AddVariantResource(DataHandle handle, ResType type, std::int16_t id,
                                      std::string_view name, std::uint8_t variant, bool native) {
    if (variant != 0) return setError(kNoVariants);
    return AddResource(handle, type, id, name, native);
}

void iResFile::GetIndString(std::string& out, std::int16_t setId, std::int16_t index) {
    out.clear();
    StringSet set;
    if (set.Load(this, static_cast<std::uint16_t>(setId), false) == kNoError) {
        if (const std::string* text = set.GetString(index)) out = *text;
    }
    recordError(kNoError);
}

ResError OpenResFile(iResFile& file, std::string_view path, int flags) {
    if (flags & kOpenAfresh) {
        ResError error = file.Delete(path);
        if (error != kNoError && error != kNoSuchFile) return error;
        error = file.Create(path);
        if (error != kNoError) return error;
        return file.Open(path);
    }
    ResError error = file.Open(path);
    if (error != kNoError && (flags & kOpenCreate)) {
        error = file.Create(path);
        if (error != kNoError) return error;
        error = file.Open(path);
    }
    return error;
}

ResError ReleaseAndDispose(iResFile& file, DataHandle handle) {
    ResError error = file.ReleaseResource(handle);
    if (error != kNoError) return error;
    if (DisposeDataHandle(handle) != kNoError) return file.setError(LastHandleError());
    return kNoError;
}

}  // namespace tryster::resfile
