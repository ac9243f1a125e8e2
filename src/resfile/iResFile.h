#pragma once
// The resource file: typed, numbered, optionally named data blocks kept in
// one disk file or spread over several.
//
// A resource is found by type and id (or type and name, or type and 1-based
// position) and handed out in a data handle. A handle obtained from a file
// belongs to the file until `ReleaseResource`; after `AddResource` the file
// owns the handle it was given. Every operation sets the last error (0 on
// success); operations that answer a handle, a count, a type or a bool
// report failure only there, so callers read `lastError()` after them.
//
// The operations keep the PascalCase names their callers know them by.

#include "resfile/DataHandle.h"
#include "resfile/ResError.h"
#include "resfile/ResTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tryster::resfile {

class iResFile {
public:
    iResFile() = default;
    virtual ~iResFile() = default;
    iResFile(const iResFile&) = delete;
    iResFile& operator=(const iResFile&) = delete;

    virtual ResError Create(std::string_view path) = 0;
    virtual ResError Delete(std::string_view path) = 0;
    // Read-write when the operating system allows, else read-only.
    virtual ResError Open(std::string_view path) = 0;
    // Closes the file but remembers its path for `Resume`.
    virtual ResError Suspend() = 0;
    virtual ResError Resume() = 0;
    // Writes pending changes and releases every loaded handle.
    virtual ResError Close() = 0;
    // Writes every resource added but not yet written.
    virtual ResError Update() = 0;
    virtual bool IsWritable() = 0;
    virtual ResError GetFileName(std::string& out) = 0;
    virtual bool IsOpen() = 0;

    virtual std::int16_t CountTypes() = 0;
    // `index` from 1; type 0 and kTypeIndexRange when out of range.
    virtual ResType GetIndType(std::int16_t index) = 0;
    // 0 for a type without resources.
    virtual std::int16_t CountResources(ResType type) = 0;
    virtual DataHandle GetResource(ResType type, std::int16_t id, ResLoader loader) = 0;
    // Only variant-0 resources are matched.
    virtual DataHandle GetNamedResource(ResType type, std::string_view name, ResLoader loader) = 0;
    virtual DataHandle GetIndResource(ResType type, std::int16_t index, ResLoader loader) = 0;
    // Variant 0 is `GetResource`; kinds without variants refuse any other
    // with kNoVariants.
    virtual DataHandle GetVariantResource(ResType type, std::int16_t id, std::uint8_t variant,
                                          ResLoader loader);

    virtual ResError GetResName(DataHandle handle, std::string& out) = 0;
    virtual ResType GetResType(DataHandle handle) = 0;
    // Stores the id on success; kResNotFound for a handle the file does not hold.
    virtual ResError GetResID(DataHandle handle, std::int16_t& id) = 0;
    // Offered by no kind: stores 0 and answers kUnsupported.
    virtual ResError ReservedQuery(DataHandle handle, std::int16_t& out) = 0;
    virtual std::uint8_t GetResVariant(DataHandle handle);
    // Makes `name` unused among the variant-0 resources of the type.
    virtual ResError UniqueName(ResType type, std::string& name) = 0;
    virtual std::int16_t UniqueID(ResType type) = 0;
    // The file forgets the handle; the caller owns it afterwards.
    virtual ResError ReleaseResource(DataHandle handle) = 0;
    virtual ResError ReservedAction(std::int32_t value) = 0;
    // True when the resource's data is in machine (little-endian) order.
    virtual bool IsNativeOrder(DataHandle handle) = 0;
    virtual ResError SetResID(DataHandle handle, std::int16_t id) = 0;
    // The file takes the handle; nothing reaches the disk before
    // `WriteResource`, `Update` or `Close`.
    virtual ResError AddResource(DataHandle handle, ResType type, std::int16_t id,
                                 std::string_view name, bool native) = 0;
    // Kinds without variants add variant 0 as `AddResource` and refuse any
    // other with kNoVariants.
    virtual ResError AddVariantResource(DataHandle handle, ResType type, std::int16_t id,
                                        std::string_view name, std::uint8_t variant, bool native);
    // Stores the handle's current contents.
    virtual ResError WriteResource(DataHandle handle) = 0;
    // Deletes the resource and disposes its handle.
    virtual ResError RemoveResource(DataHandle handle) = 0;
    virtual ResError SetResInfo(DataHandle handle, std::int16_t id, std::string_view name,
                                std::uint8_t variant) = 0;
    // String `index` (from 1) of string set `setId` in the default language;
    // empty when the set cannot be read or has no such string.
    virtual void GetIndString(std::string& out, std::int16_t setId, std::int16_t index);

    ResError lastError() const { return lastError_; }

protected:
    // Records the operation's result and hands it back to be returned.
    ResError setError(ResError error) { return lastError_ = error; }
    // Records the result of an operation that answers a handle, a count,
    // a type or a bool (callers read it with lastError()).
    void recordError(ResError error) { lastError_ = error; }
    friend ResError ReleaseAndDispose(iResFile& file, DataHandle handle);

private:
    ResError lastError_ = kNoError;
};

// OpenResFile flags.
inline constexpr int kOpenCreate = 1;   // create the file when it is missing
inline constexpr int kOpenAfresh = 2;   // delete it first and start empty

ResError OpenResFile(iResFile& file, std::string_view path, int flags);
// Release, then dispose; a failed dispose becomes the file's last error.
ResError ReleaseAndDispose(iResFile& file, DataHandle handle);

}  // namespace tryster::resfile
