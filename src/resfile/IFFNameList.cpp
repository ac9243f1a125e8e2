#include "resfile/IFFNameList.h"

#include "io/ByteReader.h"
#include "platform/FileSystem.h"
#include "resfile/ResTypes.h"

#include <algorithm>
#include <limits>

namespace tryster::resfile {

const std::string* IFFNameList::find(std::int32_t key) const {
    for (const auto& [k, name] : pairs_)
        if (k == key) return &name;
    return nullptr;
}

bool IFFNameList::keyOf(std::string_view name, std::int32_t& key) const {
    for (const auto& [k, n] : pairs_) {
        if (platform::equalsNoCase(n, name)) {
            key = k;
            return true;
        }
    }
    return false;
}

std::int32_t IFFNameList::add(std::string_view name) {
    std::int32_t largest = 0;
    for (const auto& [k, n] : pairs_) largest = std::max(largest, k);
    std::int32_t key = largest + (largest < std::numeric_limits<std::int32_t>::max() ? 1 : 0);
    if (largest == std::numeric_limits<std::int32_t>::max()) {
        for (key = 1; find(key); ++key) {
        }
    }
    pairs_.emplace_back(key, std::string(clipName(name)));
    dirty_ = true;
    return key;
}

void IFFNameList::set(std::int32_t key, std::string_view name) {
    for (auto& [k, n] : pairs_) {
        if (k == key) {
            n = clipName(name);
            dirty_ = true;
            return;
        }
    }
    pairs_.emplace_back(key, std::string(clipName(name)));
    dirty_ = true;
}

void IFFNameList::remove(std::int32_t key) {
    if (std::erase_if(pairs_, [key](const auto& p) { return p.first == key; }) != 0) dirty_ = true;
}

void IFFNameList::clear() {
    pairs_.clear();
    dirty_ = true;
}

void IFFNameList::Reconstitute(ReconStream& s, std::int32_t) {
    auto count = static_cast<std::uint32_t>(pairs_.size());
    s.field(&count, 1);
    if (s.reading()) {
        pairs_.clear();
        // Key and at least the name's zero byte.
        if (!s.expect(count, 5)) return;
        for (std::uint32_t i = 0; i < count && s.ok(); ++i) {
            std::int32_t key = 0;
            std::string name;
            s.field(&key, 1);
            s.field(name);
            if (s.ok()) pairs_.emplace_back(key, std::string(clipName(name)));
        }
        if (!s.ok()) pairs_.clear();
        return;
    }
    for (auto& [key, name] : pairs_) {
        s.field(&key, 1);
        s.field(name);
    }
}

bool IFFNameList::readRaw(std::span<const std::uint8_t> data) {
    pairs_.clear();
    io::ByteReader r(data);
    while (!r.atEnd()) {
        std::int32_t key = 0;
        std::uint8_t length = 0;
        std::string name;
        if (!r.i32le(key) || !r.u8(length) || !r.fixedString(length, name)) {
            pairs_.clear();
            return false;
        }
        pairs_.emplace_back(key, std::string(clipName(name)));
    }
    return true;
}

}  // namespace tryster::resfile
