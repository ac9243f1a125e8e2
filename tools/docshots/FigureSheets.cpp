#include "FigureSheets.h"

#include "demoworld/DemoCatalog.h"
#include "demoworld/Motions.h"
#include "formats/PngImage.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/SurfacePixels.h"
#include "preview/Preview.h"

#include <cstdio>

namespace tryster::docshots {
namespace {

using namespace demoworld;

class NoWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return {0, 0, 0, 0}; }
    void showFrame(const platform::LockedSurface&, const platform::ScreenRect&) override {}
};

class Sheets {
public:
    Sheets(std::string output) : output_(std::move(output)), preview_(look_, presenter_, clock_) {}
    ~Sheets() { preview_.tearDown(); }

    bool start() {
        return preview::startPreview(preview_, look_, &window_, preview::kPreviewWidth, preview::kPreviewHeight);
    }
    // The look exactly as named, the character standing still.
    void wear(const Appearance& names, bool child) {
        Character shown;
        shown.appearance = names;
        shown.appearance.isAdult = !child;
        shown.record.setGender(names.bodyMesh[4] == 'f' ? kFemale : kMale);
        look_.describe(shown);
        look_.wearExactly(names);
        preview_.standStill();
    }
    bool shoot(const std::string& name, float facing, std::uint32_t atMs = 0) {
        ticks_.ticks = kStartMs + atMs;
        preview_.setFacing(facing);
        preview_.setZoomLevel(2);
        if (preview_.frame()) {
            std::fprintf(stderr, "tryster-docshots: could not draw %s\n", name.c_str());
            return false;
        }
        platform::Surface* surface = preview_.animDevice()->backSurface()->get();
        const platform::SurfaceDesc d = surface->description();
        std::vector<std::uint32_t> pixels;
        const bool ok = platform::readSurfacePixels(*surface, {0, 0, d.width, d.height}, pixels) &&
                        formats::writePng(output_ + "/" + name + ".png", d.width, d.height, pixels.data(),
                                           static_cast<std::size_t>(d.width));
        if (!ok) std::fprintf(stderr, "tryster-docshots: cannot write %s\n", name.c_str());
        return ok;
    }
    preview::Preview& preview() { return preview_; }

private:
    static constexpr std::uint32_t kStartMs = 1'000'000;
    std::string output_;
    platform::FixedClock ticks_{kStartMs, 1};
    struct ClockInstalled {
        explicit ClockInstalled(platform::ClockSource* c) { platform::installClockSource(c); }
        ~ClockInstalled() { platform::installClockSource(nullptr); }
    } installed_{&ticks_};
    NoWindow window_;
    preview::SilentPresenter presenter_;
    preview::PreviewClock clock_;
    Character character_;
    preview::LookModel look_{character_};
    preview::Preview preview_;
};

Appearance defaultLook(const DefaultSet& set) {
    Appearance names;
    names.assign(set);
    return names;
}

}  // namespace

bool writeFigureSheets(const std::string& gameFolder, const std::string& outputFolder) {
    if (!platform::fileSystem().setCurrentDirectory(gameFolder)) return false;
    Sheets sheets(outputFolder);
    if (!sheets.start()) {
        std::fprintf(stderr, "tryster-docshots: the preview does not start on %s\n", gameFolder.c_str());
        return false;
    }
    bool ok = true;
    for (const BodyEntry& body : bodyEntries()) {
        const HeadEntry* head = nullptr;
        for (const HeadEntry& h : headEntries())
            if (!head && h.kind.gender == body.kind.gender && h.kind.child == body.kind.child) head = &h;
        if (!head) continue;
        for (const ClothesEntry& clothes : body.clothes)
            for (Tone tone : kTones) {
                Appearance names;
                names.bodyMesh = body.outfit;
                names.bodyTexture = bodyTextureName(body, tone, clothes);
                names.headMesh = head->outfit;
                names.headTexture = headTextureName(*head, tone);
                sheets.wear(names, body.kind.child);
                for (float facing : {0.0f, 0.5f, 1.5f})
                    ok = sheets.shoot("look-" + names.bodyTexture + "-" + std::to_string(static_cast<int>(facing * 2)),
                                      facing) && ok;
            }
    }
    for (const Motion& m : makeMotions()) {
        const bool child = m.record->name[0] == 'c';
        sheets.wear(defaultLook(child ? kChildDefaults : kAdultDefaults), child);
        if (!sheets.preview().playAnimation(m.record->name)) continue;
        const float duration = m.record->duration;
        for (int i = 0; i <= 4; ++i)
            ok = sheets.shoot("anim-" + m.record->name + "-" + std::to_string(i), 0.5f,
                              static_cast<std::uint32_t>(duration * static_cast<float>(i) / 4)) && ok;
    }
    return ok;
}

}  // namespace tryster::docshots
