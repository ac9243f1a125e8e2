#include "resfile/StdResFile.h"

namespace tryster::resfile {

StdResFile::StdResFile() {
    AddRule(kKindContainer2, ".iff");
    AddRule(kKindContainer10, ".iff");
    AddRule(kKindResolve, ".dir");
}

}  // namespace tryster::resfile
