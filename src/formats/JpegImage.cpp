// JPEG decoding and encoding over libjpeg-turbo.

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

// libjpeg reports an error by calling error_exit, which must not return:
// it jumps back to the frame that set `jump`. Messages are not printed.
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

jpeg_error_mgr* useErrors(Errors& errors) {
    jpeg_error_mgr* manager = jpeg_std_error(&errors.base);
    manager->error_exit = onError;
    manager->output_message = onMessage;
    manager->emit_message = onWarning;
    return manager;
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
    info.err = useErrors(errors);
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

struct Destination {
    jpeg_destination_mgr base;
    JpegSink sink;
    std::span<std::uint8_t> buffer;
    bool failed;
};

void send(Destination& d, std::size_t size) {
    if (size && !d.sink.write(d.sink.context, d.buffer.data(), size)) d.failed = true;
}

void initDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    d->base.next_output_byte = d->buffer.data();
    d->base.free_in_buffer = d->buffer.size();
}

boolean emptyBuffer(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    send(*d, d->buffer.size());
    d->base.next_output_byte = d->buffer.data();
    d->base.free_in_buffer = d->buffer.size();
    return TRUE;
}

void termDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    send(*d, d->buffer.size() - d->base.free_in_buffer);
}

}  // namespace

bool decodeJpeg(std::span<const std::uint8_t> bytes, int maxSide, JpegPicture& out) {
    out = {};
    if (bytes.empty() || maxSide <= 0) return false;
    if (decode(bytes, maxSide, out)) return true;
    out = {};
    return false;
}

// Kept free of objects with destructors: libjpeg reports errors by jumping
// back here.
bool encodeJpeg(const std::uint8_t* pixels, int width, int height, int bytesPerRow, int quality, JpegSink sink,
                std::span<std::uint8_t> buffer) {
    jpeg_compress_struct info;
    Errors errors;
    Destination destination;
    info.err = useErrors(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    destination.base.init_destination = initDestination;
    destination.base.empty_output_buffer = emptyBuffer;
    destination.base.term_destination = termDestination;
    destination.sink = sink;
    destination.buffer = buffer;
    destination.failed = false;
    info.dest = &destination.base;
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 4;
    // 0xAARRGGBB words are the bytes B, G, R, A in memory.
    info.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + static_cast<std::size_t>(info.next_scanline) *
                                                         static_cast<std::size_t>(bytesPerRow));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return !destination.failed;
}

}  // namespace tryster::formats
