// JPEG decoding over libjpeg-turbo.

#include "formats/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace tryster::formats {
namespace {

// Progressive pictures may hold any number of scans, each a pass over the
// whole picture; far more than any encoder writes stops the decoder from
// being kept busy by a crafted file.
constexpr int kMaxScans = 100;

struct Errors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onError(j_common_ptr info) { std::longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1); }
void onMessage(j_common_ptr) {}
// Warnings (a damaged stream the decoder would patch up) count as errors.
void onWarning(j_common_ptr info, int level) {
    if (level < 0) onError(info);
}

void onProgress(j_common_ptr info) {
    auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > kMaxScans) onError(info);
}

// Kept free of objects with destructors: libjpeg reports errors by jumping
// back here. `out` lives in the caller's frame.
bool decode(std::span<const std::uint8_t> bytes, int maxSide, JpegPicture& out) {
    jpeg_decompress_struct info;
    Errors errors;
    jpeg_progress_mgr progress;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.output_message = onMessage;
    errors.base.emit_message = onWarning;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    progress.progress_monitor = onProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width == 0 || info.image_height == 0 ||
        info.image_width > static_cast<JDIMENSION>(maxSide) || info.image_height > static_cast<JDIMENSION>(maxSide)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // 0xAARRGGBB words are the bytes B, G, R, A in memory.
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.pixels.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height), 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(out.pixels.data() +
                                                  static_cast<std::size_t>(info.output_scanline) *
                                                      static_cast<std::size_t>(out.width));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

bool decodeJpeg(std::span<const std::uint8_t> bytes, int maxSide, JpegPicture& out) {
    out = {};
    if (bytes.empty() || maxSide <= 0) return false;
    if (decode(bytes, maxSide, out)) return true;
    out = {};
    return false;
}

}  // namespace tryster::formats
