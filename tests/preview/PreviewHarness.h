#pragma once
// A preview on the test install with the clocks, the sound player and the
// presenter replaced by doubles, and helpers to read its pictures.

#include "PreviewInstall.h"

#include "formats/PngImage.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "platform/SurfacePixels.h"
#include "preview/Preview.h"
#include "preview/PreviewEngine.h"
#include "support/RecordingSoundPlayer.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tryster::test {

class ManualClock final : public platform::ClockSource {
public:
    std::uint32_t tickCountMs() override { return ticks; }
    std::int64_t calendarSeconds() override { return seconds; }
    std::uint32_t ticks = 5'000'000;
    std::int64_t seconds = 1;
};

class RecordingPresenter final : public preview::PreviewPresenter {
public:
    void showProgress(std::string_view text) override { progress.emplace_back(text); }
    void showMessage(std::string_view caption, std::string_view text) override {
        messages.push_back(std::string(caption) + ": " + std::string(text));
    }
    void postQuit(int code) override { quitCodes.push_back(code); }

    std::vector<std::string> progress, messages;
    std::vector<int> quitCodes;
};

class NullWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return {0, 0, 640, 480}; }
    void showFrame(const platform::LockedSurface&, const platform::ScreenRect&) override { ++frames; }
    int frames = 0;
};

// 0xRRGGBB pixels of a picture, with its size.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y * width + x)] & 0xFFFFFF;
    }
};

inline int red(std::uint32_t p) { return static_cast<int>(p >> 16 & 0xFF); }
inline int green(std::uint32_t p) { return static_cast<int>(p >> 8 & 0xFF); }
inline int blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }
// The dark red the preview clears to, and the colours of the figure's
// textures after lighting.
inline bool isBackground(std::uint32_t p) { return red(p) > 100 && green(p) < 20 && blue(p) < 20; }
inline bool isHeadColour(std::uint32_t p) { return green(p) > red(p) + 40 && green(p) > blue(p) + 40; }
inline bool isBodyColour(std::uint32_t p) { return blue(p) > red(p) + 40 && blue(p) > green(p) + 40; }

// The smallest rectangle holding every pixel that is not background, in
// the rows from `fromRow` up to `toRow` (all rows by default).
inline platform::ScreenRect figureExtent(const Picture& p, int fromRow = 0, int toRow = -1) {
    if (toRow < 0) toRow = p.height;
    platform::ScreenRect r{p.width, p.height, 0, 0};
    for (int y = fromRow; y < toRow; ++y)
        for (int x = 0; x < p.width; ++x)
            if (!isBackground(p.at(x, y)))
                r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    return r;
}

// The doubles a preview runs on in a test, and helpers to drive it and read
// its pictures; the fixture installs and removes them.
class PreviewDoubles {
protected:
    void installDoubles() {
        platform::installClockSource(&clock);
        platform::installSoundPlayer(&sound);
    }
    void removeDoubles() {
        preview.reset();
        platform::installSoundPlayer(nullptr);
        platform::installClockSource(nullptr);
    }

    // Frames `step` ms apart until the clock has moved by `ms`.
    void run(std::uint32_t ms, std::uint32_t step = 20, bool draw = true) {
        for (std::uint32_t t = 0; t < ms; t += step) {
            clock.ticks += step;
            EXPECT_FALSE(preview->frame(nullptr, draw));
        }
    }

    Picture picture(const platform::ScreenRect* rect = nullptr) const {
        platform::Surface* s = animDevice(*preview)->backSurface()->get();
        const auto d = s->description();
        const platform::ScreenRect whole{0, 0, d.width, d.height};
        Picture p;
        const platform::ScreenRect r = rect ? *rect : whole;
        p.width = r.width();
        p.height = r.height();
        EXPECT_TRUE(platform::readSurfacePixels(*s, r, p.pixels));
        return p;
    }

    ManualClock clock;
    test::RecordingSoundPlayer sound;
    RecordingPresenter presenter;
    NullWindow window;
    preview::PreviewClock previewClock;
    Character character;
    preview::LookModel look{character};  // outlives the preview that reads it
    std::unique_ptr<preview::Preview> preview;
};

class PreviewTest : public PreviewInstall, protected PreviewDoubles {
protected:
    void SetUp() override {
        PreviewInstall::SetUp();
        installDoubles();
    }
    void TearDown() override {
        removeDoubles();
        PreviewInstall::TearDown();
    }

    preview::Preview& start(int width = preview::kPreviewWidth, int height = preview::kPreviewHeight) {
        writeInstall();
        preview = std::make_unique<preview::Preview>(look, presenter, previewClock);
        EXPECT_TRUE(preview::startPreview(*preview, look, &window, width, height));
        return *preview;
    }
};

}  // namespace tryster::test
