#include "platform/DeviceTypes.h"

#include <ostream>

namespace tryster::platform {

std::ostream& operator<<(std::ostream& out, DeviceResult result) {
    const auto flags = out.flags();
    out << "0x" << std::hex << result.code();
    out.flags(flags);
    return out;
}

}  // namespace tryster::platform
