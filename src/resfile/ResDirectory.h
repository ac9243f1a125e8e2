#pragma once
// The resource directory service: resources kept one per file in a folder
// (by convention named "*.dir"), for hand-made or generated resources that
// should not need a container.
//
// Every file of the folder whose name ends in ".res" holds one resource:
//   offset size
//   0      4    "TRES"
//   4      4    type code, big-endian
//   8      2    resource id, signed big-endian
//   10     1    name length n (0..63)
//   11     n    name
//   11+n   -    the data, to the end of the file
// The file's own name carries no meaning; `fileNameFor` gives the usual
// one ("STR#_200.res", bytes unsafe in file names as %XX). Files are taken
// in case-insensitive name order; types are listed in the order first met
// and resources of a type in file order. A file that is not a resource file
// is skipped; of two with the same type and id the first counts.
//
// Results are the service's codes: kDirOk, kDirNotFound, kDirNoMemory.

#include "resfile/ResTypes.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::resfile {

inline constexpr int kDirOk = 0;
inline constexpr int kDirNotFound = 5;
inline constexpr int kDirNoMemory = 6;

class ResDirectory {
public:
    struct Record {
        ResType type = 0;
        std::int16_t id = 0;
        std::string name;
        std::string path;           // the resource's file
        std::uint64_t dataOffset = 0;
    };

    // kDirNotFound when the folder does not exist.
    int open(std::string_view path);
    int countTypes() const { return static_cast<int>(types_.size()); }
    // `position` from 1.
    int typeAt(int position, ResType& type) const;
    int countResources(ResType type) const;
    int find(ResType type, std::int16_t id, const Record*& out) const;
    // Letters A-Z compared without regard to case.
    int findNamed(ResType type, std::string_view name, const Record*& out) const;
    // `position` from 1.
    int findAt(ResType type, int position, const Record*& out) const;
    // The resource's data as now on disk.
    int readData(const Record& record, std::vector<std::uint8_t>& out) const;

    // The bytes of a resource file, and its usual file name.
    static std::vector<std::uint8_t> encode(ResType type, std::int16_t id, std::string_view name,
                                            std::span<const std::uint8_t> data);
    static std::string fileNameFor(ResType type, std::int16_t id);

private:
    std::vector<ResType> types_;
    std::vector<Record> records_;
};

}  // namespace tryster::resfile
