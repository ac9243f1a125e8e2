#pragma once
// A shell that remembers what it was asked to open. Install it with
// `platform::installShell`.

#include "platform/Shell.h"

#include <string>
#include <string_view>
#include <vector>

namespace tryster::test {

class RecordingShell final : public platform::Shell {
public:
    void open(std::string_view target) override { opened.emplace_back(target); }
    std::vector<std::string> opened;
};

}  // namespace tryster::test
