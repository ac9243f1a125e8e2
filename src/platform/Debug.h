#pragma once
// Debug print channels: off unless the environment variable TRYSTER_DEBUG
// names the channel (a comma-separated list, or "all"). Output goes to
// standard error, one line per call.

#include <string_view>

namespace tryster::platform {

bool debugChannelOn(std::string_view channel);
void debugPrint(std::string_view channel, std::string_view line);

}  // namespace tryster::platform
