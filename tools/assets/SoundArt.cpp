// The program's sounds: the button click, the theme that plays under the
// splash, and the short voice lines of the preview character, made by a
// small additive and formant synthesiser. Mono, 16 bits, 22050 Hz.

#include "Art.h"

#include "formats/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace tryster::assets {
namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 2 * std::numbers::pi;
using Signal = std::vector<double>;

class Noise {
public:
    double next() {  // -1..1
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<double>((state_ >> 9) & 0x7FFFFF) / 4194304.0 - 1.0;
    }

private:
    std::uint32_t state_ = 77u;
};

QByteArray toWave(Signal signal, double peak = 0.75) {
    double loudest = 0;
    for (double s : signal) loudest = std::max(loudest, std::abs(s));
    double gain = loudest > 0 ? peak / loudest : 0;
    formats::WaveSound sound;
    sound.channels = 1;
    sound.sampleRate = kRate;
    sound.bitsPerSample = 16;
    sound.samples.reserve(signal.size() * 2);
    for (double s : signal) {
        auto v = static_cast<std::int16_t>(std::lround(std::clamp(s * gain, -1.0, 1.0) * 32767));
        auto u = static_cast<std::uint16_t>(v);
        sound.samples.push_back(static_cast<std::uint8_t>(u & 0xFF));
        sound.samples.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    auto bytes = formats::encodeWave(sound);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::size_t samplesFor(double seconds) { return static_cast<std::size_t>(seconds * kRate); }

// ---- click -------------------------------------------------------------

Signal click() {
    Signal out(samplesFor(0.035));
    Noise noise;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        out[i] = 0.65 * std::exp(-t / 0.004) * std::sin(kTwoPi * 1900 * t) +
                 0.35 * std::exp(-t / 0.0012) * noise.next() +
                 0.25 * std::exp(-t / 0.008) * std::sin(kTwoPi * 620 * t);
    }
    return out;
}

// ---- theme -------------------------------------------------------------

double midiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// A soft bell-like piano note added into `out` from `start` seconds.
void addBell(Signal& out, double start, int note, double length, double level) {
    double f = midiHz(note);
    std::size_t first = samplesFor(start), count = samplesFor(length + 1.2);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double attack = std::min(1.0, t / 0.006);
        double release = t > length ? std::exp(-(t - length) / 0.12) : 1.0;
        double body = std::sin(kTwoPi * f * t) * std::exp(-t / 0.9) +
                      0.35 * std::sin(kTwoPi * 2 * f * t) * std::exp(-t / 0.45) +
                      0.12 * std::sin(kTwoPi * 3 * f * t) * std::exp(-t / 0.25) +
                      0.05 * std::sin(kTwoPi * 4.07 * f * t) * std::exp(-t / 0.12);
        out[first + i] += level * attack * release * body;
    }
}

// A warm sustained chord tone.
void addPad(Signal& out, double start, int note, double length, double level) {
    double f = midiHz(note);
    std::size_t first = samplesFor(start), count = samplesFor(length + 0.4);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double env = std::min(1.0, t / 0.08) * (t > length ? std::exp(-(t - length) / 0.15) : 1.0);
        double wobble = 1 + 0.002 * std::sin(kTwoPi * 4.5 * t);
        out[first + i] += level * env *
                          (std::sin(kTwoPi * f * wobble * t) + 0.2 * std::sin(kTwoPi * 3 * f * t));
    }
}

void addReverb(Signal& signal) {
    const std::size_t delays[] = {samplesFor(0.079), samplesFor(0.113), samplesFor(0.151)};
    Signal wet(signal.size(), 0.0);
    for (std::size_t d : delays)
        for (std::size_t i = d; i < signal.size(); ++i) wet[i] += 0.28 * (signal[i - d] + wet[i - d] * 0.55);
    for (std::size_t i = 0; i < signal.size(); ++i) signal[i] += 0.35 * wet[i];
}

