#pragma once
// Container files of version 2.x: a 64-byte header, then chunks with 76-byte
// headers (see ChunkFile.h). Version 2.5 files carry a resource map, so an
// open reads only the header and the map; without a usable map the chunks
// are walked. Data is read on first lookup. Closing a changed file writes
// what is pending, compacts it when 10240 bytes or more are free, and writes
// a fresh map; files are always written as version 2.5.
//
// While the header names a map, the first change of the file body clears
// that offset (and frees the old map), so a file left half-written opens by
// walking its chunks.

#include "resfile/ChunkFile.h"
#include "resfile/ResIndex.h"
#include "resfile/iResFile.h"

#include <string>

namespace tryster::resfile {

class IFFResFile2 : public iResFile {
public:
    IFFResFile2();
    ~IFFResFile2() override;

    ResError Create(std::string_view path) override;
    ResError Delete(std::string_view path) override;
    ResError Open(std::string_view path) override;
    ResError Suspend() override;
    ResError Resume() override;
    ResError Close() override;
    ResError Update() override;
    bool IsWritable() override;
    ResError GetFileName(std::string& out) override;
    bool IsOpen() override;
    std::int16_t CountTypes() override;
    ResType GetIndType(std::int16_t index) override;
    std::int16_t CountResources(ResType type) override;
    DataHandle GetResource(ResType type, std::int16_t id, ResLoader loader) override;
    DataHandle GetNamedResource(ResType type, std::string_view name, ResLoader loader) override;
    DataHandle GetIndResource(ResType type, std::int16_t index, ResLoader loader) override;
    DataHandle GetVariantResource(ResType type, std::int16_t id, std::uint8_t variant, ResLoader loader) override;
    ResError GetResName(DataHandle handle, std::string& out) override;
    ResType GetResType(DataHandle handle) override;
    ResError GetResID(DataHandle handle, std::int16_t& id) override;
    ResError ReservedQuery(DataHandle handle, std::int16_t& out) override;
    std::uint8_t GetResVariant(DataHandle handle) override;
    ResError UniqueName(ResType type, std::string& name) override;
    std::int16_t UniqueID(ResType type) override;
    ResError ReleaseResource(DataHandle handle) override;
    ResError ReservedAction(std::int32_t value) override;
    bool IsNativeOrder(DataHandle handle) override;
    ResError SetResID(DataHandle handle, std::int16_t id) override;
    ResError AddResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                         bool native) override;
    ResError AddVariantResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                                std::uint8_t variant, bool native) override;
    ResError WriteResource(DataHandle handle) override;
    ResError RemoveResource(DataHandle handle) override;
    ResError SetResInfo(DataHandle handle, std::int16_t id, std::string_view name, std::uint8_t variant) override;

    // Opens files read-only even where writing is allowed (for tools that
    // only look).
    void setOpenReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // kVersion20 or kVersion25 as the open file's header says; 0 when closed.
    int formatVersion() const { return version_; }

private:
    bool requireOpen();
    bool requireWritable();
    bool readMap();
    void walk();
    ResError clearMapOffset();
    ResError writeHeader(std::uint32_t mapOffset);
    ResError writeMap();
    ResEntry* lookup(ResType type, std::int32_t id, std::uint8_t variant) const;
    DataHandle load(ResEntry& entry, ResLoader loader);
    ResIndex::Location locate(DataHandle handle, ResError missing);
    bool nameTaken(const ResTypeRecord* type, std::string_view name) const;

    ChunkFile chunks_{ChunkLayout::Named};
    ResIndex index_;
    std::uint32_t mapOffset_ = 0;  // as in header bytes 60-63
    bool mapChunkLive_ = false;    // a live "rsmp" chunk lies at mapOffset_
    bool dirty_ = false;
    std::string savedPath_;
    bool readOnly_ = false;
    int version_ = 0;
};

}  // namespace tryster::resfile
