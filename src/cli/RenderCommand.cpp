// tryster-cli render: a picture of the preview, drawn exactly as the
// program draws it, for a character at a chosen moment: a named animation
// at a time, or the idle director after some seconds. Time is simulated:
// frames come 20 ms apart and runs repeat.

#include "cli/AnimGame.h"
#include "cli/Commands.h"
#include "cli/PreviewGame.h"

#include "formats/ImageLibrary.h"
#include "formats/PngImage.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"
#include "render/Snapshot.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace tryster::cli {
namespace {

constexpr std::uint32_t kFramePeriodMs = 20;
constexpr int kMaxSide = 4096;
constexpr double kMaxIdleSeconds = 3600;

struct RenderOptions {
    std::string game;
    LookOptions look;
    std::string animation;
    std::optional<std::int64_t> timeMs;
    std::optional<double> idleSeconds;
    float facing = 0;
    std::string rotate = "none";
    int zoom = preview::kDefaultZoomLevel;
    std::string size = fmt::format("{}x{}", preview::kPreviewWidth, preview::kPreviewHeight);
    float scale = 1.0f;
    std::string out;
    int frames = 1;
    bool stats = false;
    std::int64_t seed = 1;
};

std::pair<int, int> parseSize(const std::string& text) {
    int w = 0, h = 0;
    char x = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X') || w < 2 ||
        h < 2 || w > kMaxSide || h > kMaxSide)
        throw CommandError(fmt::format("--size {}: expected WIDTHxHEIGHT, each 2..{}", text, kMaxSide));
    return {w, h};
}

struct Summary {
    double median, min, max;
};
Summary summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    return {median, ms.front(), ms.back()};
}

void writePicture(PreviewGame& game, const std::string& path, bool jpeg) {
    platform::fileSystem().remove(path);
    bool ok;
    if (jpeg) {
        formats::ImageLibrarySession images;
        ok = render::writeSnapshot(path, game.preview().animDevice()->backSurface()->get(), {-1, 0, 0, 0});
    } else {
        const std::vector<std::uint32_t> pixels = game.picture();
        const render::AnimDevice& d = *game.preview().animDevice();
        ok = formats::writePng(path, d.width(), d.height(), pixels.data(), static_cast<std::size_t>(d.width()));
    }
    if (!ok) throw CommandError(fmt::format("{}: cannot write the picture", path));
}

