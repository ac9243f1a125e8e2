#pragma once
// Container files written byte by byte, for tests that need exact or
// damaged layouts.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tryster::test {

using Bytes = std::vector<std::uint8_t>;

inline void be(Bytes& out, std::uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void le(Bytes& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void text(Bytes& out, std::string_view s) { out.insert(out.end(), s.begin(), s.end()); }
inline Bytes bytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// "IFF FILE 2.x:TYPE FOLLOWED BY SIZE\0 WYNNE ARLEKAMP & ORVEL 1" + map offset.
inline Bytes header2(char minor, std::uint32_t mapOffset) {
    Bytes h;
    text(h, "IFF FILE 2.");
    h.push_back(static_cast<std::uint8_t>(minor));
    text(h, ":TYPE FOLLOWED BY SIZE");
    h.push_back(0);
    text(h, " WYNNE ARLEKAMP & ORVEL 1");
    be(h, mapOffset, 4);
    return h;
}

inline Bytes header10() {
    Bytes h;
    text(h, "IFF FILE 1.0:TYPE FOLLOWED BY SIZE");
    h.push_back(0);
    text(h, " WYNNE ARLEKAMP & ORVEL 1996");
    h.push_back(0);
    return h;
}

// 76-byte header: type, size (by default header + data), id, flags, name
// in 64 bytes; then the data.
inline Bytes chunk2(std::string_view type, std::int16_t id, std::uint16_t flags, std::string_view name,
                    const Bytes& data, std::optional<std::uint32_t> size = std::nullopt) {
    Bytes out;
    text(out, type);
    be(out, size.value_or(static_cast<std::uint32_t>(76 + data.size())), 4);
    be(out, static_cast<std::uint16_t>(id), 2);
    be(out, flags, 2);
    Bytes field(64, 0);
    std::copy(name.begin(), name.end(), field.begin());
    out.insert(out.end(), field.begin(), field.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// A free 2.x chunk of `size` bytes in all.
inline Bytes free2(std::uint32_t size) { return chunk2("XXXX", 0, 0x0004, "", Bytes(size - 76, 0xEE)); }

// 16-byte header: type, size, id, flags, name key.
inline Bytes chunk1(std::string_view type, std::int16_t id, std::uint16_t flags, std::uint32_t key, const Bytes& data) {
    Bytes out;
    text(out, type);
    be(out, static_cast<std::uint32_t>(16 + data.size()), 4);
    be(out, static_cast<std::uint16_t>(id), 2);
    be(out, flags, 2);
    be(out, key, 4);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// The record form of a name list: frame ("NAME" in machine order), count,
// then key and padded name per pair.
inline Bytes nameRecord(std::initializer_list<std::pair<std::uint32_t, std::string>> pairs) {
    Bytes b{0, 0, 0, 0, 0, 0, 0, 0, 'E', 'M', 'A', 'N'};
    le(b, static_cast<std::uint32_t>(pairs.size()), 4);
    for (const auto& [key, name] : pairs) {
        le(b, key, 4);
        text(b, name);
        b.push_back(0);
        if (b.size() % 2) b.push_back(0);
    }
    return b;
}

struct MapEntry {
    std::uint32_t offset;
    std::int16_t id;
    std::uint16_t flags;
    std::string name;
};
struct MapType {
    std::string type;
    std::vector<MapEntry> entries;
};

// The data of an "rsmp" record: frame (swap 0, version 0, "rsmp" in
// machine order), free count, types, entries with padded names.
inline Bytes mapData(std::uint32_t freeBytes, const std::vector<MapType>& types) {
    Bytes out{0, 0, 0, 0, 0, 0, 0, 0, 'p', 'm', 's', 'r'};
    le(out, freeBytes, 4);
    le(out, static_cast<std::uint32_t>(types.size()), 4);
    for (const MapType& t : types) {
        for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(t.type[static_cast<std::size_t>(i)]));
        le(out, static_cast<std::uint32_t>(t.entries.size()), 4);
        for (const MapEntry& e : t.entries) {
            le(out, e.offset, 4);
            le(out, static_cast<std::uint16_t>(e.id), 2);
            le(out, e.flags, 2);
            text(out, e.name);
            out.push_back(0);
            if (out.size() % 2) out.push_back(0);
        }
    }
    return out;
}

inline std::uint32_t readBe32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
           static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

// The version 1.0 character file a mutation campaign found cut short: a
// name record, a 420-byte string list whose size field was raised by 3, two
// stray bytes, then a 59 000-byte picture whose header, read a byte late,
// claims about 15 MB. `fill` makes the data of the list and the picture.
inline Bytes misalignedVersion10File(std::uint8_t listFill, std::uint8_t pictureFill) {
    Bytes strings = chunk1("STR#", 200, 0, 1, Bytes(404, listFill));
    strings[7] = static_cast<std::uint8_t>(strings[7] + 3);  // 420 becomes 423
    return cat({header10(), chunk1("NAME", 1, 0x0018, 0xFFFFFFFF, nameRecord({{1, "Appearances"}})), strings,
                {0xAB, 0xCD}, chunk1("BMP_", 1, 0, 0xFFFFFFFF, Bytes(59000, pictureFill))});
}

}  // namespace tryster::test
