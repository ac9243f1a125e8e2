#include "preview/Preview.h"
#include "preview/PreviewEngine.h"

#include "platform/Clock.h"
#include "platform/DisplaySystem.h"
#include "platform/FileFinder.h"
#include "platform/Sound.h"
#include "render/Mesh3D.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace tryster::preview {
namespace {

// The background, "Glimmer Red": 142/256 red.
constexpr float kBackgroundRed = 0.5546875f;
constexpr float kBackgroundAlpha = 255.0f;
constexpr int kGouraudShading = 2;
constexpr int kFallbackDepth = 16;
constexpr float kAmbient = 0.7f;
// The character stands this far below the camera's orbit centre.
constexpr float kCharacterDrop = -1.75f;
constexpr std::string_view kGreetingVoice = "Vox_heyshM2";
constexpr std::string_view kSoundKey = "sound";

// Fills the stages of FrameTimes, when there are any to fill.
class StageTimer {
public:
    explicit StageTimer(FrameTimes* times) : times_(times) {
        if (times_) start_ = std::chrono::steady_clock::now();
    }
    // The time since the last lap (or the start) goes to `stage`.
    void lap(double FrameTimes::*stage) {
        if (!times_) return;
        const auto now = std::chrono::steady_clock::now();
        times_->*stage = std::chrono::duration<double, std::milli>(now - start_).count();
        start_ = now;
    }

private:
    FrameTimes* times_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace

// The clock takes its first step with the dialog, so that the first frame
// steps from there.
Preview::Preview(const LookModel& look, PreviewPresenter& presenter, PreviewClock& clock)
    : look_(look), presenter_(presenter), clock_(clock), engine_(std::make_unique<Engine>()) {
    clock_.step();
    look_.addObserver(this);
}

Preview::~Preview() {
    look_.removeObserver(this);
    tearDown();
}

bool Preview::setUp(platform::DisplayWindow* window, int width, int height, float scale) {
    if (initialised_) return true;
    if (gameMissing_) return false;
    releaseEngine();
    if (!setRenderScale(scale)) return false;
    render::Mesh3D::setSearchPath(kResourceSearchPath);
    width_ = width & ~1;
    height_ = height & ~1;
    if (!makeEngine(window)) {
        releaseEngine();
        return false;
    }

    library_ = std::make_unique<anim::CharacterLibrary>();
    presenter_.showProgress("Making Skeleton");
    anim::setAnimationEventHook(&Preview::soundHook, this);
    hookInstalled_ = true;

    presenter_.showProgress("Building directory");
    if (!gameFoldersExist()) {
        gameMissing_ = true;
        presenter_.showMessage(kGameMissingCaption, kGameMissingText);
        presenter_.postQuit(kGameMissingQuitCode);
        releaseEngine();
        return false;
    }

    presenter_.showProgress("Loading data - This takes a while...");
    library_->loadCharacterFiles(anim::kCharacterSearchPath);
    library_->readIndexFiles(anim::kAnimationSearchPath);
    useHeldFiles();

    // The look's owner makes the default choices and the first lists next
    // (startPreview).
    presenter_.showProgress("Setting default button states");
    presenter_.showProgress("Creating the plom");
    initialised_ = true;
    return true;
}

std::vector<std::string> Preview::outfitNames() const {
    std::vector<std::string> names;
    if (library_)
        for (const auto& entry : library_->outfits()) names.push_back(entry.name);
    return names;
}

void Preview::greet() {
    presenter_.showProgress("Ready!");
    director_.setPosture(IdlePosture::ArmsDown);
    platform::soundPlayer().playResource(kGreetingVoice, platform::PlayMode::Async);
}

bool startPreview(Preview& preview, LookModel& look, platform::DisplayWindow* window, int width, int height,
                  float scale) {
    if (preview.initialised()) return true;
    if (!preview.setUp(window, width, height, scale)) return false;
    look.startCatalog(preview.outfitNames());
    preview.greet();
    return true;
}

platform::ScreenRect Preview::scaledArea(int width, int height, float scale) {
    auto side = [scale](int pixels) {
        return std::max(2, static_cast<int>(std::lround(static_cast<float>(pixels) * scale)) & ~1);
    };
    return {0, 0, side(width & ~1), side(height & ~1)};
}

bool Preview::setRenderScale(float scale) {
    if (!(scale >= kMinRenderScale && scale <= kMaxRenderScale)) return false;
    if (engine_->animDevice && engine_->viewport) {
        const platform::ScreenRect area = scaledArea(width_, height_, scale);
        if (engine_->animDevice->resizeSurfaces(area.width(), area.height())) return false;
        backIsShown_ = false;
        engine_->changed.forget();
        if (engine_->viewport->setSize(engine_->animDevice->width(), engine_->animDevice->height())) return false;
        presentWhole_ = true;
    }
    scale_ = scale;
    return true;
}

bool Preview::makeEngine(platform::DisplayWindow* window) {
    int depth = kFallbackDepth;
    {
        std::unique_ptr<platform::DisplaySystem> display = platform::openDisplaySystem();
        platform::DisplayMode mode;
        if (display && display->currentMode(mode) == platform::device_result::kOk)
            depth = mode.bitsPerPixel;
        else
            presenter_.showProgress("Get Screen Depth Failed:");
    }

    presenter_.showProgress("Initializing DDD:");
    const platform::ScreenRect area = scaledArea(width_, height_, scale_);

    presenter_.showProgress("Making AnimDevice");
    engine_->animDevice = std::make_unique<render::AnimDevice>();
    presenter_.showProgress("Initing Anim Device");
    if (engine_->animDevice->initialise(window, false, false, area.width(), area.height(), depth, render::AnimDevice::kRgb,
                                0))
        return false;
    engine_->animDevice->setTexturePath(std::string(kTextureSearchPath));

    presenter_.showProgress("Making Direct3D Device");
    if (render::Device3D::create(*engine_->animDevice, engine_->device)) return false;
    render::Device3D::setCurrent(engine_->device.get());

    presenter_.showProgress("Making Viewport");
    if (engine_->device->createViewport(engine_->viewport)) return false;

    presenter_.showProgress("Changing Background to Glimmer Red");
    (void)engine_->viewport->setBackgroundColour(kBackgroundRed, 0, 0, kBackgroundAlpha);  // only a colour

    presenter_.showProgress("Initializing Render State");
    render::RenderStateBlock state = engine_->viewport->renderState();
    if (state.shading != kGouraudShading) {
        state.shading = kGouraudShading;
        state.changed = 1;
    }
    engine_->viewport->setRenderState(state);

    presenter_.showProgress("Creating Camera");
    if (engine_->viewport->createCamera(engine_->camera)) return false;
    presenter_.showProgress("Positioning Camera");
    positionCamera(view_.advance(clock_.nowMs()), view_.zoomLevel);

    presenter_.showProgress("Making lights");
    if (engine_->device->createDirectionalLight(engine_->light1)) return false;
    (void)engine_->light1->setPosition({100, 100, 50});  // only a setting
    (void)engine_->light1->setDirection({-100, -100, 0});  // only a setting
    (void)engine_->light1->setIntensity(1.0f);  // only a setting
    (void)engine_->light1->setColour(1, 1, 1);  // only a setting
    if (engine_->device->createDirectionalLight(engine_->light2)) return false;
    (void)engine_->light2->setPosition({-100, -100, -50});  // only a setting
    (void)engine_->light2->setDirection({100, 100, 0});  // only a setting
    (void)engine_->light2->setIntensity(1.0f);  // only a setting
    (void)engine_->light2->setColour(1, 1, 1);  // only a setting
    (void)engine_->viewport->setAmbientColour(kAmbient, kAmbient, kAmbient, kAmbient);  // only a colour
    return true;
}

// The game is there when the file index knows at least one of the folders
// the library scans. The index is built anew, so a folder seen by an
// earlier attempt (or from another current folder) does not count.
bool Preview::gameFoldersExist() {
    platform::FileFinder& finder = platform::FileFinder::instance();
    finder.clearFolders();
    bool known = false;
    for (std::string_view list : {anim::kCharacterSearchPath, anim::kAnimationSearchPath})
        for (const std::string& folder : platform::splitFolderList(list)) {
            finder.addFolder(folder, true);
            known = finder.knowsFolder(folder) || known;
        }
    return known;
}

void Preview::tearDown() {
    if (engine_->device && render::Device3D::current() == engine_->device.get()) render::Device3D::setCurrent(nullptr);
    takeOffAppearance(true);
    engine_->character.reset();
    releaseEngine();
    initialised_ = false;
    presentWhole_ = true;
    backIsShown_ = false;
}

// Everything an attempt may have made, in reverse order of making.
void Preview::releaseEngine() {
    engine_->changed.forget();
    playback_ = nullptr;
    worn_ = {};
    engine_->character.reset();
    if (hookInstalled_) {
        anim::setAnimationEventHook(nullptr, nullptr);
        hookInstalled_ = false;
    }
    library_.reset();
    engine_->light2.reset();
    engine_->light1.reset();
    engine_->camera.reset();
    if (engine_->viewport) {
        (void)engine_->device->releaseViewport(engine_->viewport);  // going away either way
        engine_->viewport = nullptr;
    }
    if (engine_->device && render::Device3D::current() == engine_->device.get()) render::Device3D::setCurrent(nullptr);
    engine_->device.reset();
    engine_->animDevice.reset();
}

void Preview::windowMoved() {
    if (engine_->animDevice) engine_->animDevice->windowMoved();
}

FrameResult Preview::frame(FrameTimes* times, bool draw, bool whole) {
    if (!initialised_) return {};
    const bool showAll = whole || presentWhole_ || !presentChangesOnly_;
    if (draw && showAll && engine_->animDevice) {
        engine_->animDevice->addUpdateRect({0, 0, engine_->animDevice->width(), engine_->animDevice->height()});
        presentWhole_ = false;
    }
    return frameFrom(nullptr, times, draw, !showAll);
}

void Preview::missedTick(std::uint32_t realMs) {
    if (initialised_) (void)frameFrom(nullptr, nullptr, false, false, realMs);  // draws nothing to fail
}

bool Preview::presentAgain() {
    if (!initialised_ || !backIsShown_ || !engine_->animDevice) return false;
    render::AnimDevice& device = *engine_->animDevice;
    device.addUpdateRect({0, 0, device.width(), device.height()});
    return !device.present();
}

// A frame seen from `fixed` (the snapshots), or from the view the controls
// set, turned by the time since the last frame. With `skipUnchanged`, a
// picture like the last one drawn here is not drawn again.
FrameResult Preview::frameFrom(const CameraView* fixed, FrameTimes* times, bool draw, bool skipUnchanged,
                               std::optional<std::uint32_t> stepAtMs) {
    StageTimer timer(times);
    if (playback_ && playback_->reachedEnd()) runDirector();
    if (stepAtMs)
        clock_.step(*stepAtMs);
    else
        clock_.step();
    clock_.setMaxStepMs(PreviewClock::kFrameMaxStepMs);
    const float facing = fixed ? fixed->facing : view_.advance(clock_.nowMs());
    positionCamera(facing, fixed ? fixed->zoomLevel : view_.zoomLevel);
    if (!engine_->character || !engine_->character->skeleton()) return {};
    engine_->character->update(render::Matrix4::translation({0, kCharacterDrop, 0}), clock_.nowMs());
    timer.lap(&FrameTimes::updateMs);
    if (!draw) return {};
    if (fixed) {
        shownValid_ = false;
    } else if (presentChangesOnly_) {
        if (sameAsShown(facing) && skipUnchanged) return {};
        shownValid_ = true;
        std::swap(shown_.pose, poseScratch_);
        shown_.facing = facing;
        shown_.zoomLevel = view_.zoomLevel;
        shown_.surfaceWidth = engine_->animDevice->width();
        shown_.resources = engine_->animDevice->resourceGeneration();
    }
    const FrameResult rc = drawScene(times);
    if (rc) {  // the surface may hold part of a picture
        presentWhole_ = true;
        shownValid_ = false;
    }
    return rc;
}

// Leaves the pose's bytes in poseScratch_ either way.
bool Preview::sameAsShown(float facing) {
    const anim::PosedSkeleton& skeleton = *engine_->character->skeleton();
    const auto matrices = std::as_bytes(skeleton.worldMatrices());
    const auto positions = std::as_bytes(skeleton.worldPositions());
    poseScratch_.assign(matrices.begin(), matrices.end());
    poseScratch_.insert(poseScratch_.end(), positions.begin(), positions.end());
    return shownValid_ && shown_.pose == poseScratch_ && shown_.facing == facing &&
           shown_.zoomLevel == view_.zoomLevel && shown_.surfaceWidth == engine_->animDevice->width() &&
           shown_.resources == engine_->animDevice->resourceGeneration();
}

FrameResult Preview::drawScene(FrameTimes* times) {
    StageTimer timer(times);
    backIsShown_ = false;
    if (render::RenderResult rc = engine_->character->deformSkins()) return FrameResult(rc.code());
    timer.lap(&FrameTimes::skinMs);
    render::Viewport3D& viewport = *engine_->viewport;
    // Only the blocks that the moving triangles cross, when this frame can
    // be compared with the one on the surface.
    const std::uint32_t resources = engine_->animDevice->resourceGeneration();
    if (resources != engine_->changedResources) engine_->changed.forget();
    engine_->changedResources = resources;
    const bool limit =
        redraw_ == Redraw::ChangedBlocks || (redraw_ == Redraw::ChangedBlocksWhenScaled && scale_ > 1.0f);
    bool limited =
        limit && engine_->changed.find(engine_->character->renderGroup(), viewport, engine_->redrawBlocks) &&
        !viewport.limitRedraw(&engine_->redrawBlocks);
    // What changes on the surface: last frame's boxes, cleared now, and
    // this frame's, drawn now; or the limited scene's blocks.
    auto addChanged = [&] {
        if (!presentChangesOnly_) return;
        if (limited) {
            engine_->animDevice->addUpdateRect(engine_->redrawBlocks.bounds());
            return;
        }
        for (const platform::ScreenRect& r : viewport.dirtyRects()) engine_->animDevice->addUpdateRect(r);
    };
    auto drawAll = [&]() -> render::RenderResult {
        if (render::RenderResult rc = viewport.beginScene()) return rc;
        addChanged();
        render::RenderResult rc = viewport.clear();
        (void)engine_->light1->setIntensity(1.0f);  // only a setting
        (void)engine_->light2->setIntensity(1.0f);  // only a setting
        if (!rc) rc = engine_->character->draw(viewport, clock_.nowMs());
        addChanged();
        const render::RenderResult ended = viewport.endScene();
        return rc ? rc : ended;
    };
    render::RenderResult rc = drawAll();
    if (!rc && limited && !viewport.limitHeld()) {  // it could not keep the rest: all again
        limited = false;
        viewport.invalidate();
        rc = drawAll();
    }
    timer.lap(&FrameTimes::drawMs);
    if (rc)
        engine_->changed.forget();
    else
        engine_->changed.remember();
    if (!presenting_) presentWhole_ = true;  // the window's copy lags behind
    if (rc) return FrameResult(rc.code());
    if (presenting_) {
        rc = engine_->animDevice->present();
        backIsShown_ = !rc;
    }
    timer.lap(&FrameTimes::presentMs);
    return FrameResult(rc.code());
}

void Preview::setRedraw(Redraw redraw) {
    redraw_ = redraw;
    engine_->changed.forget();
}

void Preview::positionCamera(float facing, int zoomLevel) {
    if (!engine_->camera || !engine_->viewport) return;
    // Framed for the preview's own size; a scaled surface shows the same
    // view with more pixels.
    const CameraPlacement p = placeCamera(facing, zoomLevel, width_, height_);
    engine_->camera->setPosition(p.position);
    engine_->camera->setDirection(p.direction);
    engine_->camera->setFrontClip(kCameraFrontClip);
    engine_->camera->setBackClip(kCameraBackClip);
    engine_->viewport->setProjection(p.projection);
}

void Preview::runDirector() {
    const std::string_view voice = IdleDirector::voiceLine(look_.gender() == kFemale, platform::nextRandom);
    if (!voice.empty()) platform::soundPlayer().playResource(voice, platform::PlayMode::Async);
    animationName_ = director_.nextAnimation(platform::nextRandom);
    startAnimation(anim::LoopMode::Hold);
}

bool Preview::playAnimation(std::string_view name) {
    if (playback_ && engine_->character) engine_->character->stopPlayback(playback_, clock_.nowMs());
    playback_ = nullptr;
    animationName_ = std::string(name);
    startAnimation(anim::LoopMode::Hold);
    return playback_ != nullptr;
}

void Preview::keepPlaying(std::string_view name) {
    animationName_ = std::string(name);
    startAnimation(anim::LoopMode::Loop);
}

void Preview::standStill() {
    keepPlaying({});
}

void Preview::setFacing(float quarterTurns) {
    view_.facing = quarterTurns;
    view_.rotationSpeed = 0.0f;
}

void Preview::setRotationSpeed(float quarterTurnsPerSecond) {
    view_.rotationSpeed = quarterTurnsPerSecond;
}

void Preview::setZoomLevel(int level) {
    view_.zoomLevel = std::clamp(level, 0, kMaxZoomLevel);
}

// Keeps a playback of the chosen animation running: one of another
// animation is stopped; with none, the chosen one starts. An unknown name
// stands the character still.
void Preview::startAnimation(anim::LoopMode mode) {
    const anim::TimeMs now = clock_.nowMs();
    if (playback_ && playback_->animation().name != animationName_) {
        if (engine_->character) engine_->character->stopPlayback(playback_, now);
        playback_ = nullptr;
    }
    if (playback_ || animationName_.empty() || !library_) return;
    anim::Animation* animation = library_->findAnimation(animationName_);
    if (!animation) {
        animationName_.clear();
        return;
    }
    if (!engine_->character) return;
    playback_ = engine_->character->startPlayback(*animation, 1, 1.0f, 1.0f, now);
    if (playback_) playback_->setLoopMode(mode);
}

// Blocks until the sound has played, as the frame waits for it.
void Preview::soundHook(void*, const anim::AnimationPlayback&, anim::BoneIndex, const anim::BoneTrack&,
                        const anim::PropertyList& properties, float) {
    for (const auto& [key, value] : properties.entries())
        if (key == kSoundKey) platform::soundPlayer().playFile(value, platform::PlayMode::Wait);
}

}  // namespace tryster::preview
