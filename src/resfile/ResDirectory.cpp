#include "resfile/ResDirectory.h"

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <new>

namespace tryster::resfile {
namespace {

constexpr std::string_view kMagic = "TRES";
constexpr std::size_t kFixedHeader = 11;

bool parseHeader(std::span<const std::uint8_t> bytes, ResDirectory::Record& record) {
    io::ByteReader r(bytes);
    std::string magic;
    std::uint32_t type = 0;
    std::int16_t id = 0;
    std::uint8_t length = 0;
    if (!r.fixedString(4, magic) || magic != kMagic || !r.u32be(type) || !r.i16be(id) || !r.u8(length) ||
        length > kMaxNameLength || !r.fixedString(length, record.name))
        return false;
    record.type = type;
    record.id = id;
    record.dataOffset = r.position();
    return true;
}

}  // namespace

int ResDirectory::open(std::string_view path) {
    types_.clear();
    records_.clear();
    platform::FileSystem& fs = platform::fileSystem();
    if (!fs.isDirectory(path)) return kDirNotFound;
    // Data is read later: a relative folder is pinned to the current one.
    bool relative = !path.empty() && path[0] != '/' && path[0] != '\\' && path.find(':') == std::string_view::npos;
    std::string folder = relative ? platform::joinPath(fs.currentDirectory(), path) : std::string(path);
    try {
        for (const std::string& name : platform::findFiles(folder, "*.res")) {
            Record record;
            record.path = platform::joinPath(folder, name);
            auto file = fs.open(record.path, platform::OpenMode::Read);
            if (!file) continue;
            std::uint8_t head[kFixedHeader + kMaxNameLength];
            std::size_t got = file->read(head, sizeof head);
            auto size = file->size();
            if (!parseHeader({head, got}, record) || !size || *size - record.dataOffset > kMaxChunkSize) continue;
            if (std::find(types_.begin(), types_.end(), record.type) == types_.end()) types_.push_back(record.type);
            records_.push_back(std::move(record));
        }
    } catch (const std::bad_alloc&) {
        types_.clear();
        records_.clear();
        return kDirNoMemory;
    }
    return kDirOk;
}

int ResDirectory::typeAt(int position, ResType& type) const {
    if (position < 1 || position > countTypes()) return kDirNotFound;
    type = types_[static_cast<std::size_t>(position) - 1];
    return kDirOk;
}

int ResDirectory::countResources(ResType type) const {
    return static_cast<int>(std::count_if(records_.begin(), records_.end(), [type](const Record& r) { return r.type == type; }));
}

int ResDirectory::find(ResType type, std::int16_t id, const Record*& out) const {
    for (const Record& r : records_) {
        if (r.type == type && r.id == id) {
            out = &r;
            return kDirOk;
        }
    }
    return kDirNotFound;
}

int ResDirectory::findNamed(ResType type, std::string_view name, const Record*& out) const {
    for (const Record& r : records_) {
        if (r.type == type && platform::equalsNoCase(r.name, name)) {
            out = &r;
            return kDirOk;
        }
    }
    return kDirNotFound;
}

int ResDirectory::findAt(ResType type, int position, const Record*& out) const {
    for (const Record& r : records_) {
        if (r.type == type && --position == 0) {
            out = &r;
            return kDirOk;
        }
    }
    return kDirNotFound;
}

int ResDirectory::readData(const Record& record, std::vector<std::uint8_t>& out) const {
    auto file = platform::fileSystem().open(record.path, platform::OpenMode::Read);
    if (!file) return kDirNotFound;
    auto size = file->size();
    if (!size || *size < record.dataOffset || *size - record.dataOffset > kMaxChunkSize ||
        !file->seek(record.dataOffset))
        return kDirNotFound;
    try {
        out.resize(static_cast<std::size_t>(*size - record.dataOffset));
    } catch (const std::bad_alloc&) {
        return kDirNoMemory;
    } catch (const std::length_error&) {
        return kDirNoMemory;
    }
    return file->read(out.data(), out.size()) == out.size() ? kDirOk : kDirNotFound;
}

std::vector<std::uint8_t> ResDirectory::encode(ResType type, std::int16_t id, std::string_view name,
                                               std::span<const std::uint8_t> data) {
    name = clipName(name);
    io::ByteWriter w;
    w.text(kMagic);
    w.u32be(type);
    w.i16be(id);
    w.u8(static_cast<std::uint8_t>(name.size()));
    w.text(name);
    w.raw(data.data(), data.size());
    return w.take();
}

std::string ResDirectory::fileNameFor(ResType type, std::int16_t id) {
    static constexpr std::string_view kUnsafe = "\\/:*?\"<>|%";
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        auto c = static_cast<unsigned char>(type >> shift);
        if (c > 0x20 && c < 0x7F && kUnsafe.find(static_cast<char>(c)) == std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out + "_" + std::to_string(id) + ".res";
}

}  // namespace tryster::resfile
