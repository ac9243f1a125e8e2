#pragma once
// The real Shell: hands a file or a web address to the desktop's default
// handler (Qt's desktop services). Failures are not reported.

#include "platform/Shell.h"

#include <QUrl>

namespace tryster::platform {

class QtShell final : public Shell {
public:
    void open(std::string_view fileOrAddress) override;

    // What `open` hands to the desktop: addresses with a scheme as they are,
    // anything else as a local file, resolved the way every program path is
    // ('\' separators, letter case).
    static QUrl urlFor(std::string_view fileOrAddress);
};

}  // namespace tryster::platform
