// Compressed frames. The first four bytes give the pool sizes (two u16,
// low 12 bits); the rest is the stream. What decodes must encode back to
// the same bits.
#include "AnimFuzzChecks.h"
#include "anim/FrameFile.h"

#include <bit>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tryster;
    if (size < 4) return 0;
    // Pools of up to 4095 entries keep each run short.
    const std::size_t t = (data[0] | data[1] << 8) & 0x0FFF, q = (data[2] | data[3] << 8) & 0x0FFF;
    anim::FramePools pools;
    if (!anim::decodeCfp({data + 4, size - 4}, t, q, pools)) return 0;
    fuzz::require(pools.translations.size() == t && pools.rotations.size() == q);
    std::vector<std::uint8_t> encoded = anim::encodeCfp(pools);
    anim::FramePools back;
    fuzz::require(anim::decodeCfp(encoded, t, q, back));
    // Bit for bit (empty pools have no data to compare).
    fuzz::require(t == 0 || std::memcmp(back.translations.data(), pools.translations.data(),
                                        t * sizeof(anim::Vector3)) == 0);
    fuzz::require(q == 0 ||
                  std::memcmp(back.rotations.data(), pools.rotations.data(), q * sizeof(anim::Quaternion)) == 0);
    (void)anim::encodeCfp(pools, 0.01f);
    return 0;
}
