#pragma once
// The name list of a 1.0 container: (key, name) pairs, kept as an internal
// resource of type "NAME" in one of two forms:
//   id 1, record (written here): a record of type "NAME", version 0, whose
//         body is a 32-bit count, then per pair the 32-bit key and the name
//         as a record string
//   id 0, raw (older files, read only): until the end of the data a 32-bit
//         key (little-endian), a length byte and that many characters

#include "resfile/ReconStream.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tryster::resfile {

class IFFNameList {
public:
    // The name kept under `key` (null when none).
    const std::string* find(std::int32_t key) const;
    // The key of the first pair carrying `name` (letters A-Z compared
    // without regard to case); false when none.
    bool keyOf(std::string_view name, std::int32_t& key) const;
    // Enters `name` under a new key and returns it: one above the largest
    // key (at least 0), or the smallest free positive key once that would
    // overflow.
    std::int32_t add(std::string_view name);
    void set(std::int32_t key, std::string_view name);
    void remove(std::int32_t key);
    void clear();
    std::size_t size() const { return pairs_.size(); }

    bool dirty() const { return dirty_; }
    void setDirty(bool dirty) { dirty_ = dirty; }

    // The record form's field list.
    void Reconstitute(ReconStream& stream, std::int32_t version);
    // The raw form; false (and an empty list) when a length runs past the
    // end of the data.
    bool readRaw(std::span<const std::uint8_t> data);

private:
    std::vector<std::pair<std::int32_t, std::string>> pairs_;
    bool dirty_ = false;
};

}  // namespace tryster::resfile
