#include "preview/Preview.h"

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
    : look_(look), presenter_(presenter), clock_(clock) {
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

    library_ = std::make_unique<anim::CharacterLibrary>(device_.get());
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
    if (animDevice_ && viewport_) {
        const platform::ScreenRect area = scaledArea(width_, height_, scale);
        if (animDevice_->resizeSurfaces(area.width(), area.height())) return false;
        if (viewport_->setSize(animDevice_->width(), animDevice_->height())) return false;
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
    animDevice_ = std::make_unique<render::AnimDevice>();
    presenter_.showProgress("Initing Anim Device");
    if (animDevice_->initialise(window, false, false, area.width(), area.height(), depth, render::AnimDevice::kRgb,
                                0))
        return false;
    animDevice_->setTexturePath(std::string(kTextureSearchPath));

    presenter_.showProgress("Making Direct3D Device");
    if (render::Device3D::create(*animDevice_, device_)) return false;
    render::Device3D::setCurrent(device_.get());

    presenter_.showProgress("Making Viewport");
    if (device_->createViewport(viewport_)) return false;

    presenter_.showProgress("Changing Background to Glimmer Red");
    (void)viewport_->setBackgroundColour(kBackgroundRed, 0, 0, kBackgroundAlpha);  // only a colour

    presenter_.showProgress("Initializing Render State");
    render::RenderStateBlock state = viewport_->renderState();
    if (state.shading != kGouraudShading) {
        state.shading = kGouraudShading;
        state.changed = 1;
    }
    viewport_->setRenderState(state);

    presenter_.showProgress("Creating Camera");
    if (viewport_->createCamera(camera_)) return false;
    presenter_.showProgress("Positioning Camera");
    positionCamera(view_.advance(clock_.nowMs()), view_.zoomLevel);

    presenter_.showProgress("Making lights");
    if (device_->createDirectionalLight(light1_)) return false;
    (void)light1_->setPosition({100, 100, 50});  // only a setting
    (void)light1_->setDirection({-100, -100, 0});  // only a setting
    (void)light1_->setIntensity(1.0f);  // only a setting
    (void)light1_->setColour(1, 1, 1);  // only a setting
    if (device_->createDirectionalLight(light2_)) return false;
    (void)light2_->setPosition({-100, -100, -50});  // only a setting
    (void)light2_->setDirection({100, 100, 0});  // only a setting
    (void)light2_->setIntensity(1.0f);  // only a setting
    (void)light2_->setColour(1, 1, 1);  // only a setting
    (void)viewport_->setAmbientColour(kAmbient, kAmbient, kAmbient, kAmbient);  // only a colour
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
    if (device_ && render::Device3D::current() == device_.get()) render::Device3D::setCurrent(nullptr);
    takeOffAppearance(true);
    character_.reset();
    releaseEngine();
    initialised_ = false;
    presentWhole_ = true;
}

// Everything an attempt may have made, in reverse order of making.
void Preview::releaseEngine() {
    playback_ = nullptr;
    worn_ = {};
    character_.reset();
    if (hookInstalled_) {
        anim::setAnimationEventHook(nullptr, nullptr);
        hookInstalled_ = false;
    }
    library_.reset();
    light2_.reset();
    light1_.reset();
    camera_.reset();
    if (viewport_) {
        (void)device_->releaseViewport(viewport_);  // going away either way
        viewport_ = nullptr;
    }
    if (device_ && render::Device3D::current() == device_.get()) render::Device3D::setCurrent(nullptr);
    device_.reset();
    animDevice_.reset();
}

void Preview::windowMoved() {
    if (animDevice_) animDevice_->windowMoved();
}

render::RenderResult Preview::frame(FrameTimes* times, bool draw, bool whole) {
    if (!initialised_) return render::render_error::kOk;
    const bool showAll = whole || presentWhole_ || !presentChangesOnly_;
    if (draw && showAll && animDevice_) {
        animDevice_->addUpdateRect({0, 0, animDevice_->width(), animDevice_->height()});
        presentWhole_ = false;
    }
    return frameFrom(nullptr, times, draw, !showAll);
}

// A frame seen from `fixed` (the snapshots), or from the view the controls
// set, turned by the time since the last frame. With `skipUnchanged`, a
// picture like the last one drawn here is not drawn again.
render::RenderResult Preview::frameFrom(const CameraView* fixed, FrameTimes* times, bool draw,
                                        bool skipUnchanged) {
    StageTimer timer(times);
    if (playback_ && playback_->reachedEnd()) runDirector();
    clock_.step();
    clock_.setMaxStepMs(PreviewClock::kFrameMaxStepMs);
    const float facing = fixed ? fixed->facing : view_.advance(clock_.nowMs());
    positionCamera(facing, fixed ? fixed->zoomLevel : view_.zoomLevel);
    if (!character_ || !character_->skeleton()) return render::render_error::kOk;
    character_->update(render::Matrix4::translation({0, kCharacterDrop, 0}), clock_.nowMs());
    timer.lap(&FrameTimes::updateMs);
    if (!draw) return render::render_error::kOk;
    if (fixed) {
        shownValid_ = false;
    } else if (presentChangesOnly_) {
        if (sameAsShown(facing) && skipUnchanged) return render::render_error::kOk;
        shownValid_ = true;
        std::swap(shown_.pose, poseScratch_);
        shown_.facing = facing;
        shown_.zoomLevel = view_.zoomLevel;
        shown_.surfaceWidth = animDevice_->width();
        shown_.resources = animDevice_->resourceGeneration();
    }
    const render::RenderResult rc = drawScene(times);
    if (rc) {  // the surface may hold part of a picture
        presentWhole_ = true;
        shownValid_ = false;
    }
    return rc;
}

// Leaves the pose's bytes in poseScratch_ either way.
bool Preview::sameAsShown(float facing) {
    const anim::PosedSkeleton& skeleton = *character_->skeleton();
    const auto matrices = std::as_bytes(skeleton.worldMatrices());
    const auto positions = std::as_bytes(skeleton.worldPositions());
    poseScratch_.assign(matrices.begin(), matrices.end());
    poseScratch_.insert(poseScratch_.end(), positions.begin(), positions.end());
    return shownValid_ && shown_.pose == poseScratch_ && shown_.facing == facing &&
           shown_.zoomLevel == view_.zoomLevel && shown_.surfaceWidth == animDevice_->width() &&
           shown_.resources == animDevice_->resourceGeneration();
}

render::RenderResult Preview::drawScene(FrameTimes* times) {
    StageTimer timer(times);
    if (render::RenderResult rc = character_->deformSkins()) return rc;
    timer.lap(&FrameTimes::skinMs);
    // What changes on the surface: last frame's boxes, cleared now, and
    // this frame's, drawn now.
    auto addChanged = [this] {
        if (presentChangesOnly_)
            for (const platform::ScreenRect& r : viewport_->dirtyRects()) animDevice_->addUpdateRect(r);
    };
    if (render::RenderResult rc = viewport_->beginScene()) return rc;
    addChanged();
    render::RenderResult rc = viewport_->clear();
    (void)light1_->setIntensity(1.0f);  // only a setting
    (void)light2_->setIntensity(1.0f);  // only a setting
    if (!rc) rc = character_->draw(*viewport_, clock_.nowMs());
    addChanged();
    const render::RenderResult ended = viewport_->endScene();
    timer.lap(&FrameTimes::drawMs);
    if (!presenting_) presentWhole_ = true;  // the window's copy lags behind
    if (rc || ended) return rc ? rc : ended;
    if (presenting_) rc = animDevice_->present();
    timer.lap(&FrameTimes::presentMs);
    return rc;
}

void Preview::positionCamera(float facing, int zoomLevel) {
    if (!camera_ || !viewport_) return;
    // Framed for the preview's own size; a scaled surface shows the same
    // view with more pixels.
    const CameraPlacement p = placeCamera(facing, zoomLevel, width_, height_);
    camera_->setPosition(p.position);
    camera_->setDirection(p.direction);
    camera_->setFrontClip(kCameraFrontClip);
    camera_->setBackClip(kCameraBackClip);
    viewport_->setProjection(p.projection);
}

void Preview::runDirector() {
    const std::string_view voice = IdleDirector::voiceLine(look_.gender() == kFemale, platform::nextRandom);
    if (!voice.empty()) platform::soundPlayer().playResource(voice, platform::PlayMode::Async);
    animationName_ = director_.nextAnimation(platform::nextRandom);
    startAnimation(anim::LoopMode::Hold);
}

bool Preview::playAnimation(std::string_view name) {
    if (playback_ && character_) character_->stopPlayback(playback_, clock_.nowMs());
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
        if (character_) character_->stopPlayback(playback_, now);
        playback_ = nullptr;
    }
    if (playback_ || animationName_.empty() || !library_) return;
    anim::Animation* animation = library_->findAnimation(animationName_);
    if (!animation) {
        animationName_.clear();
        return;
    }
    if (!character_) return;
    playback_ = character_->startPlayback(*animation, 1, 1.0f, 1.0f, now);
    if (playback_) playback_->setLoopMode(mode);
}

// Blocks until the sound has played, as the frame waits for it.
void Preview::soundHook(void*, const anim::AnimationPlayback&, anim::BoneIndex, const anim::BoneTrack&,
                        const anim::PropertyList& properties, float) {
    for (const auto& [key, value] : properties.entries())
        if (key == kSoundKey) platform::soundPlayer().playFile(value, platform::PlayMode::Wait);
}

}  // namespace tryster::preview
