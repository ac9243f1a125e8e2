#include "share/Pack.h"

#include <cassert>

namespace tryster::share {
namespace {

const PackFile* named(const Pack& pack, std::string_view folder, const std::string& name) {
    return pack.find(std::string(folder) + "\\" + name);
}

}  // namespace

const PackFile& Pack::date() const {
    for (const PackFile& f : files)
        if (f.path.kind == PackFileKind::Date) return f;
    assert(false && "a checked pack holds a date");
    return files.front();
}

std::string Pack::dateName() const {
    const std::string_view name = date().path.fileName();
    return std::string(name.substr(0, name.size() - kDateExtension.size()));
}

const PackFile* Pack::webExchange() const {
    return named(*this, kDatesFolder, dateName() + std::string(kWebExchangeExtension));
}
const PackFile* Pack::headSnapshot() const {
    return named(*this, kDatesFolder, dateName() + std::string(kHeadSnapshotSuffix));
}
const PackFile* Pack::bodySnapshot() const {
    return named(*this, kDatesFolder, dateName() + std::string(kBodySnapshotSuffix));
}

const PackFile* Pack::find(std::string_view gamePath) const {
    for (const PackFile& f : files)
        if (caseKey(f.path.path) == caseKey(gamePath)) return &f;
    return nullptr;
}

platform::HeldFiles heldSkins(const Pack& pack) {
    platform::HeldFiles held;
    for (const PackFile& f : pack.files)
        if (isSkin(f.path.kind)) held.add(std::string(f.path.fileName()), f.bytes);
    return held;
}

}  // namespace tryster::share