Signal theme() {
    constexpr double kEighth = 60.0 / 132 / 2;
    struct Note { int at; int note; int length; };  // in eighths
    constexpr Note kMelody[] = {
        {0, 72, 1},  {1, 76, 1},  {2, 79, 1},  {3, 84, 1},  {4, 83, 1},  {5, 79, 1}, {6, 81, 2},
        {8, 77, 1},  {9, 81, 1},  {10, 84, 1}, {11, 81, 1}, {12, 79, 2}, {14, 76, 1}, {15, 74, 1},
        {16, 72, 1}, {17, 79, 1}, {18, 84, 6}};
    struct Chord { int at; int length; int bass; int tones[3]; };
    constexpr Chord kChords[] = {
        {0, 4, 48, {60, 64, 67}},  {4, 2, 43, {59, 62, 67}},  {6, 2, 45, {57, 60, 64}},
        {8, 4, 41, {57, 60, 65}},  {12, 4, 43, {59, 62, 67}}, {16, 8, 36, {55, 60, 64}}};
    Signal out(samplesFor(24 * kEighth + 1.0), 0.0);
    for (const Note& n : kMelody) addBell(out, n.at * kEighth, n.note, n.length * kEighth, 0.55);
    for (const Chord& c : kChords) {
        addBell(out, c.at * kEighth, c.bass, c.length * kEighth, 0.5);
        for (int tone : c.tones) addPad(out, c.at * kEighth, tone, c.length * kEighth, 0.09);
    }
    // A little sparkle on the last chord.
    for (int i = 0; i < 4; ++i) addBell(out, (18 + i * 0.5) * kEighth, 88 + (i % 2) * 3, kEighth, 0.12);
    addReverb(out);
    return out;
}

// ---- voices ------------------------------------------------------------

// One point of a voice's course; values glide linearly between points.
struct Frame {
    double ms;
    double pitch;            // Hz
    double f1, f2, f3;       // formants, Hz
    double voice, breath;    // source levels
};

// Two-pole resonator with unity gain at 0 Hz (the usual formant filter).
class Resonator {
public:
    double run(double x, double freq, double bandwidth) {
        double r = std::exp(-std::numbers::pi * bandwidth / kRate);
        double b = 2 * r * std::cos(kTwoPi * freq / kRate), c = -r * r;
        double y = (1 - b - c) * x + b * y1_ + c * y2_;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double y1_ = 0, y2_ = 0;
};

struct VoiceStyle {
    double pitchScale = 1;
    double formantScale = 1;
    double bandwidth = 1;   // wider formants sound breathier
    double nasal = 0;       // 0..1: how much of the top is damped
};

Signal speak(const std::vector<Frame>& course, const VoiceStyle& style) {
    double totalMs = course.back().ms;
    Signal out(samplesFor(totalMs / 1000.0 + 0.05), 0.0);
    Resonator r1, r2, r3;
    Noise noise;
    double phase = 0, low = 0;
    std::size_t k = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double ms = 1000.0 * static_cast<double>(i) / kRate;
        while (k + 2 < course.size() && ms > course[k + 1].ms) ++k;
        const Frame& a = course[k];
        const Frame& b = course[std::min(k + 1, course.size() - 1)];
        double w = b.ms > a.ms ? std::clamp((ms - a.ms) / (b.ms - a.ms), 0.0, 1.0) : 1.0;
        auto mix = [w](double x, double y) { return x + (y - x) * w; };
        double t = ms / 1000.0;
        double pitch = mix(a.pitch, b.pitch) * style.pitchScale * (1 + 0.012 * std::sin(kTwoPi * 5.3 * t));
        phase = std::fmod(phase + pitch / kRate, 1.0);
        // Band-limited glottal buzz: harmonics falling off like a real voice.
        double buzz = 0;
        int harmonics = static_cast<int>(4500 / pitch);
        for (int h = 1; h <= harmonics; ++h) buzz += std::sin(kTwoPi * h * phase) / (h * std::sqrt(h));
        double source = mix(a.voice, b.voice) * buzz + mix(a.breath, b.breath) * noise.next() * 1.4;
        double fs = style.formantScale, bw = style.bandwidth;
        double y = r1.run(source, mix(a.f1, b.f1) * fs, 80 * bw);
        y = r2.run(y, mix(a.f2, b.f2) * fs, 110 * bw);
        y = r3.run(y, mix(a.f3, b.f3) * fs, 170 * bw);
        low += (y - low) * 0.18;
        out[i] = y * (1 - style.nasal) + low * style.nasal * 2.2;
    }
    return out;
}

