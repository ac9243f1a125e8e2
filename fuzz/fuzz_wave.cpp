// WAVE files named by animations come from the game's folders.
#include "formats/WaveFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tryster::formats::WaveSound sound;
    if (tryster::formats::parseWave({data, size}, sound) == tryster::formats::WaveError::None) {
        if (sound.bytesPerFrame() == 0 || sound.samples.size() % sound.bytesPerFrame() != 0) __builtin_trap();
        (void)sound.durationMs();
    }
    return 0;
}
