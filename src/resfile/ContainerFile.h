#pragma once
// What the two container kinds share: the chunk file, the checks every
// operation starts with, and the slots that work the same on their index.

#include "resfile/ChunkFile.h"
#include "resfile/ContainerDamage.h"
#include "resfile/FileHeaders.h"
#include "resfile/ResIndex.h"
#include "resfile/iResFile.h"

namespace tryster::resfile {

class ContainerFile : public iResFile {
public:
    ResError Delete(std::string_view path) override;
    bool IsWritable() override;
    bool IsOpen() override;
    ResError GetFileName(std::string& out) override;
    std::int16_t CountTypes() override;
    std::int16_t CountResources(ResType type) override;
    ResType GetResType(DataHandle handle) override;
    ResError GetResID(DataHandle handle, std::int16_t& id) override;
    ResError ReservedQuery(DataHandle handle, std::int16_t& out) override;
    ResError ReservedAction(std::int32_t value) override;
    std::int16_t UniqueID(ResType type) override;
    // An entry never written is written first; when that fails the file
    // keeps the handle and reports the error, so the data is not lost.
    ResError ReleaseResource(DataHandle handle) override;
    // An unknown handle answers true (and kResNameNotFound).
    bool IsNativeOrder(DataHandle handle) override;
    ResError WriteResource(DataHandle handle) override;

    // Opens files read-only even where writing is allowed (for tools that
    // only look).
    void setOpenReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // The next `Open` reads (and, if it is writable, writes) this file
    // instead of the path's: a container checked or changed in memory.
    void openNextFrom(std::unique_ptr<platform::File> file);

    // What the last successful open found damaged (see ContainerDamage.h);
    // none for a file that reads to its end.
    const ContainerDamage& damage() const { return damage_; }

protected:
    explicit ContainerFile(ChunkLayout layout) : chunks_(layout) {}

    // The index that handles and lookups go to.
    virtual ResIndex& index() = 0;

    bool requireOpen();
    bool requireWritable();
    ResIndex::Location locate(DataHandle handle, ResError missing);
    DataHandle load(ResEntry& entry, ResLoader loader);
    // Makes the file with `header` as its only content (nothing is left
    // behind when that fails); the object stays closed.
    ResError createWithHeader(std::string_view path, const FileHeader& header);
    // Opens the flat file and reads its header; closed again on failure.
    ResError openWithHeader(std::string_view path, FileHeader& header);

    ChunkFile chunks_;
    // Something reached the disk, or waits to, since the file was opened.
    bool dirty_ = false;
    ContainerDamage damage_;

private:
    bool readOnly_ = false;
};

}  // namespace tryster::resfile
