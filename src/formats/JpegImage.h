#pragma once
// JPEG pictures over libjpeg-turbo. Pixels are 32-bit words with alpha in
// bits 24-31, red 16-23, green 8-15, blue 0-7; rows top first.
//
// Reading is for pictures that come from strangers: a shared date's
// snapshots are decoded here, with their size capped, so no other decoder
// has to meet them; alpha comes out 255. Writing is the image library's
// (ImageLibrary.h), which hands the bytes to the program's file callbacks;
// alpha is not stored.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tryster::formats {

struct JpegPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// False for bytes that are not a whole JPEG picture, or one wider or
// taller than `maxSide` pixels.
bool decodeJpeg(std::span<const std::uint8_t> bytes, int maxSide, JpegPicture& out);

// Where an encoded picture goes, a buffer at a time: `write` returns false
// when the bytes could not be written (the encoding goes on, and fails).
struct JpegSink {
    void* context = nullptr;
    bool (*write)(void* context, const std::uint8_t* bytes, std::size_t size) = nullptr;
};

// Encodes `width` × `height` pixels, rows `bytesPerRow` bytes apart, at
// `quality` 1..100, filling `buffer` between writes.
// False when the encoder fails or a write did.
bool encodeJpeg(const std::uint8_t* pixels, int width, int height, int bytesPerRow, int quality, JpegSink sink,
                std::span<std::uint8_t> buffer);

}  // namespace tryster::formats
