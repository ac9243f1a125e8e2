#pragma once
// Key and value strings attached to bones, outfits, outfit parts and
// animation tracks, shared by reference count; and the timed lists of
// tracks, whose entries fire as an animation passes their time.

#include "anim/AnimTypes.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tryster::anim {

class PropertyList final : public RefCounted {
public:
    using Entry = std::pair<std::string, std::string>;

    static Ref<PropertyList> create() { return Ref<PropertyList>::adopt(new PropertyList); }

    // A key already in the list gets the new value in place; a new key is
    // appended.
    void set(std::string key, std::string value);
    // nullptr when the key is absent.
    const std::string* find(std::string_view key) const;

    const std::vector<Entry>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

private:
    PropertyList() = default;
    std::vector<Entry> entries_;
};

class TimedPropertyList final : public RefCounted {
public:
    struct Entry {
        std::int32_t timeMs = 0;
        Ref<PropertyList> properties;  // never null
    };

    static Ref<TimedPropertyList> create() { return Ref<TimedPropertyList>::adopt(new TimedPropertyList); }

    // Keeps the entries sorted by time; an entry at a time already present
    // replaces that entry's list.
    void set(std::int32_t timeMs, Ref<PropertyList> properties);

    const std::vector<Entry>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

private:
    TimedPropertyList() = default;
    std::vector<Entry> entries_;
};

}  // namespace tryster::anim
