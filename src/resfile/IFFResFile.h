#pragma once
// Container files of version 1.0: a 64-byte header, then chunks with 16-byte
// headers (see ChunkFile.h) that carry no name and no variant. Names live in
// the file's name list, an internal "NAME" resource (chunks flagged 0x0008
// are internal and never visible to callers).
//
// Types and resources are listed newest first: position 1 is the type whose
// first chunk lies last in the file, and within a type the resource met
// last. Lookups by id take the newest resource of that id.

#include "resfile/ContainerFile.h"
#include "resfile/IFFNameList.h"

namespace tryster::resfile {

class IFFResFile : public ContainerFile {
public:
    IFFResFile() : ContainerFile(ChunkLayout::Keyed) {}
    ~IFFResFile() override;

    ResError Create(std::string_view path) override;
    ResError Open(std::string_view path) override;
    ResError Suspend() override;
    ResError Resume() override;
    ResError Close() override;
    ResError Update() override;
    ResType GetIndType(std::int16_t index) override;
    DataHandle GetResource(ResType type, std::int16_t id, ResLoader loader) override;
    DataHandle GetNamedResource(ResType type, std::string_view name, ResLoader loader) override;
    DataHandle GetIndResource(ResType type, std::int16_t index, ResLoader loader) override;
    ResError GetResName(DataHandle handle, std::string& out) override;
    ResError UniqueName(ResType type, std::string& name) override;
    ResError SetResID(DataHandle handle, std::int16_t id) override;
    ResError AddResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                         bool native) override;
    ResError RemoveResource(DataHandle handle) override;
    ResError SetResInfo(DataHandle handle, std::int16_t id, std::string_view name, std::uint8_t variant) override;

private:
    ResIndex& index() override { return active(); }
    ResIndex& active() { return internalActive_ ? internal_ : visible_; }
    void walk();
    void readNameList();
    ResError writeNameList();
    ResEntry* newest(ResType type, std::int32_t id);
    ResError rewriteHeader(const ResEntry& entry);

    ResIndex visible_;
    ResIndex internal_;
    bool internalActive_ = false;
    IFFNameList names_;
};

}  // namespace tryster::resfile
