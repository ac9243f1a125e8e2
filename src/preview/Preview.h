#pragma once
// The live preview without its window: the engine objects, the character
// library and the preview character dressed in the look it reads, the view
// the camera is placed for, the clock and the idle director. The window
// holds one, passes the view controls' choices to it and calls frame() on
// each tick; headless tools drive it the same way.
//
// Nothing is made at construction: startPreview() makes everything at the
// first tick (the dialog is on screen by then), tearDown() releases it in
// reverse and may run any number of times.

#include "anim/CharacterLibrary.h"
#include "anim/PosedSkeleton.h"
#include "character/Appearance.h"
#include "exchange/PreviewSnapshots.h"
#include "platform/DisplayWindow.h"
#include "platform/HeldFiles.h"
#include "preview/CameraPlacement.h"
#include "preview/IdleDirector.h"
#include "preview/LookModel.h"
#include "preview/PreviewClock.h"
#include "preview/PreviewPresenter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::preview {

// The drawing surface of the dialog's preview area (its client area with
// width and height made even). The snapshot rectangles lie inside it. The
// camera keeps the character a sixth of the height lower for each pixel of
// height; at this height a figure from y = -0.35 to 5.55 fills the body
// rectangle to its last row at zoom 2, and at zoom 4 loses only its soles.
inline constexpr int kPreviewWidth = 332;
inline constexpr int kPreviewHeight = 430;

// Snapshot rectangles on the drawing surface at zoom 2, facing 0 (at render
// scale 1, where snapshots are always drawn).
inline constexpr platform::ScreenRect kHeadSnapshotRect{145, 146, 190, 191};
inline constexpr platform::ScreenRect kBodySnapshotRect{120, 146, 220, 366};

// Device pixels per preview pixel that the preview draws at (a screen's
// device pixel ratio).
inline constexpr float kMinRenderScale = 0.5f;
inline constexpr float kMaxRenderScale = 4.0f;

// The engine's mesh folders and the render target's texture folders
// (relative to the install folder); the character and animation lists are
// the character library's.
inline constexpr std::string_view kResourceSearchPath =
    "GameData\\cmx;GameData\\cmx2;GameData\\cmx3;GameData\\cmx4;GameData\\cmx5;GameData\\cmx6;"
    "GameData\\cmx7;GameData\\cmx8;GameData\\cmx9;GameData\\cmx10;GameData\\People1;GameData\\People2;"
    "GameData\\Skins;GameData\\Textures;GameData\\Textures2;GameData\\Accessories1;GameData\\Accessories2";
inline constexpr std::string_view kTextureSearchPath =
    "GameData\\Textures;GameData\\Textures2;GameData\\Skins;GameData\\Animations;ExpansionPack3\\Skins";

// The start-up check's message too. Literals end in a NUL, so a caller
// that needs a C string may take data().
inline constexpr std::string_view kGameMissingCaption = "Tryster Error";
inline constexpr std::string_view kGameMissingText =
    "The Ploms was not detected on this computer. You must have The Ploms installed to use this program.";
inline constexpr int kGameMissingQuitCode = -1;

// What a frame came to: false, or the engine's code for the step that
// failed.
class [[nodiscard]] FrameResult {
public:
    constexpr FrameResult() = default;
    constexpr explicit FrameResult(std::uint32_t code) : code_(code) {}
    constexpr std::uint32_t code() const { return code_; }
    constexpr explicit operator bool() const { return code_ != 0; }

private:
    std::uint32_t code_ = 0;
};

// Wall-clock milliseconds of one frame's stages.
struct FrameTimes {
    double updateMs = 0;   // director, clock, camera, pose
    double skinMs = 0;     // deforming the worn meshes
    double drawMs = 0;     // clear, draw, end of scene
    double presentMs = 0;  // handing the frame to the window
};

