#pragma once
// A character's behaviour constants: the 16-bit values of a 'BCON'
// resource, each labelled by the 'TRCN' record of the same id.
//
// 'BCON' data: a 16-bit header whose low 15 bits count the values and
// whose top bit is a flag, then the values; little-endian when the resource
// is marked native, big-endian otherwise. Saved constants are always
// native.
//
// 'TRCN' record fields: a 32-bit entry count, then per entry two 32-bit
// numbers, the label, a comment and, from record version 1 on, one 8-bit
// and two 16-bit numbers (a version-0 record reads as 0, 0 and 100). Every
// field is written back unchanged; only the values change.

#include "resfile/ObjResFile.h"
#include "resfile/ReconStream.h"
#include "resfile/iResFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::exchange {

inline constexpr resfile::ResType kTypeConstants = resfile::makeType("BCON");
inline constexpr resfile::ResType kTypeConstantLabels = resfile::makeType("TRCN");

// Default values that an object's combined file may carry for the
// constants of one id (kept in its keyed table under that id).
struct TreeConstantDefaults final : resfile::ObjResFile::Attachment {
    std::vector<std::uint16_t> values;
};

class cTreeConstants {
public:
    struct Entry {
        std::string label;
        std::uint16_t value = 0;
        std::uint16_t defaultValue = 0;
        bool hasDefault = false;
        // The rest of the label's record, carried unchanged.
        std::int32_t number1 = 0;
        std::int32_t number2 = 0;
        std::string comment;
        std::uint8_t extraByte = 0;
        std::uint16_t extraWord1 = 0;
        std::uint16_t extraWord2 = 100;
    };

    // Reads the labels and then the values of `id`: one entry per label;
    // labels beyond the stored values get 0. Defaults come only from an
    // `ObjResFile` that keeps `TreeConstantDefaults` under `id`. The
    // file's error when either resource is missing, kBadChunk when one is
    // damaged. Remembers the file and id for `save`.
    [[nodiscard]] resfile::ResError load(resfile::iResFile& file, std::int16_t id);
    // Constants that were never stored, to be saved as `id` of `file`.
    void create(resfile::iResFile& file, std::int16_t id, std::string_view name, std::int32_t labelVersion,
                bool flag, std::vector<Entry> entries);
    // Writes the labels and the values back where they were loaded from and
    // updates the file. -1 when nothing was loaded, else the first error.
    [[nodiscard]] resfile::ResError save();

    // Null for an index below 0 or past the last entry.
    Entry* entry(int index);
    const Entry* entry(int index) const;
    int count() const { return static_cast<int>(entries_.size()); }
    bool flag() const { return flag_; }
    const std::string& name() const { return name_; }
    std::int32_t labelVersion() const { return version_; }

    // The field list of the 'TRCN' record.
    void Reconstitute(resfile::ReconStream& stream, std::int32_t version);

private:
    resfile::iResFile* file_ = nullptr;
    std::int16_t id_ = 0;
    std::string name_;
    bool flag_ = false;
    std::int32_t version_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace tryster::exchange
