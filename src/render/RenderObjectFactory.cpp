#include "render/RenderObjectFactory.h"

namespace tryster::render {

void RenderObjectFactory::destroy() {
    for (Slot& s : slots_) s = Slot{};
}

RenderResult RenderObjectFactory::make(std::string_view, Ref<RenderObject>&) {
    return render_error::kNotSupported;
}

bool RenderObjectFactory::add(int id, std::string_view name, RenderObject& object) {
    if (id < 0 || name.size() > kMaxName) return false;
    for (Slot& s : slots_)
        if (s.id == -1) {
            s = {id, std::string(name), Ref<RenderObject>::retain(&object)};
            return true;
        }
    return false;
}

RenderObject* RenderObjectFactory::find(std::string_view name) const {
    for (const Slot& s : slots_)
        if (s.id != -1 && s.name == name) return s.object.get();
    return nullptr;
}

std::size_t RenderObjectFactory::size() const {
    std::size_t n = 0;
    for (const Slot& s : slots_) n += s.id != -1;
    return n;
}

}  // namespace tryster::render
