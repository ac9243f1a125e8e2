#pragma once
// Opens a file or a web address with the desktop's default handler.
// Failures are not reported (the program never checks them).

#include <string_view>

namespace tryster::platform {

class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(std::string_view fileOrAddress) = 0;
};

class NullShell final : public Shell {
public:
    void open(std::string_view) override {}
};

// The process-wide shell: a NullShell until the application installs the
// real one.
Shell& shell();
void installShell(Shell* replacement);

}  // namespace tryster::platform
