#include "exchange/CopyTemplate.h"

#include "exchange/ObjectDefinition.h"
#include "platform/FileSystem.h"
#include "platform/GameText.h"
#include "resfile/IFFResFile2.h"
#include "resfile/ObjResFile.h"
#include "resfile/StringSet.h"

#include <algorithm>
#include <limits>
#include <set>

namespace tryster::exchange {
namespace {

using namespace resfile;

struct Resource {
    std::int16_t id = 0;
    std::string name;
    std::uint8_t variant = 0;
    bool native = false;
};

// The ids already put into the target for the type being copied.
struct CopiedIds {
    std::set<std::int16_t> all;
    std::set<std::int16_t> plain;  // with a variant-0 resource

    // An id no resource of the type carries; one always exists, as a type
    // holds at most 32767 resources.
    std::int16_t unused() const {
        std::int16_t id = std::numeric_limits<std::int16_t>::min();
        while (all.count(id) != 0) ++id;
        return id;
    }
};

ResError renewObject(DataHandle handle, bool native, const TemplateCopyPlan& plan, std::string& name) {
    std::span<std::uint8_t> data = handleBytes(handle);
    if (data.size() < kMinObjectDefinitionSize) return kBadChunk;
    std::copy_n(data.begin() + kObjectIdentifierOffset, 4, data.begin() + kPreviousIdentifierOffset);
    const std::uint32_t fresh = freshObjectIdentifier();
    (void)writeObjectField(data, kObjectIdentifierOffset, native, fresh);  // the size was checked: it fits
    if (plan.keepNames == 0) name = plan.prefixNames != 0 ? plan.targetObjectName + name : plan.targetObjectName;
    return kNoError;
}

// Caret text read as such and saved as a string list of the same id, so the
// text survives even where no "STR#" twin exists.
ResError copyCaretStrings(iResFile& source, iResFile& target, std::int16_t id) {
    StringSet text;
    text.Setup(&source, static_cast<std::uint16_t>(id), kTypeCaretStrings, true, kDefaultLanguage);
    if (ResError error = text.Read(false, false); error != kNoError) return error;
    StringSet copy;
    copy.CopyFrom(text);
    return copy.SaveAs(&target, static_cast<std::uint16_t>(id));
}

// The target owns `handle` from here on, or disposes it on failure.
ResError addCopy(IFFResFile2& target, DataHandle handle, ResType type, const Resource& r, CopiedIds& ids) {
    ResError error = kNoError;
    if (r.variant != 0 && ids.plain.count(r.id) != 0) {
        error = addBesideTwin(target, handle, type, r.id, ids.unused(), r.name, r.variant, r.native);
    } else if ((error = target.AddVariantResource(handle, type, r.id, r.name, r.variant, r.native)) != kNoError) {
        (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
    }
    if (error != kNoError) return error;
    if (ResError written = target.WriteResource(handle); written != kNoError) return written;
    ids.all.insert(r.id);
    if (r.variant == 0) ids.plain.insert(r.id);
    // Written: the memory is not needed any more.
    return ReleaseAndDispose(target, handle);
}

ResError copyResource(iResFile& source, IFFResFile2& target, ResType type, std::int16_t index,
                      const TemplateCopyPlan& plan, CopiedIds& ids) {
    DataHandle handle = source.GetIndResource(type, index, nullptr);
    if (!handle) return source.lastError();
    Resource r;
    (void)source.GetResID(handle, r.id);  // the file's own handle: it cannot fail
    (void)source.GetResName(handle, r.name);  // the file's own handle: it cannot fail
    r.variant = source.GetResVariant(handle);
    r.native = source.IsNativeOrder(handle);

    if (type == kTypeCaretStrings) {
        (void)ReleaseAndDispose(source, handle);  // the data is read; what the file keeps, it disposes
        return copyCaretStrings(source, target, r.id);
    }
    // Taken from the template, so that only the target owns it.
    if (ResError error = source.ReleaseResource(handle); error != kNoError) return error;
    if (type == kTypeObjectDefinition) {
        if (ResError error = renewObject(handle, r.native, plan, r.name); error != kNoError) {
            (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
            return error;
        }
    }
    return addCopy(target, handle, type, r, ids);
}

ResError copyAll(ObjResFile& source, IFFResFile2& target, const TemplateCopyPlan& plan) {
    const int types = source.CountTypes();
    for (int t = 1; t <= types; ++t) {
        ResType type = source.GetIndType(static_cast<std::int16_t>(t));
        if (source.lastError() != kNoError) return source.lastError();
        CopiedIds ids;
        const int count = source.CountResources(type);
        for (int i = 1; i <= count; ++i) {
            if (ResError error = copyResource(source, target, type, static_cast<std::int16_t>(i), plan, ids);
                error != kNoError)
                return error;
        }
    }
    return kNoError;
}

}  // namespace

ResError addBesideTwin(iResFile& file, DataHandle handle, ResType type, std::int16_t id, std::int16_t spareId,
                       std::string_view name, std::uint8_t variant, bool native) {
    if (ResError error = file.AddVariantResource(handle, type, spareId, name, variant, native); error != kNoError) {
        (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
        return error;
    }
    return file.SetResInfo(handle, id, name, variant);
}

std::optional<std::string> objectNameForPath(std::string_view path) {
    std::optional<std::string> name = platform::gameNameOfFile(platform::namePart(path));
    if (name) *name = clipName(*name);
    return name;
}

ResError copyTemplate(TemplateCopyPlan& plan, std::string_view templatePath, std::string_view targetPath) {
    return copyTemplate(plan, templatePath, targetPath, {});
}

ResError copyTemplate(TemplateCopyPlan& plan, std::string_view templatePath, std::string_view targetPath,
                      const std::function<ResError(IFFResFile2&)>& more) {
    plan.targetPath = std::string(targetPath);
    ObjResFile source;
    source.setOpenReadOnly(true);
    if (ResError error = source.Open(templatePath); error != kNoError) return error;

    IFFResFile2 target;
    if (ResError error = target.Create(targetPath); error != kNoError) return error;
    ResError error = target.Open(targetPath);
    if (error == kNoError) {
        error = copyAll(source, target, plan);
        if (error == kNoError && more) error = more(target);
        // Close writes the map; its error counts as the copy's.
        ResError closed = target.Close();
        if (error == kNoError) error = closed;
    }
    if (error != kNoError)
        (void)platform::fileSystem().remove(targetPath);  // the copy's own error is the one told
    return error;
}

}  // namespace tryster::exchange
