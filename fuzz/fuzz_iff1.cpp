// Version 1.0 containers: header, walk, name list in both forms, every
// change and the close that compacts.

#include "FuzzContainer.h"
#include "resfile/IFFResFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tryster::fuzz::runContainer<tryster::resfile::IFFResFile>(data, size);
    return 0;
}
