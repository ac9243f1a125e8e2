#pragma once
// Records: structured objects stored as resources.
//
// A record's data is a 12-byte frame and the fields in the order the
// object's field list visits them:
//   0  2  swap flag: 0 = fields little-endian, 1 = fields big-endian
//   2  2  0
//   4  4  version given by the writer (machine order)
//   8  4  type code (machine order)
//  12  -  fields
// The writer stores little-endian with the swap flag off and marks the
// resource native; `RconLoader` turns a record read from a file that was
// not marked native into one whose fields are read big-endian.

#include "resfile/ReconStream.h"
#include "resfile/iResFile.h"

#include <cstdint>
#include <span>

namespace tryster::resfile {

inline constexpr std::size_t kRecordFrameSize = 12;

class ReconObject {
public:
    virtual ~ReconObject() = default;
    // Reads or writes every field through the stream.
    virtual void Reconstitute(ReconStream& stream, std::int32_t version);
    virtual ResType GetType() const { return kTypeRecord; }
};

// Adapts a plain object whose own `Reconstitute(ReconStream&, std::int32_t)`
// is its field list.
template <typename T>
class SimpleReconObject final : public ReconObject {
public:
    SimpleReconObject(T* object, ResType type) : object_(object), type_(type) {}
    void Reconstitute(ReconStream& stream, std::int32_t version) override {
        object_->Reconstitute(stream, version);
    }
    ResType GetType() const override { return type_; }

private:
    T* object_;
    ResType type_;
};

// The loader callback for records.
void RconLoader(std::uint8_t* data, std::size_t size);

// Fills the object from a record's data; kBadChunk when the data is shorter
// than the frame or than the fields need.
ResError readRecord(ReconObject& object, std::span<std::uint8_t> data, std::int32_t& version);
// A new handle holding the object as a record; empty when it cannot be
// serialised (the field list wrote more than it measured, or too big).
DataHandle writeRecord(ReconObject& object, std::int32_t version);

// Reads the record of the object's type and `id`.
ResError ReadReconObject(ReconObject& object, iResFile& file, std::int16_t id, std::int32_t& version);
// Stores the object as the record of its type and `id`, replacing any;
// leaves no handle with the file and none leaked, on success or failure.
ResError WriteReconObject(ReconObject& object, std::int32_t version, iResFile& file, std::int16_t id);

}  // namespace tryster::resfile
