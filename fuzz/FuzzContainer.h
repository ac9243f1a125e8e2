#pragma once
// One run over a container given as bytes: open and read everything, change
// it (add, rewrite, rename, remove), close (with compaction and a fresh map
// where the kind does that), then open and read it again. A file the
// library closed without error must open again.

#include "ResFileFuzzSupport.h"

#include <cstdlib>

namespace tryster::fuzz {

template <typename Kind>
void runContainer(const std::uint8_t* data, std::size_t size) {
    using namespace resfile;
    test::MemoryFileSystem& fs = memoryFiles();
    fs.clear();
    fs.put("f.iff", std::span<const std::uint8_t>(data, size));
    {
        Kind file;
        if (file.Open("f.iff") != kNoError) return;
        readEverything(file);
        // Changes: a new resource, the first resource grown, the second
        // renamed, the third removed.
        DataHandle fresh = NewDataHandle(size % 300);
        if (file.AddResource(fresh, makeType("FUZZ"), 1, "fuzz", true) != kNoError) (void)DisposeDataHandle(fresh);
        ResType first = file.CountTypes() > 0 ? file.GetIndType(1) : 0;
        if (DataHandle h = file.GetIndResource(first, 1, nullptr)) {
            (void)SetDataHandleSize(h, GetDataHandleSize(h) + 1 + size % 200);
            (void)file.WriteResource(h);
        }
        if (DataHandle h = file.GetIndResource(first, 2, nullptr)) (void)file.SetResInfo(h, 77, "renamed", 0);
        if (DataHandle h = file.GetIndResource(first, 3, nullptr)) (void)file.RemoveResource(h);
        std::string unique = "fuzz";
        (void)file.UniqueName(first, unique);
        (void)file.UniqueID(first);
        if (file.Close() != kNoError) return;
    }
    Kind again;
    if (again.Open("f.iff") != kNoError) std::abort();
    readEverything(again);
    (void)again.Close();
}

}  // namespace tryster::fuzz
