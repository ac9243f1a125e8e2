#pragma once
// The image library that writes the snapshots, kept to the calling order
// the program relies on: install the file callbacks, init, find the "jpg"
// writer, open it on a stream the program opened, write the pixel block,
// close, and restore at program end. JPEG encoding is libjpeg-turbo's;
// every byte goes out through the installed callbacks.
//
// Pixel blocks are rows top first, 32-bit pixels with alpha in bits 24-31,
// red 16-23, green 8-15, blue 0-7; alpha is not stored.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tryster::formats {

// The program's file and memory callbacks, in the library's table order.
// A stream is whatever `openRead`/`openWrite` return (nullptr: failure).
struct ImageFileCallbacks {
    void* (*openRead)(const char* path) = nullptr;
    void* (*openWrite)(const char* path) = nullptr;  // "con:..." means the console
    int (*close)(void* stream) = nullptr;            // 0 on success
    std::size_t (*read)(void* stream, void* buffer, std::size_t size) = nullptr;
    std::size_t (*write)(void* stream, const void* buffer, std::size_t size) = nullptr;
    int (*seek)(void* stream, long offset, int origin) = nullptr;  // origin as fseek's
    long (*length)(void* stream) = nullptr;
    long (*position)(void* stream) = nullptr;
    void* (*allocate)(std::size_t size) = nullptr;
    void (*release)(void* block) = nullptr;
};

// Callbacks over platform::fileSystem() and the standard allocator.
ImageFileCallbacks fileSystemCallbacks();

struct ImageDescription {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    int frames = 1;
};

class ImageLibrary {
public:
    struct Format;  // a writer descriptor
    struct Writer;  // an open writer

    static ImageLibrary& instance();

    void installCallbacks(const ImageFileCallbacks& callbacks);
    // True when the library is ready (callbacks installed).
    bool init();
    bool ready() const { return ready_; }
    // The writer of a format ("jpg"), or nullptr.
    const Format* find(std::string_view format, int flags) const;
    // nullptr when the description is not a 32-bit image of one frame or
    // more, or the library is not ready.
    Writer* wopen(const Format* format, const ImageDescription& description, void* stream,
                  std::string_view path, int frames);
    // Encodes the block into the writer's stream.
    bool write(Writer* writer, const ImageDescription& description, const void* pixels, int bytesPerRow);
    // Ends the writer; true when every write succeeded.
    bool close(Writer* writer);
    // Releases what the library holds; later calls do nothing until init.
    void restore();

    const ImageFileCallbacks& callbacks() const { return callbacks_; }

    // JPEG quality 1..100 (default 90).
    void setQuality(int quality) { quality_ = quality; }

private:
    ImageFileCallbacks callbacks_;
    bool installed_ = false;
    bool ready_ = false;
    int quality_ = 90;
};

// Installs the file-system callbacks and inits the library for the life of
// the object (program start to end).
class ImageLibrarySession {
public:
    ImageLibrarySession();
    ~ImageLibrarySession();
    ImageLibrarySession(const ImageLibrarySession&) = delete;
    ImageLibrarySession& operator=(const ImageLibrarySession&) = delete;
};

}  // namespace tryster::formats
