#pragma once
// A table of library entries by name: open addressing over a power-of-two
// slot array (linear probing, grown at half full), entries kept in a deque
// so references to them stay valid as the table grows. Entries are never
// removed. Iteration follows the order in which names were added.
//
// `Entry` needs a `std::string name` member, which is the key.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tryster::anim {

template <typename Entry>
class NameTable {
public:
    explicit NameTable(std::size_t initialSlots) { slots_.resize(roundUp(initialSlots)); }

    // The entry of that name, added with only its name set when absent
    // (second is true then).
    std::pair<Entry&, bool> tryEmplace(std::string_view name) {
        const std::size_t hash = hashOf(name);
        std::size_t i = hash & mask();
        for (; slots_[i].index != 0; i = (i + 1) & mask()) {
            Entry& e = entries_[slots_[i].index - 1];
            if (slots_[i].hash == hash && e.name == name) return {e, false};
        }
        entries_.emplace_back();
        Entry& added = entries_.back();
        added.name = std::string(name);
        slots_[i] = {hash, static_cast<std::uint32_t>(entries_.size())};
        if (entries_.size() * 2 > slots_.size()) grow();
        return {added, true};
    }

    Entry* find(std::string_view name) {
        const std::size_t hash = hashOf(name);
        for (std::size_t i = hash & mask(); slots_[i].index != 0; i = (i + 1) & mask()) {
            Entry& e = entries_[slots_[i].index - 1];
            if (slots_[i].hash == hash && e.name == name) return &e;
        }
        return nullptr;
    }
    const Entry* find(std::string_view name) const { return const_cast<NameTable*>(this)->find(name); }

    std::size_t size() const { return entries_.size(); }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    struct Slot {
        std::size_t hash = 0;
        std::uint32_t index = 0;  // entry index + 1; 0 is free
    };

    static std::size_t roundUp(std::size_t n) {
        std::size_t size = 16;
        while (size < n) size *= 2;
        return size;
    }
    static std::size_t hashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }
    std::size_t mask() const { return slots_.size() - 1; }

    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& s : old) {
            if (s.index == 0) continue;
            std::size_t i = s.hash & mask();
            while (slots_[i].index != 0) i = (i + 1) & mask();
            slots_[i] = s;
        }
    }

    std::vector<Slot> slots_;
    std::deque<Entry> entries_;
};

}  // namespace tryster::anim
