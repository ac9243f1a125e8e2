#include "formats/WaveFile.h"

#include "io/ByteReader.h"
#include "io/ByteWriter.h"

namespace tryster::formats {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kMaxChannels = 8;
constexpr std::uint32_t kMaxSampleRate = 384000;

bool readTag(io::ByteReader& in, char (&tag)[4]) { return in.readBytes(tag, 4); }

bool isTag(const char (&tag)[4], const char* wanted) {
    return tag[0] == wanted[0] && tag[1] == wanted[1] && tag[2] == wanted[2] && tag[3] == wanted[3];
}

bool supported(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    bool bitsOk = bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return bitsOk && channels >= 1 && channels <= kMaxChannels && rate >= 1 && rate <= kMaxSampleRate;
}

}  // namespace

std::uint32_t WaveSound::durationMs() const {
    std::uint64_t frameBytes = bytesPerFrame();
    if (frameBytes == 0 || sampleRate == 0) return 0;
    std::uint64_t frames = samples.size() / frameBytes;
    return static_cast<std::uint32_t>(frames * 1000u / sampleRate);
}

WaveError parseWave(std::span<const std::uint8_t> bytes, WaveSound& out) {
    io::ByteReader in(bytes);
    char tag[4];
    std::uint32_t riffSize = 0;
    if (!readTag(in, tag) || !isTag(tag, "RIFF") || !in.u32le(riffSize)) return WaveError::NotRiffWave;
    if (!readTag(in, tag) || !isTag(tag, "WAVE")) return WaveError::NotRiffWave;

    bool haveFormat = false;
    WaveSound sound;
    while (in.remaining() >= 8) {
        std::uint32_t chunkSize = 0;
        if (!readTag(in, tag) || !in.u32le(chunkSize)) break;
        if (isTag(tag, "fmt ")) {
            std::span<const std::uint8_t> body;
            if (!in.readSpan(chunkSize, body)) return WaveError::NoFormat;
            io::ByteReader fmt(body);
            std::uint16_t formatTag = 0, channels = 0, blockAlign = 0, bits = 0;
            std::uint32_t rate = 0, byteRate = 0;
            if (!fmt.u16le(formatTag) || !fmt.u16le(channels) || !fmt.u32le(rate) ||
                !fmt.u32le(byteRate) || !fmt.u16le(blockAlign) || !fmt.u16le(bits))
                return WaveError::NoFormat;
            if (formatTag != kFormatPcm || !supported(channels, rate, bits))
                return WaveError::UnsupportedFormat;
            sound.channels = channels;
            sound.sampleRate = rate;
            sound.bitsPerSample = bits;
            if (blockAlign != sound.bytesPerFrame()) return WaveError::UnsupportedFormat;
            haveFormat = true;
        } else if (isTag(tag, "data")) {
            if (!haveFormat) return WaveError::NoFormat;
            std::size_t available = chunkSize <= in.remaining() ? chunkSize : in.remaining();
            available -= available % sound.bytesPerFrame();
            std::span<const std::uint8_t> data;
            if (!in.readSpan(available, data)) return WaveError::NoData;
            sound.samples.assign(data.begin(), data.end());
            out = std::move(sound);
            return WaveError::None;
        } else if (!in.skip(chunkSize)) {
            break;
        }
        // Chunks are padded to an even length.
        if (chunkSize % 2 != 0) (void)in.skip(1);  // a pad byte missing at the very end is harmless
    }
    return haveFormat ? WaveError::NoData : WaveError::NoFormat;
}

std::vector<std::uint8_t> encodeWave(const WaveSound& sound) {
    io::ByteWriter w;
    auto dataSize = static_cast<std::uint32_t>(sound.samples.size());
    w.text("RIFF");
    w.u32le(36 + dataSize + dataSize % 2);
    w.text("WAVE");
    w.text("fmt ");
    w.u32le(16);
    w.u16le(kFormatPcm);
    w.u16le(sound.channels);
    w.u32le(sound.sampleRate);
    w.u32le(sound.sampleRate * sound.bytesPerFrame());
    w.u16le(static_cast<std::uint16_t>(sound.bytesPerFrame()));
    w.u16le(sound.bitsPerSample);
    w.text("data");
    w.u32le(dataSize);
    w.raw(sound.samples.data(), sound.samples.size());
    if (dataSize % 2 != 0) w.u8(0);
    return w.take();
}

}  // namespace tryster::formats