class Preview final : public exchange::PreviewSnapshots, private LookObserver {
public:
    // The preview reads `look` and dresses the character in it whenever it
    // changes; it never changes the look.
    Preview(const LookModel& look, PreviewPresenter& presenter, PreviewClock& clock = PreviewClock::instance());
    ~Preview() override;
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    // The deferred set-up up to "Creating the plom", drawing into `window`
    // at the given size (made even here) and render scale (see
    // setRenderScale): the engine, the game's folders and data. Does
    // nothing once it has completed; a step that fails leaves the preview
    // uninitialised and the next call starts again. When none of the
    // game's folders exists it shows the "Tryster Error" box, posts quit
    // code -1, and every later call returns false. False too for a scale
    // setRenderScale refuses. startPreview runs the whole set-up.
    bool setUp(platform::DisplayWindow* window, int width, int height, float scale = 1.0f);
    // The outfit names the game's character files define (none before
    // set-up), for the look's lists.
    std::vector<std::string> outfitNames() const;
    // The set-up's last step: "Ready!", arms down, the greeting voice.
    void greet();
    bool initialised() const { return initialised_; }
    bool gameMissing() const { return gameMissing_; }
    void tearDown();

    // For high-density screens: the preview draws `scale` device pixels for
    // each of its pixels, with the same framing (the camera's world units
    // per pixel divided by the scale), and presents them one to one. The
    // drawing surface is the preview's size times the scale, each side
    // rounded and made even (so the aspect may differ by a pixel's worth).
    // Snapshots are drawn at scale 1 whatever the scale. A window that moves
    // to a screen of another ratio calls this again: the surfaces are made
    // anew (textures, look and animation stay) and the next frame draws at
    // the new size. Before set-up the scale is kept for it. False, with
    // nothing changed, for a scale outside kMinRenderScale..kMaxRenderScale
    // or when the surfaces cannot be made.
    bool setRenderScale(float scale);
    float renderScale() const { return scale_; }
    // The drawing surface of a preview of that size at a scale.
    static platform::ScreenRect scaledArea(int width, int height, float scale);

    // Files held in memory (a shared date's skins, before they are
    // installed) that take the place of the game's files of the same names
    // until the next call: character files, meshes and textures. Null: the
    // game's files only. The character is dressed anew. Before set-up the
    // files wait for it.
    void holdFiles(std::shared_ptr<const platform::HeldFiles> files);
    const platform::HeldFiles* heldFiles() const { return held_.get(); }
    // Character files just written into the game's folders (a shared date's,
    // installed): read now, their outfits taking the place of earlier ones
    // of the same names. Game paths ("GameData\Skins\x.cmx"). The character
    // is dressed anew.
    void readNewCharacterFiles(const std::vector<std::string>& gamePaths);

    // The window that shows the preview moved, was resized or shown.
    void windowMoved();
    // One frame: the director when the idle has ended, a clock step, the
    // camera, the pose, and (with `draw`) the drawing and the present
    // (of the whole surface with `whole`, else of what changed). Nothing
    // happens before set-up.
    FrameResult frame(FrameTimes* times = nullptr, bool draw = true, bool whole = false);
    // A frame that does not draw, its clock step taken as if the tick count
    // read `realMs`: a tick the window slept through, run late.
    void missedTick(std::uint32_t realMs);
    // With this on, a present without `whole` shows only the union of the
    // figure's box in this frame and in the last one (the rest of the
    // surface did not change since the last present). The window sets it;
    // headless callers, which may read each presented area as a whole
    // picture, leave it off. A frame after one that was drawn but not
    // presented, or after the surfaces were made anew, shows everything.
    // A frame that would show the same picture as the last one drawn (the
    // same pose, facing, zoom, clothes and textures) is then not drawn.
    void setPresentChangesOnly(bool on) { presentChangesOnly_ = on; }
    // The last frame presented, presented again whole without drawing, for
    // a window that has to paint it again. False (and nothing presented)
    // when the surface no longer holds that frame: another was drawn since
    // without being presented, the surfaces were made anew, or a frame is
    // being drawn now.
    bool presentAgain();
    // What a frame draws: everything, or (when it can be compared with the
    // frame on the surface) only the blocks that the moving triangles
    // cross, which gives the same picture. Finding those blocks costs about
    // what they save at scale 1, and pays from there on as the pixels grow
    // with the square of the scale; so, as it starts, only above scale 1.
    enum class Redraw { Whole, ChangedBlocks, ChangedBlocksWhenScaled };
    void setRedraw(Redraw redraw);

