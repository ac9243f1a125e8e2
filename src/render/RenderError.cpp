#include "render/RenderError.h"

#include <ostream>

namespace tryster::render {

std::ostream& operator<<(std::ostream& out, RenderResult result) {
    const auto flags = out.flags();
    out << "0x" << std::hex << result.code();
    out.flags(flags);
    return out;
}

}  // namespace tryster::render
