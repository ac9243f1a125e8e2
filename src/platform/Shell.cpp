#include "platform/Shell.h"

namespace tryster::platform {
namespace {

Shell* g_shell = nullptr;

}  // namespace

Shell& shell() {
    static NullShell none;
    return g_shell ? *g_shell : none;
}

void installShell(Shell* replacement) { g_shell = replacement; }

}  // namespace tryster::platform
