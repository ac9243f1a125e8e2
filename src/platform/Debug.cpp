#include "platform/Debug.h"

#include "platform/FileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tryster::platform {

bool debugChannelOn(std::string_view channel) {
    static const std::string channels = [] {
        const char* env = std::getenv("TRYSTER_DEBUG");
        return std::string(env ? env : "");
    }();
    if (channels.empty()) return false;
    std::string_view rest = channels;
    while (!rest.empty()) {
        std::size_t comma = rest.find(',');
        std::string_view name = rest.substr(0, comma);
        if (name == "all" || equalsNoCase(name, channel)) return true;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}

void debugPrint(std::string_view channel, std::string_view line) {
    if (!debugChannelOn(channel)) return;
    std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(channel.size()), channel.data(),
                 static_cast<int>(line.size()), line.data());
}

}  // namespace tryster::platform
