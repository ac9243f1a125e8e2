#pragma once
// A read-only resource file served by the resource directory service (see
// ResDirectory.h). Handles given out are remembered, so asking again for
// the same resource answers the same handle.

#include "resfile/ResDirectory.h"
#include "resfile/iResFile.h"

#include <memory>
#include <vector>

namespace tryster::resfile {

class ResolveResFile : public iResFile {
public:
    ResolveResFile() = default;
    ~ResolveResFile() override;

    // '\' becomes '/' and leading "./" are dropped; kAlreadyOpen when the
    // directory cannot be opened.
    ResError Open(std::string_view path) override;
    // Forgets the directory and disposes the handles still given out.
    ResError Close() override;
    ResError Suspend() override;
    ResError Resume() override;
    bool IsWritable() override;
    bool IsOpen() override;
    ResError GetFileName(std::string& out) override;
    std::int16_t CountTypes() override;
    ResType GetIndType(std::int16_t index) override;
    std::int16_t CountResources(ResType type) override;
    DataHandle GetResource(ResType type, std::int16_t id, ResLoader loader) override;
    DataHandle GetNamedResource(ResType type, std::string_view name, ResLoader loader) override;
    DataHandle GetIndResource(ResType type, std::int16_t index, ResLoader loader) override;
    ResError GetResName(DataHandle handle, std::string& out) override;
    ResType GetResType(DataHandle handle) override;
    ResError GetResID(DataHandle handle, std::int16_t& id) override;
    bool IsNativeOrder(DataHandle handle) override;
    ResError ReleaseResource(DataHandle handle) override;

    // Not offered by this kind: kUnsupported.
    ResError Create(std::string_view path) override;
    ResError Delete(std::string_view path) override;
    ResError Update() override;
    ResError ReservedQuery(DataHandle handle, std::int16_t& out) override;
    ResError UniqueName(ResType type, std::string& name) override;
    std::int16_t UniqueID(ResType type) override;
    ResError ReservedAction(std::int32_t value) override;
    ResError SetResID(DataHandle handle, std::int16_t id) override;
    ResError AddResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                         bool native) override;
    ResError AddVariantResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                                std::uint8_t variant, bool native) override;
    ResError WriteResource(DataHandle handle) override;
    ResError RemoveResource(DataHandle handle) override;
    ResError SetResInfo(DataHandle handle, std::int16_t id, std::string_view name, std::uint8_t variant) override;

    // This kind writes nothing: always false.
    bool CanWriteType(ResType type);

private:
    struct Loaded {
        ResDirectory::Record record;
        DataHandle handle;
        bool native = false;  // the loader ran on the data
    };
    bool requireOpen();
    static ResError fromService(int code);
    DataHandle hand(int code, const ResDirectory::Record* record, ResLoader loader);
    const Loaded* loaded(DataHandle handle);

    std::unique_ptr<ResDirectory> directory_;
    std::string path_;
    std::vector<Loaded> loaded_;
};

}  // namespace tryster::resfile
