#include "cli/PreviewGame.h"

#include "anim/CharacterLibrary.h"
#include "cli/AnimGame.h"
#include "cli/CommandError.h"
#include "cli/Commands.h"
#include "platform/PixelConversion.h"
#include "platform/SurfacePixels.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <tuple>

namespace tryster::cli {

void CopyingWindow::showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) {
    const int bytes = frame.format.bytesPerPixel();
    pixels_.resize(static_cast<std::size_t>(source.width()) * static_cast<std::size_t>(source.height()));
    std::uint32_t* out = pixels_.data();
    for (int y = source.top; y < source.bottom; ++y) {
        const std::uint8_t* p = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + source.left * bytes;
        for (int x = source.left; x < source.right; ++x, p += bytes) *out++ = platform::pixelToArgb(frame.format, p, nullptr);
    }
}

void LookOptions::addTo(CLI::App& command, bool withCharacterFile) {
    if (withCharacterFile)
        command.add_option("--character", characterFile,
                           "Character description (JSON): gender, body type, skin tone, appearance, age")
            ->check(CLI::ExistingFile)
            ->transform(absolutePath);
    command.add_option("--gender", gender, "male or female")->check(CLI::IsMember({"male", "female"}));
    command.add_option("--body-type", bodyType, "0 Fit, 1 Full, 2 Thin")->check(CLI::Range(0, 2));
    command.add_option("--skin-tone", skinTone, "0 Light, 1 Medium, 2 Dark")->check(CLI::Range(0, 2));
    command.add_flag("--child", child, "A child (the child skeleton and default look)");
    command.add_option("--body-mesh", bodyMesh, "The body mesh chosen before the refills");
    command.add_option("--body-texture", bodyTexture, "The body texture chosen before the refills");
    command.add_option("--head-mesh", headMesh, "The head mesh chosen before the refills");
    command.add_option("--head-texture", headTexture, "The head texture chosen before the refills");
}

PreviewGame::PreviewGame(const std::string& folder, int width, int height, std::int64_t seed)
    : clock_(seed), preview_(look_, presenter_, previewClock_) {
    enterGameFolder(folder);
    look_.setInstallFolder(platform::fileSystem().currentDirectory());
    // The pictures repeat for a seed: the idle director draws from it.
    platform::seedRandom(static_cast<std::uint32_t>(seed));
    if (preview::startPreview(preview_, look_, &window_, width, height)) return;
    if (preview_.gameMissing())
        throw CommandError(fmt::format("{}: {}", folder, preview::kGameMissingText));
    throw CommandError(fmt::format("the preview could not be set up (at \"{}\")", presenter_.step));
}

PreviewGame::~PreviewGame() { preview_.tearDown(); }

Character LookOptions::describe() const {
    Character d;
    if (!characterFile.empty()) d = loadCharacterDescription(characterFile);
    if (child) {
        d.appearance.isAdult = false;
        if (characterFile.empty()) d.appearance.assign(kChildDefaults);
    }
    if (gender) d.record.setGender(*gender == "female" ? kFemale : kMale);
    if (bodyType) d.record.setBodyType(*bodyType);
    if (skinTone) d.record.setSkinTone(*skinTone);
    if (bodyMesh) d.appearance.bodyMesh = *bodyMesh;
    if (bodyTexture) d.appearance.bodyTexture = *bodyTexture;
    if (headMesh) d.appearance.headMesh = *headMesh;
    if (headTexture) d.appearance.headTexture = *headTexture;
    return d;
}

void PreviewGame::showLook(const Character& described) {
    preview_.keepPlaying(defaultsOf(described.appearance.isAdult).animation);
    look_.describe(described);
}

void PreviewGame::applyLook(const LookOptions& o) {
    showLook(o.describe());
    const Appearance& shown = look_.names();
    const std::tuple<const char*, const std::optional<std::string>&, const std::string&> asked[] = {
        {"body mesh", o.bodyMesh, shown.bodyMesh},
        {"body texture", o.bodyTexture, shown.bodyTexture},
        {"head mesh", o.headMesh, shown.headMesh},
        {"head texture", o.headTexture, shown.headTexture}};
    for (const auto& [what, wanted, current] : asked)
        if (wanted && !platform::equalsNoCase(*wanted, current))
            fmt::print(stderr, "tryster-cli: the {} \"{}\" is not offered for this character; it is \"{}\"\n",
                       what, *wanted, current);
}

void PreviewGame::warnOfDamagedFiles() const {
    if (!preview_.library()) return;
    for (const anim::LibraryFault& fault : preview_.library()->faults())
        printWarning(resfile::FileProblem{absolutePath(fault.file), "a character file or mesh the game can read",
                                          fmt::format("{} at byte {}, so it was read only that far",
                                                      fault.status.message, fault.status.position)});
}

std::vector<std::uint32_t> PreviewGame::picture() const {
    std::vector<std::uint32_t> out;
    platform::Surface* s = preview_.animDevice()->backSurface()->get();
    const platform::SurfaceDesc d = s->description();
    if (!platform::readSurfacePixels(*s, {0, 0, d.width, d.height}, out))
        throw CommandError("the picture cannot be read");
    return out;
}

}  // namespace tryster::cli