void runRender(const RenderOptions& o) {
    const auto [width, height] = parseSize(o.size);
    const std::string type = platform::fileType(o.out);
    const bool jpeg = type == "JPG" || type == "JPEG";
    if (!jpeg && type != "PNG") throw CommandError(fmt::format("--out {}: give a .png or .jpg file", o.out));
    if (o.timeMs && o.animation.empty()) throw CommandError("--time goes with --anim");
    if (o.timeMs && *o.timeMs < 0) throw CommandError("--time must not be negative");
    if (o.idleSeconds && !(*o.idleSeconds >= 0 && *o.idleSeconds <= kMaxIdleSeconds))
        throw CommandError(fmt::format("--idle-seconds must be 0..{}", kMaxIdleSeconds));
    if (!std::isfinite(o.facing)) throw CommandError("--facing must be a number");

    PreviewGame game(o.game, width, height, o.seed);
    preview::Preview& p = game.preview();
    if (!p.setRenderScale(o.scale))
        throw CommandError(fmt::format("--scale {}: the picture cannot be drawn at that scale", o.scale));
    game.applyLook(o.look);
    p.setFacing(o.facing);
    p.setZoomLevel(o.zoom);
    for (const auto& [name, speed] : preview::kRotations)
        if (platform::equalsNoCase(name, o.rotate)) p.setRotationSpeed(speed);

    // The moment of the last frame, counted from the end of the set-up.
    std::int64_t endMs = 0;
    if (!o.animation.empty()) {
        if (!p.playAnimation(o.animation))
            throw CommandError(fmt::format("no animation named \"{}\" (or it cannot be read)", o.animation));
        endMs = o.timeMs.value_or(0);
        const auto duration = static_cast<std::int64_t>(p.playback()->animation().duration);
        if (endMs > duration) {
            fmt::print(stderr, "tryster-cli: \"{}\" ends at {} ms; showing its last frame\n", o.animation, duration);
            endMs = duration;
        }
    } else if (o.idleSeconds) {
        endMs = std::llround(*o.idleSeconds * 1000);
    }

    // Frames 20 ms apart; the last `frames` are drawn and end at endMs (or
    // later when they do not fit before it).
    const std::int64_t drawnSpan = static_cast<std::int64_t>(o.frames - 1) * kFramePeriodMs;
    const std::int64_t firstDrawnMs = std::max<std::int64_t>(0, endMs - drawnSpan);
    std::int64_t now = 0;
    while (firstDrawnMs - now > kFramePeriodMs) {
        game.clock().advance(kFramePeriodMs);
        now += kFramePeriodMs;
        if (render::RenderResult rc = p.frame(nullptr, false))
            throw CommandError(fmt::format("a frame failed (error {:#x})", rc.code()));
    }
    std::map<std::string, std::vector<double>> stages;
    for (int i = 0; i < o.frames; ++i) {
        const auto step = static_cast<std::uint32_t>(i == 0 ? firstDrawnMs - now : kFramePeriodMs);
        game.clock().advance(step);
        now += step;
        preview::FrameTimes times;
        if (render::RenderResult rc = p.frame(&times))
            throw CommandError(fmt::format("a frame failed (error {:#x})", rc.code()));
        stages["update"].push_back(times.updateMs);
        stages["skinning"].push_back(times.skinMs);
        stages["drawing"].push_back(times.drawMs);
        stages["present"].push_back(times.presentMs);
    }
    writePicture(game, o.out, jpeg);
    game.warnOfDamagedFiles();

    const std::string playing = p.playback() ? p.playback()->animation().name : std::string("nothing");
    const render::AnimDevice& device = *p.animDevice();
    fmt::print("{}: {}x{}, playing {} at {} ms, facing {:.3g}, zoom {}\n", o.out, device.width(), device.height(),
               playing, now, p.view().facing, p.view().zoomLevel);
    if (!o.stats) return;
    fmt::print("{} frames drawn, milliseconds per frame:\n", o.frames);
    for (const char* stage : {"update", "skinning", "drawing", "present"}) {
        const Summary s = summarise(stages[stage]);
        fmt::print("  {:<9} median {:.3f}  min {:.3f}  max {:.3f}\n", stage, s.median, s.min, s.max);
    }
}

}  // namespace

void addRenderCommand(CLI::App& app) {
    auto o = std::make_shared<RenderOptions>();
    CLI::App* cmd = app.add_subcommand(
        "render", "Draw the preview of a character as the program draws it, into a PNG or JPEG file");
    cmd->add_option("--game", o->game, "The game's install folder")->required();
    o->look.addTo(*cmd, true);
    cmd->add_option("--anim", o->animation, "Play this animation instead of the greeting and the idles");
    cmd->add_option("--time", o->timeMs, "Milliseconds into --anim (default 0)");
    auto* idle = cmd->add_option("--idle-seconds", o->idleSeconds,
                                 "Seconds of the greeting and the idle director to run first");
    idle->excludes(cmd->get_option("--anim"));
    cmd->add_option("--facing", o->facing,
                    "Quarter turns: 0 South East (default), 1 South West, 2 North West, 3 North East")
        ->capture_default_str();
    cmd->add_option("--rotate", o->rotate, "Turning while the time runs")
        ->check(CLI::IsMember({"none", "slow", "fast"}, CLI::ignore_case))
        ->capture_default_str();
    cmd->add_option("--zoom", o->zoom, "Zoom slider position, 0 smallest to 4 largest")
        ->check(CLI::Range(0, 4))
        ->capture_default_str();
    cmd->add_option("--size", o->size, "Preview size WIDTHxHEIGHT (made even)")->capture_default_str();
    cmd->add_option("--scale", o->scale,
                    "Device pixels per preview pixel, as on a high-density screen: the same view drawn with more "
                    "pixels (the picture is the size times this, made even)")
        ->check(CLI::Range(preview::kMinRenderScale, preview::kMaxRenderScale))
        ->capture_default_str();
    cmd->add_option("--out", o->out, "The picture to write (.png or .jpg)")->required()->transform(absolutePath);
    cmd->add_option("--frames", o->frames, "Frames to draw, 20 ms apart, ending at the moment asked")
        ->check(CLI::Range(1, 100000))
        ->capture_default_str();
    cmd->add_flag("--stats", o->stats, "Print median, min and max milliseconds of each stage of a frame");
    cmd->add_option("--seed", o->seed, "Seed of the idle director's choices")->capture_default_str();
    cmd->callback([o] { runRender(*o); });
}

}  // namespace tryster::cli
