#pragma once
// Runs over a container given as bytes, each checking what the file must
// keep:
// - open, read everything, close: the bytes stay as they were;
// - open, ask for what is not there and change nothing (refused removes,
//   renames and adds), close: the bytes stay as they were;
// - open, change it (add, rewrite, rename, remove), close (with compaction
//   and a fresh map where the kind does that): a file the library closed
//   without error opens again, and every resource that could be read before
//   is still there with its data, except the ones changed.

#include "ResFileFuzzSupport.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace tryster::fuzz {

using Bytes = std::vector<std::uint8_t>;
// Type and data of each resource that can be read, in no particular order.
using Contents = std::multimap<resfile::ResType, Bytes>;

inline Contents readableContents(resfile::iResFile& file) {
    using namespace resfile;
    Contents out;
    for (std::int16_t t = 1; t <= file.CountTypes(); ++t) {
        ResType type = file.GetIndType(t);
        for (std::int16_t i = 1; i <= file.CountResources(type); ++i) {
            DataHandle h = file.GetIndResource(type, i, nullptr);
            if (!h) continue;
            std::span<const std::uint8_t> data = handleBytes(h);
            out.emplace(type, Bytes(data.begin(), data.end()));
            (void)ReleaseAndDispose(file, h);  // read already
        }
    }
    return out;
}

// Takes one resource of that type and data out of `contents`; false when
// there is none.
inline bool takeOut(Contents& contents, resfile::ResType type, const Bytes& data) {
    auto [first, last] = contents.equal_range(type);
    for (auto it = first; it != last; ++it)
        if (it->second == data) {
            contents.erase(it);
            return true;
        }
    return false;
}

inline void requireSameBytes(const test::MemoryFileSystem& fs, const Bytes& before) {
    const Bytes* after = fs.get("f.iff");
    if (!after || *after != before) std::abort();
}

template <typename Kind>
void runUnchanged(test::MemoryFileSystem& fs, const Bytes& original) {
    using namespace resfile;
    fs.put("f.iff", original);
    {
        Kind file;
        if (file.Open("f.iff") != kNoError) return;
        readEverything(file);
        (void)file.Close();  // its result does not matter: the bytes must not change
    }
    requireSameBytes(fs, original);

    fs.put("f.iff", original);
    {
        Kind file;
        if (file.Open("f.iff") != kNoError) return;
        // Each of these is refused before anything is written.
        DataHandle stranger = NewDataHandle(4);
        if (file.RemoveResource(stranger) == kNoError || file.SetResInfo(stranger, 5, "x", 0) == kNoError ||
            file.WriteResource(stranger) == kNoError || file.ReleaseResource(stranger) == kNoError)
            std::abort();
        (void)DisposeDataHandle(stranger);  // ours and live
        if (file.AddResource(DataHandle{}, makeType("FUZZ"), 1, "", true) == kNoError) std::abort();
        (void)file.GetResource(makeType("FUZZ"), 1, nullptr);
        (void)file.Close();  // its result does not matter: the bytes must not change
    }
    requireSameBytes(fs, original);
}

template <typename Kind>
void runChanged(test::MemoryFileSystem& fs, const Bytes& original, std::size_t size) {
    using namespace resfile;
    const ResType fuzzType = makeType("FUZZ");
    fs.put("f.iff", original);
    Contents expected;
    {
        Kind file;
        if (file.Open("f.iff") != kNoError) return;
        expected = readableContents(file);
        readEverything(file);
        // Changes: a new resource, the first resource grown, the second
        // renamed, the third removed.
        DataHandle fresh = NewDataHandle(size % 300);
        if (DataHandle old = file.GetResource(fuzzType, 1, nullptr)) {
            // Taken over by the new one.
            const std::span<const std::uint8_t> data = handleBytes(old);
            (void)takeOut(expected, fuzzType, Bytes(data.begin(), data.end()));
        }
        if (file.AddResource(fresh, fuzzType, 1, "fuzz", true) != kNoError) (void)DisposeDataHandle(fresh);
        ResType first = file.CountTypes() > 0 ? file.GetIndType(1) : 0;
        if (DataHandle h = file.GetIndResource(first, 1, nullptr)) {
            const std::span<const std::uint8_t> data = handleBytes(h);
            (void)takeOut(expected, first, Bytes(data.begin(), data.end()));
            (void)SetDataHandleSize(h, GetDataHandleSize(h) + 1 + size % 200);
            (void)file.WriteResource(h);  // a failure shows at Close
        }
        if (DataHandle h = file.GetIndResource(first, 2, nullptr)) (void)file.SetResInfo(h, 77, "renamed", 0);
        if (DataHandle h = file.GetIndResource(first, 3, nullptr)) {
            const std::span<const std::uint8_t> data = handleBytes(h);
            const Bytes removed(data.begin(), data.end());
            if (file.RemoveResource(h) == kNoError) (void)takeOut(expected, first, removed);
        }
        std::string unique = "fuzz";
        (void)file.UniqueName(first, unique);
        (void)file.UniqueID(first);
        if (file.Close() != kNoError) return;
    }
    Kind again;
    if (again.Open("f.iff") != kNoError) std::abort();
    Contents now = readableContents(again);
    for (const auto& [type, data] : expected)
        if (!takeOut(now, type, data)) std::abort();
    readEverything(again);
    (void)again.Close();  // only read
}

template <typename Kind>
void runContainer(const std::uint8_t* data, std::size_t size) {
    test::MemoryFileSystem& fs = memoryFiles();
    fs.clear();
    const Bytes original(data, data + size);
    runUnchanged<Kind>(fs, original);
    runChanged<Kind>(fs, original, size);
}

}  // namespace tryster::fuzz
