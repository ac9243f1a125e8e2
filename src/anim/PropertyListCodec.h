#pragma once
// Property lists in both encodings, over the readers and writers of either
// (TextAssetReader, BinaryAssetReader, AssetWriters.h): a pair count, then
// per pair the key (a name) and the value (text: the line right after the
// key, possibly empty). An optional list is preceded by a flag, 0 for none.

#include "anim/PropertyList.h"

namespace tryster::anim {

template <typename Reader>
bool readPropertyList(Reader& in, Ref<PropertyList>& out) {
    std::size_t n;
    if (!in.count(n)) return false;
    Ref<PropertyList> list = PropertyList::create();
    for (std::size_t i = 0; i < n; ++i) {
        std::string key, value;
        if (!in.name(key, kShortNameLimit) || !in.line(value, kShortNameLimit)) return false;
        list->set(std::move(key), std::move(value));
    }
    out = std::move(list);
    return true;
}

template <typename Reader>
bool readOptionalPropertyList(Reader& in, Ref<PropertyList>& out) {
    std::int32_t flag;
    if (!in.integer(flag)) return false;
    out.reset();
    return flag == 0 || readPropertyList(in, out);
}

template <typename Writer>
bool writePropertyList(Writer& w, const PropertyList& list) {
    w.count(list.size());
    for (const auto& [key, value] : list.entries())
        if (!w.name(key, kShortNameLimit) || !w.line(value, kShortNameLimit)) return false;
    return true;
}

template <typename Writer>
bool writeOptionalPropertyList(Writer& w, const Ref<PropertyList>& list) {
    w.integer(list ? 1 : 0);
    return !list || writePropertyList(w, *list);
}

}  // namespace tryster::anim
