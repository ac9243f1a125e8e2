#include "formats/WaveFile.h"
#include "io/ByteWriter.h"

#include <tuple>

#include <gtest/gtest.h>

namespace tryster::formats {
namespace {

struct Format {
    std::uint16_t tag = 1, channels = 1;
    std::uint32_t rate = 22050;
    std::uint16_t blockAlign = 2, bits = 16;
};

// A WAVE file built chunk by chunk, so each case can break one field.
class WaveBytes {
public:
    WaveBytes& header(const char* riff = "RIFF", const char* wave = "WAVE") {
        w_.text(riff);
        w_.u32le(0);  // the readers ignore the RIFF size
        w_.text(wave);
        return *this;
    }
    WaveBytes& fmt(const Format& f, std::uint32_t declared = 16) {
        w_.text("fmt ");
        w_.u32le(declared);
        w_.u16le(f.tag);
        w_.u16le(f.channels);
        w_.u32le(f.rate);
        w_.u32le(f.rate * f.blockAlign);
        w_.u16le(f.blockAlign);
        w_.u16le(f.bits);
        return *this;
    }
    WaveBytes& chunk(const char* tag, std::vector<std::uint8_t> body, std::uint32_t declared) {
        w_.text(tag);
        w_.u32le(declared);
        w_.raw(body.data(), body.size());
        return *this;
    }
    WaveBytes& chunk(const char* tag, std::vector<std::uint8_t> body) {
        auto size = static_cast<std::uint32_t>(body.size());
        chunk(tag, body, size);
        if (size % 2) w_.u8(0);
        return *this;
    }
    std::span<const std::uint8_t> bytes() const { return w_.bytes(); }

private:
    io::ByteWriter w_;
};

TEST(WaveFile, DataLongerThanTheFileIsCutToWholeFrames) {
    WaveBytes file;
    file.header().fmt({}).chunk("data", {1, 2, 3, 4, 5}, 1000);
    WaveSound sound;
    ASSERT_EQ(parseWave(file.bytes(), sound), WaveError::None);
    EXPECT_EQ(sound.samples, (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

TEST(WaveFile, WhatItWritesReadsBack) {
    const WaveSound sound{2, 22050, 16, {1, 2, 3, 4, 5, 6, 7, 8}};
    WaveSound back;
    ASSERT_EQ(parseWave(encodeWave(sound), back), WaveError::None);
    EXPECT_EQ(std::tie(back.channels, back.sampleRate, back.bitsPerSample, back.samples),
              std::tie(sound.channels, sound.sampleRate, sound.bitsPerSample, sound.samples));
}

TEST(WaveFile, RefusesWhatItCannotPlay) {
    struct Case {
        const char* name;
        WaveBytes file;
        WaveError expected;
    };
    Case cases[] = {
        {"not RIFF", WaveBytes().header("RIFX"), WaveError::NotRiffWave},
        {"not WAVE", WaveBytes().header("RIFF", "AVI "), WaveError::NotRiffWave},
        {"data before fmt", WaveBytes().header().chunk("data", {0, 0}), WaveError::NoFormat},
        {"fmt cut short", WaveBytes().header().chunk("fmt ", {1, 0, 1, 0}), WaveError::NoFormat},
        {"fmt past the end", WaveBytes().header().fmt({}, 400), WaveError::NoFormat},
        {"compressed", WaveBytes().header().fmt({.tag = 2}).chunk("data", {0, 0}),
         WaveError::UnsupportedFormat},
        {"no channels", WaveBytes().header().fmt({.channels = 0}), WaveError::UnsupportedFormat},
        {"12 bits", WaveBytes().header().fmt({.bits = 12}), WaveError::UnsupportedFormat},
        {"block align", WaveBytes().header().fmt({.blockAlign = 3}), WaveError::UnsupportedFormat},
        {"no data", WaveBytes().header().fmt({}), WaveError::NoData},
        {"empty", WaveBytes(), WaveError::NotRiffWave},
    };
    for (auto& c : cases) {
        WaveSound sound;
        sound.channels = 9;
        EXPECT_EQ(parseWave(c.file.bytes(), sound), c.expected) << c.name;
        EXPECT_EQ(sound.channels, 9) << c.name << ": a refused file leaves the output alone";
    }
}

}  // namespace
}  // namespace tryster::formats
