// Binary character files: read, write back, play.
#include "AnimFuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tryster::anim::CharacterFileContents c;
    (void)tryster::anim::readCharacterBinary({data, size}, c);
    tryster::fuzz::roundTripCharacters(c, false);
    tryster::fuzz::playEverything(c);
    return 0;
}
