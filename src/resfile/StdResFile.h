#pragma once
// The standard combined file: ".iff" as version 2.x, else as version 1.0,
// and a ".dir" resource directory.

#include "resfile/SeqResFile.h"

namespace tryster::resfile {

class StdResFile : public SeqResFile {
public:
    StdResFile();
};

}  // namespace tryster::resfile
