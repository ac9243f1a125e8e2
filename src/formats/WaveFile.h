#pragma once
// RIFF WAVE files holding plain PCM: the program's own sounds and the sound
// files that animations name. Reading is checked throughout; anything but
// PCM (8, 16, 24 or 32 bits, 1 to 8 channels) is refused rather than played
// as noise.

#include <cstdint>
#include <span>
#include <vector>

namespace tryster::formats {

struct WaveSound {
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;   // frames per second
    std::uint16_t bitsPerSample = 0;
    // Interleaved frames as stored (8 bits unsigned, wider signed little-endian);
    // always a whole number of frames.
    std::vector<std::uint8_t> samples;

    std::uint32_t bytesPerFrame() const { return channels * ((bitsPerSample + 7u) / 8u); }
    std::uint32_t durationMs() const;
};

enum class WaveError {
    None = 0,
    NotRiffWave,        // no "RIFF"/"WAVE" header
    NoFormat,           // no usable "fmt " chunk before the data
    UnsupportedFormat,  // compressed, or channels, bits or rate out of range
    NoData              // no "data" chunk
};

// Reads a WAVE file. A data chunk that claims more bytes than the file holds
// is taken up to the file's end (many tools write the size before the data),
// cut to whole frames.
[[nodiscard]] WaveError parseWave(std::span<const std::uint8_t> bytes, WaveSound& out);

// Writes a canonical 44-byte-header PCM file.
std::vector<std::uint8_t> encodeWave(const WaveSound& sound);

}  // namespace tryster::formats
