#include "exchange/CatalogName.h"

#include "resfile/StringSet.h"
#include "resfile/StringSetMulti.h"

#include <algorithm>

namespace tryster::exchange {

using namespace resfile;

namespace {

// The text from `from` up to the next zero byte or the end of the data.
std::string textAt(std::span<const std::uint8_t> data, std::size_t from) {
    if (from >= data.size()) return {};
    auto begin = data.begin() + static_cast<std::ptrdiff_t>(from);
    auto end = std::find(begin, data.end(), std::uint8_t{0});
    return std::string(begin, end);
}

}  // namespace

ResError CatalogName::load(iResFile& file, std::int16_t id) {
    name.clear();
    description.clear();
    if (DataHandle handle = file.GetResource(kTypeCatalogText, id, nullptr)) {
        std::span<const std::uint8_t> data = handleBytes(handle);
        name = textAt(data, 0);
        // A description follows only when the name's zero lies inside.
        if (name.size() < data.size()) description = textAt(data, name.size() + 1);
        (void)ReleaseAndDispose(file, handle);  // the data is read; what the file keeps, it disposes
        return kNoError;
    }
    StringSet strings;
    strings.Setup(&file, static_cast<std::uint16_t>(id), kTypeCatalogStrings, false, kDefaultLanguage);
    ResError error = strings.Read(false, false);
    if (error == kNoError) {
        if (const std::string* s = strings.GetString(1)) name = *s;
        if (const std::string* s = strings.GetString(2)) description = *s;
    }
    return error;
}

ResError CatalogName::save(iResFile& file, std::int16_t id) const {
    StringSetMulti strings;
    strings.Setup(&file, static_cast<std::uint16_t>(id), kTypeCatalogStrings, false, kDefaultLanguage);
    strings.SetString(1, name, kDefaultLanguage);
    strings.SetString(2, description, kDefaultLanguage);
    if (ResError error = strings.Save(); error != kNoError) return error;
    if (DataHandle old = file.GetResource(kTypeCatalogText, id, nullptr)) return file.RemoveResource(old);
    return kNoError;
}

}  // namespace tryster::exchange
