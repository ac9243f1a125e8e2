#pragma once
// Helpers shared by the resource-file tests.

#include "ContainerBytes.h"
#include "resfile/DataHandle.h"
#include "resfile/ResTypes.h"
#include "support/TempDir.h"

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace tryster::test {

inline constexpr resfile::ResType kText = resfile::makeType("TEXT"), kData = resfile::makeType("DATA");

inline std::string writeBytes(const TempDir& dir, std::string_view name, const Bytes& b) {
    return dir.write(name, std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

inline Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline Bytes dataOf(resfile::DataHandle h) {
    auto span = resfile::handleBytes(h);
    return Bytes(span.begin(), span.end());
}

inline resfile::DataHandle handleWith(const Bytes& b) { return resfile::newHandleWith(b); }
inline resfile::DataHandle handleWith(std::string_view s) { return resfile::newHandleWith(bytes(s)); }

}  // namespace tryster::test
