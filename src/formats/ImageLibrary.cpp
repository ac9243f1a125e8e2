#include "formats/ImageLibrary.h"

#include "formats/JpegImage.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

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

// Hands the encoder's bytes to the writer's stream through the callbacks.
struct StreamSink {
    const ImageFileCallbacks* callbacks;
    void* stream;

    static bool write(void* context, const std::uint8_t* bytes, std::size_t size) {
        auto* s = static_cast<StreamSink*>(context);
        return s->callbacks->write(s->stream, bytes, size) == size;
    }
};

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
    auto* buffer = static_cast<std::uint8_t*>(callbacks_.allocate(kBufferSize));
    if (!buffer) return writer->failed = true, false;
    StreamSink sink{&callbacks_, writer->stream};
    bool ok = encodeJpeg(static_cast<const std::uint8_t*>(pixels), description.width, description.height, bytesPerRow,
                         quality_, {&sink, &StreamSink::write}, {buffer, kBufferSize});
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
