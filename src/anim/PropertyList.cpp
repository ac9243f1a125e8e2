#include "anim/PropertyList.h"

#include <algorithm>

namespace tryster::anim {

void PropertyList::set(std::string key, std::string value) {
    for (Entry& e : entries_)
        if (e.first == key) {
            e.second = std::move(value);
            return;
        }
    entries_.emplace_back(std::move(key), std::move(value));
}

const std::string* PropertyList::find(std::string_view key) const {
    for (const Entry& e : entries_)
        if (e.first == key) return &e.second;
    return nullptr;
}

void TimedPropertyList::set(std::int32_t timeMs, Ref<PropertyList> properties) {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), timeMs,
                               [](const Entry& e, std::int32_t t) { return e.timeMs < t; });
    if (it != entries_.end() && it->timeMs == timeMs)
        it->properties = std::move(properties);
    else
        entries_.insert(it, Entry{timeMs, std::move(properties)});
}

}  // namespace tryster::anim
