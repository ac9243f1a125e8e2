// Version 2.x containers: header, map, walk, loading, every change and the
// close that compacts and writes the map.

#include "FuzzContainer.h"
#include "resfile/IFFResFile2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tryster::fuzz::runContainer<tryster::resfile::IFFResFile2>(data, size);
    return 0;
}
