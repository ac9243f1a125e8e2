#pragma once
// The template ids, as the window's code names them.

#include "wizard/ControlIds.h"

namespace tryster::app {
using namespace tryster::controls;
}  // namespace tryster::app
