// Text character files: read, write back, play.
#include "AnimFuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tryster::anim::CharacterFileContents c;
    (void)tryster::anim::readCharacterText({reinterpret_cast<const char*>(data), size}, c);
    tryster::fuzz::roundTripCharacters(c, true);
    tryster::fuzz::playEverything(c);
    return 0;
}
