// Feeds every input to both image decoders.
#include "formats/ImageDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    tryster::formats::DecodedImage image;
    if (tryster::formats::decodeBmp(bytes, image) &&
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
        __builtin_trap();
    (void)tryster::formats::decodePpm(bytes, image);
    return 0;
}
