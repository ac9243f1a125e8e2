#pragma once
// The automation object "Tryster.Application" that other programs may
// create. While a client holds it, closing the main window only hides it.
//
// The application decides, from its command line, whether to offer the
// object as running or only to refresh the entry by which the system starts
// the program on a client's request. Servers that cannot reach their bus do
// nothing and say nothing.

#include <string_view>

namespace tryster::platform {

// The main window's side: told when the first client attaches and when the
// last one lets go.
class AutomationHost {
public:
    virtual ~AutomationHost() = default;
    virtual void automationAttached() = 0;
    virtual void automationReleased() = 0;
};

class AutomationServer {
public:
    virtual ~AutomationServer() = default;
    // Started for a client ("-Embedding", "/Automation"): offer the factory.
    virtual void registerRunning() = 0;
    // Started by the user: write the activation entry again, pointing at
    // `programPath`.
    virtual void updateRegistration(std::string_view programPath) = 0;
    // The window that clients attach to; nullptr while there is none.
    virtual void setHost(AutomationHost* host) = 0;
};

}  // namespace tryster::platform
