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

#include "resfile/ContainerFile.h"

#include <string>

namespace tryster::resfile {

class IFFResFile2 : public ContainerFile {
public:
    IFFResFile2();
    ~IFFResFile2() override;

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
    DataHandle GetVariantResource(ResType type, std::int16_t id, std::uint8_t variant, ResLoader loader) override;
    ResError GetResName(DataHandle handle, std::string& out) override;
    std::uint8_t GetResVariant(DataHandle handle) override;
    ResError UniqueName(ResType type, std::string& name) override;
    ResError SetResID(DataHandle handle, std::int16_t id) override;
    ResError AddResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                         bool native) override;
    ResError AddVariantResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                                std::uint8_t variant, bool native) override;
    ResError RemoveResource(DataHandle handle) override;
    ResError SetResInfo(DataHandle handle, std::int16_t id, std::string_view name, std::uint8_t variant) override;

    // kVersion20 or kVersion25 as the open file's header says; 0 when closed.
    int formatVersion() const { return version_; }

private:
    ResIndex& index() override { return index_; }
    bool readMap();
    void walk();
    ResError clearMapOffset();
    ResError writeHeader(std::uint32_t mapOffset);
    ResError writeMap();
    ResEntry* lookup(ResType type, std::int32_t id, std::uint8_t variant) const;
    bool nameTaken(const ResTypeRecord* type, std::string_view name) const;

    ResIndex index_;
    std::uint32_t mapOffset_ = 0;  // as in header bytes 60-63
    bool mapChunkLive_ = false;    // a live "rsmp" chunk lies at mapOffset_
    std::string savedPath_;
    int version_ = 0;
};

}  // namespace tryster::resfile
