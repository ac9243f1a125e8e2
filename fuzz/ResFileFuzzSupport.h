#pragma once
// Shared by the resource-file fuzz targets: files in memory, and a full read
// of a resource file through every lookup.

#include "resfile/StringSet.h"
#include "resfile/iResFile.h"
#include "support/MemoryFileSystem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tryster::fuzz {

inline test::MemoryFileSystem& memoryFiles() {
    static test::MemoryFileSystem fs;
    static bool installed = [] {
        fs.maxFileSize = std::size_t{1} << 20;  // keeps runs fast; more is a full disk
        platform::installFileSystem(&fs);
        return true;
    }();
    (void)installed;
    return fs;
}

inline void swapPairs(std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i + 1 < size; i += 2) std::swap(data[i], data[i + 1]);
}

// Every type, every resource by position, by id, by name and as a string
// set; each handle queried and released.
inline void readEverything(resfile::iResFile& file) {
    using namespace resfile;
    for (std::int16_t t = 1; t <= file.CountTypes(); ++t) {
        ResType type = file.GetIndType(t);
        for (std::int16_t i = 1; i <= file.CountResources(type); ++i) {
            DataHandle h = file.GetIndResource(type, i, (i % 2) ? swapPairs : nullptr);
            if (!h) continue;
            std::string name;
            std::int16_t id = 0;
            (void)file.GetResName(h, name);
            (void)file.GetResID(h, id);
            (void)file.GetResVariant(h);
            (void)file.IsNativeOrder(h);
            (void)GetDataHandleSize(h);
            if (DataHandle byName = file.GetNamedResource(type, name, nullptr); byName && byName != h)
                (void)ReleaseAndDispose(file, byName);
            if (DataHandle byId = file.GetVariantResource(type, id, file.GetResVariant(h), nullptr); byId && byId != h)
                (void)ReleaseAndDispose(file, byId);
            (void)ReleaseAndDispose(file, h);
            if (type == kTypeStringList || type == kTypeCaretText) {
                std::string s;
                file.GetIndString(s, id, 1);
            }
        }
    }
}

}  // namespace tryster::fuzz
