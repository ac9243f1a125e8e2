#pragma once
// The snapshot step of the save command: pictures of the head and of the
// whole body, taken from the preview. The wizard's preview implements it;
// without a preview (the command-line tool) the step writes nothing.

#include <string>
#include <string_view>
#include <vector>

namespace tryster::exchange {

class PreviewSnapshots {
public:
    virtual ~PreviewSnapshots() = default;
    // Writes what it can at these paths (the save puts them in place
    // later); the paths of the files written whole.
    virtual std::vector<std::string> takeSnapshots(std::string_view headPath, std::string_view bodyPath) = 0;
};

}  // namespace tryster::exchange
