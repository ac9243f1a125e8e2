// Index files: read, write back.
#include "AnimFuzzChecks.h"
#include "anim/IndexFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tryster::anim::IndexFileContents index;
    (void)tryster::anim::readIndexFile({data, size}, index);
    std::vector<std::uint8_t> out;
    tryster::fuzz::require(tryster::anim::writeIndexFile(index, out).ok);
    tryster::anim::IndexFileContents back;
    tryster::fuzz::require(tryster::anim::readIndexFile(out, back).ok);
    std::vector<std::uint8_t> again;
    tryster::fuzz::require(tryster::anim::writeIndexFile(back, again).ok && again == out);
    return 0;
}