// "Hey!": breath, then a gliding e-i with a lift in the middle.
std::vector<Frame> hey() {
    return {{0, 120, 500, 1700, 2500, 0, 0},      {45, 122, 520, 1800, 2500, 0, 0.55},
            {110, 132, 540, 1850, 2500, 1, 0.12}, {240, 140, 460, 2050, 2650, 1, 0.05},
            {380, 122, 330, 2250, 2900, 0.8, 0.05}, {470, 104, 320, 2250, 2900, 0, 0.02}};
}

// "Huh": breath into a short, flat uh; `rise` lifts the end into a question.
std::vector<Frame> huh(double rise) {
    return {{0, 110, 620, 1200, 2400, 0, 0},        {50, 112, 640, 1190, 2390, 0, 0.5},
            {120, 116, 650, 1190, 2390, 1, 0.1},    {300, 110 * rise, 620, 1220, 2400, 1, 0.05},
            {380, 104 * rise, 600, 1250, 2400, 0, 0.02}};
}

// "Hmm?": a closed-mouth hum that rises.
std::vector<Frame> hmm() {
    return {{0, 105, 260, 1000, 2300, 0, 0},     {40, 105, 260, 1000, 2300, 0, 0.35},
            {110, 100, 250, 1050, 2300, 1, 0.05}, {360, 96, 250, 1050, 2300, 1, 0.02},
            {580, 138, 260, 1100, 2300, 0.9, 0.02}, {660, 142, 260, 1100, 2300, 0, 0}};
}

// A long bored sigh: mostly breath, a little voice, falling.
std::vector<Frame> sigh() {
    return {{0, 100, 700, 1220, 2600, 0, 0},       {160, 100, 700, 1220, 2600, 0.15, 0.7},
            {600, 90, 560, 1100, 2500, 0.25, 0.5},  {1000, 80, 500, 1400, 2450, 0.05, 0.15},
            {1200, 76, 500, 1400, 2450, 0, 0}};
}

}  // namespace

bool makeSounds(Output& out) {
    const VoiceStyle male{1.0, 1.0, 1.0, 0.0};
    const VoiceStyle female{1.85, 1.16, 1.1, 0.0};
    VoiceStyle maleHum = male, femaleHum = female, maleSigh = male, femaleSigh = female;
    maleHum.nasal = femaleHum.nasal = 0.8;
    maleSigh.bandwidth = femaleSigh.bandwidth = 2.2;

    struct Sound { const char* name; Signal signal; double peak; };
    const Sound sounds[] = {
        {"Click", click(), 0.55},
        {"PLOMS", theme(), 0.8},
        {"Vox_heyshM2", speak(hey(), male), 0.75},
        {"Vox_Bored_SighM1", speak(sigh(), maleSigh), 0.6},
        {"Vox_bored_Sighf4", speak(sigh(), femaleSigh), 0.6},
        {"Vox_indifferent_huhM1", speak(huh(0.95), male), 0.7},
        {"Vox_Indifferent_huhF2", speak(huh(0.95), female), 0.7},
        {"Vox_Indifferent_huhF3", speak(huh(1.2), female), 0.7},
        {"Vox_intrigued_hmmM1", speak(hmm(), maleHum), 0.7},
    };
    bool ok = true;
    for (const Sound& s : sounds)
        ok = out.saveBytes(toWave(s.signal, s.peak), QStringLiteral("sounds/%1.wav").arg(QLatin1String(s.name))) && ok;
    return ok;
}

}  // namespace tryster::assets
