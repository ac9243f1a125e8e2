#include "formats/ImageLibrary.h"

#include "platform/FileSystem.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>

namespace tryster::formats {

struct ImageLibrary::Format {
    const char* name;
};

struct ImageLibrary::Writer {
    void* stream = nullptr;
    ImageDescription description;
    bool failed = false;
};

namespace {

constexpr ImageLibrary::Format kJpeg{"jpg"};
constexpr std::size_t kBufferSize = 8192;

// --- file callbacks over the program's file system ---

struct CallbackStream {
    std::unique_ptr<platform::File> file;
    bool console = false;
};

void* openStream(const char* path, platform::OpenMode mode) {
    if (!path) return nullptr;
    auto* s = new (std::nothrow) CallbackStream;
    if (!s) return nullptr;
    if (std::strncmp(path, "con:", 4) == 0) {
        s->console = true;
        return s;
    }
    s->file = platform::fileSystem().open(path, mode);
    if (!s->file) {
        delete s;
        return nullptr;
    }
    return s;
}

int closeStream(void* stream) {
    auto* s = static_cast<CallbackStream*>(stream);
    if (!s) return -1;
    bool ok = s->console || s->file->flush();
    delete s;
    return ok ? 0 : -1;
}

std::size_t readStream(void* stream, void* buffer, std::size_t size) {
    auto* s = static_cast<CallbackStream*>(stream);
    if (!s) return 0;
    if (s->console) return std::fread(buffer, 1, size, stdin);
    return s->file->read(buffer, size);
}

std::size_t writeStream(void* stream, const void* buffer, std::size_t size) {
    auto* s = static_cast<CallbackStream*>(stream);
    if (!s) return 0;
    if (s->console) return std::fwrite(buffer, 1, size, stdout);
    return s->file->write(buffer, size);
}

int seekStream(void* stream, long offset, int origin) {
    auto* s = static_cast<CallbackStream*>(stream);
    if (!s || s->console) return -1;
    std::int64_t base = 0;
    if (origin == SEEK_CUR) base = static_cast<std::int64_t>(s->file->position().value_or(0));
    if (origin == SEEK_END) base = static_cast<std::int64_t>(s->file->size().value_or(0));
    std::int64_t target = base + offset;
    if (target < 0) return -1;
    return s->file->seek(static_cast<std::uint64_t>(target)) ? 0 : -1;
}

long lengthOf(void* stream) {
    auto* s = static_cast<CallbackStream*>(stream);
    if (!s || s->console) return -1;
    auto size = s->file->size();
    return size ? static_cast<long>(*size) : -1;
}

long positionOf(void* stream) {
    auto* s = static_cast<CallbackStream*>(stream);
    if (!s || s->console) return -1;
    auto p = s->file->position();
    return p ? static_cast<long>(*p) : -1;
}

// --- libjpeg-turbo glue ---

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onJpegError(j_common_ptr info) {
    auto* e = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(e->jump, 1);
}

void onJpegMessage(j_common_ptr) {}

struct Destination {
    jpeg_destination_mgr base;
    const ImageFileCallbacks* callbacks;
    ImageLibrary::Writer* writer;
    JOCTET* buffer;
};

void initDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    d->base.next_output_byte = d->buffer;
    d->base.free_in_buffer = kBufferSize;
}

boolean emptyBuffer(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    if (d->callbacks->write(d->writer->stream, d->buffer, kBufferSize) != kBufferSize)
        d->writer->failed = true;
    d->base.next_output_byte = d->buffer;
    d->base.free_in_buffer = kBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    std::size_t used = kBufferSize - d->base.free_in_buffer;
    if (used && d->callbacks->write(d->writer->stream, d->buffer, used) != used) d->writer->failed = true;
}

// Kept free of objects with destructors: libjpeg reports errors by
// jumping back here.
bool encodeJpeg(const ImageFileCallbacks& callbacks, ImageLibrary::Writer& writer, const std::uint8_t* pixels,
                int bytesPerRow, int quality, JOCTET* buffer) {
    jpeg_compress_struct info;
    ErrorManager errors;
    Destination destination;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onJpegError;
    errors.base.output_message = onJpegMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    destination.base.init_destination = initDestination;
    destination.base.empty_output_buffer = emptyBuffer;
    destination.base.term_destination = termDestination;
    destination.callbacks = &callbacks;
    destination.writer = &writer;
    destination.buffer = buffer;
    info.dest = &destination.base;
    info.image_width = static_cast<JDIMENSION>(writer.description.width);
    info.image_height = static_cast<JDIMENSION>(writer.description.height);
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
    return !writer.failed;
}

}  // namespace

ImageFileCallbacks fileSystemCallbacks() {
    ImageFileCallbacks c;
    c.openRead = [](const char* path) { return openStream(path, platform::OpenMode::Read); };
    c.openWrite = [](const char* path) { return openStream(path, platform::OpenMode::CreateTruncate); };
    c.close = closeStream;
    c.read = readStream;
    c.write = writeStream;
    c.seek = seekStream;
    c.length = lengthOf;
    c.position = positionOf;
    c.allocate = [](std::size_t size) { return std::malloc(size); };
    c.release = [](void* block) { std::free(block); };
    return c;
}

ImageLibrary& ImageLibrary::instance() {
    static ImageLibrary library;
    return library;
}

void ImageLibrary::installCallbacks(const ImageFileCallbacks& callbacks) {
    callbacks_ = callbacks;
    installed_ =
        callbacks.openWrite && callbacks.close && callbacks.write && callbacks.allocate && callbacks.release;
}

bool ImageLibrary::init() {
    ready_ = installed_;
    return ready_;
}

const ImageLibrary::Format* ImageLibrary::find(std::string_view format, int) const {
    if (!ready_) return nullptr;
    return platform::equalsNoCase(format, kJpeg.name) ? &kJpeg : nullptr;
}

ImageLibrary::Writer* ImageLibrary::wopen(const Format* format, const ImageDescription& description,
                                          void* stream, std::string_view, int frames) {
    if (!ready_ || format != &kJpeg || !stream || description.bitsPerPixel != 32 || description.width < 1 ||
        description.height < 1 || description.width > 65500 || description.height > 65500 || frames < 1)
        return nullptr;
    void* memory = callbacks_.allocate(sizeof(Writer));
    if (!memory) return nullptr;
    return new (memory) Writer{stream, description, false};
}

bool ImageLibrary::write(Writer* writer, const ImageDescription& description, const void* pixels,
                         int bytesPerRow) {
    if (!ready_ || !writer || !pixels || description.width != writer->description.width ||
        description.height != writer->description.height || bytesPerRow < description.width * 4)
        return false;
    auto* buffer = static_cast<JOCTET*>(callbacks_.allocate(kBufferSize));
    if (!buffer) return writer->failed = true, false;
    bool ok = encodeJpeg(callbacks_, *writer, static_cast<const std::uint8_t*>(pixels), bytesPerRow, quality_,
                         buffer);
    callbacks_.release(buffer);
    if (!ok) writer->failed = true;
    return ok;
}

bool ImageLibrary::close(Writer* writer) {
    if (!writer) return false;
    bool ok = !writer->failed;
    writer->~Writer();
    callbacks_.release(writer);
    return ok;
}

void ImageLibrary::restore() {
    ready_ = false;
}

ImageLibrarySession::ImageLibrarySession() {
    ImageLibrary::instance().installCallbacks(fileSystemCallbacks());
    ImageLibrary::instance().init();
}

ImageLibrarySession::~ImageLibrarySession() {
    ImageLibrary::instance().restore();
}

}  // namespace tryster::formats