    // Starts the named animation from its beginning as the director starts
    // an idle (once, resting on its end). False when the library lacks it;
    // the character then stands still.
    bool playAnimation(std::string_view name);
    // The named animation, looping; a change of the look keeps it playing.
    void keepPlaying(std::string_view name);
    // No animation: a loaded character stands still until the next one.
    void standStill();
    const std::string& animationName() const { return animationName_; }
    IdlePosture posture() const { return director_.posture(); }

    // The view controls. A facing stops the rotation.
    const CameraView& view() const { return view_; }
    void setFacing(float quarterTurns);
    void setRotationSpeed(float quarterTurnsPerSecond);
    void setZoomLevel(int level);

    // The save command's snapshot step: the head and the whole body, drawn
    // at facing 0 and zoom 2, as JPEG files; the view the controls set is
    // not touched. Returns the paths written (none before set-up).
    std::vector<std::string> takeSnapshots(std::string_view headPath, std::string_view bodyPath) override;

    // What is drawn, for tools and tests that look at it (the engine's
    // objects through preview/PreviewEngine.h).
    const PreviewClock& clock() const { return clock_; }
    const anim::CharacterLibrary* library() const { return library_.get(); }
    const anim::AnimationPlayback* playback() const { return playback_; }
    struct Engine;
    const Engine& engine() const { return *engine_; }

private:
    struct WornLook {
        anim::WornOutfit* head = nullptr;
        anim::WornOutfit* leftHand = nullptr;
        anim::WornOutfit* rightHand = nullptr;
        anim::WornOutfit* body = nullptr;
    };

    void lookChanged(const LookModel& look) override;
    void useHeldFiles();
    bool makeEngine(platform::DisplayWindow* window);
    bool gameFoldersExist();
    void releaseEngine();
    FrameResult frameFrom(const CameraView* fixed, FrameTimes* times, bool draw, bool skipUnchanged = false,
                          std::optional<std::uint32_t> stepAtMs = std::nullopt);
    bool sameAsShown(float facing);
    void positionCamera(float facing, int zoomLevel);
    void runDirector();
    void startAnimation(anim::LoopMode mode);
    void applyAppearance();
    void takeOffAppearance(bool alsoStopAnimation);
    FrameResult drawScene(FrameTimes* times);
    static void soundHook(void* self, const anim::AnimationPlayback& playback, anim::BoneIndex bone,
                          const anim::BoneTrack& track, const anim::PropertyList& properties, float phase);

    const LookModel& look_;
    PreviewPresenter& presenter_;
    PreviewClock& clock_;

    std::unique_ptr<Engine> engine_;  // always there; its objects only while set up
    std::unique_ptr<anim::CharacterLibrary> library_;
    anim::AnimationPlayback* playback_ = nullptr;  // the character's
    WornLook worn_;
    bool hookInstalled_ = false;
    bool initialised_ = false;
    int width_ = 0, height_ = 0;  // the preview's size
    float scale_ = 1.0f;
    bool presenting_ = true;  // off while snapshots draw at scale 1
    bool presentChangesOnly_ = false;
    bool presentWhole_ = true;  // the window's copy may differ outside the figure
    bool backIsShown_ = false;  // the back surface holds the last frame presented
    // What the last frame drawn by frame() showed, valid until another
    // picture was drawn or the clothes changed.
    struct Shown {
        std::vector<std::byte> pose;
        float facing = 0;
        int zoomLevel = 0;
        int surfaceWidth = 0;
        std::uint32_t resources = 0;
    };
    Shown shown_;
    bool shownValid_ = false;
    std::vector<std::byte> poseScratch_;
    Redraw redraw_ = Redraw::ChangedBlocksWhenScaled;
    bool gameMissing_ = false;
    std::shared_ptr<const platform::HeldFiles> held_;

    std::string animationName_{kAdultDefaults.animation};
    CameraView view_;
    IdleDirector director_;
};

// The whole deferred set-up of a preview and its look: the preview's
// engine and the game's data, then the look's default choices and first
// lists (the preview dresses the character when the look tells it), then
// the greeting. Does nothing once it has completed; false while it has not
// (see Preview::setUp).
bool startPreview(Preview& preview, LookModel& look, platform::DisplayWindow* window, int width, int height,
                  float scale = 1.0f);

}  // namespace tryster::preview
