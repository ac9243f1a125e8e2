#pragma once
// A registry of named render objects in 512 slots, made by the character
// library on the device. Making an object by name is not offered, so the
// preview registers nothing in it.

#include "render/RenderObject.h"

#include <array>
#include <string>
#include <string_view>

namespace tryster::render {

class RenderObjectFactory {
public:
    static constexpr std::size_t kSlots = 512;
    static constexpr std::size_t kMaxName = 255;

    RenderObjectFactory() = default;
    ~RenderObjectFactory() { destroy(); }
    RenderObjectFactory(const RenderObjectFactory&) = delete;
    RenderObjectFactory& operator=(const RenderObjectFactory&) = delete;

    // Releases every registered object and empties the slots.
    void destroy();
    // Always kNotSupported.
    [[nodiscard]] RenderResult make(std::string_view name, Ref<RenderObject>& out);

    // Puts an object (with a reference) into the first free slot; false
    // when the slots are full, the id is negative or the name too long.
    bool add(int id, std::string_view name, RenderObject& object);
    RenderObject* find(std::string_view name) const;
    std::size_t size() const;

private:
    struct Slot {
        int id = -1;
        std::string name;
        Ref<RenderObject> object;
    };
    std::array<Slot, kSlots> slots_;
};

}  // namespace tryster::render
