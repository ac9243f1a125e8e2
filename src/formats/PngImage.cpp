#include "formats/PngImage.h"

#include "platform/FileSystem.h"

#include <png.h>

namespace tryster::formats {

bool writePng(std::string_view path, int width, int height, const std::uint32_t* pixels, std::size_t stride,
              bool keepAlpha) {
    if (width < 1 || height < 1 || !pixels || stride < static_cast<std::size_t>(width)) return false;
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)];
            rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)] = keepAlpha ? p : (p | 0xFF000000u);
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;  // the bytes of little-endian 0xAARRGGBB words
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rows.data(), 0, nullptr)) return false;
    std::vector<std::uint8_t> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rows.data(), 0, nullptr)) return false;
    return platform::writeWholeFile(path, bytes.data(), size);
}

bool readPng(std::string_view path, PngPicture& out) {
    auto bytes = platform::readWholeFile(path);
    if (!bytes) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes->data(), bytes->size())) return false;
    if (image.width > 16384 || image.height > 16384) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.pixels = std::move(pixels);
    return true;
}

}  // namespace tryster::formats
