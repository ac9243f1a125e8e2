#pragma once
// The plain single-language string set.

#include "resfile/StringSetBase.h"

namespace tryster::resfile {

class StringSet : public StringSetBase {};

}  // namespace tryster::resfile
