#pragma once
// The live preview without its window: the engine objects, the character
// library and the preview character, the look being built with its
// catalog lists, the camera controls, the clock and the idle director. The
// dialog owns one, forwards its controls to it and calls frame() on each
// tick; headless tools drive it the same way.
//
// Nothing is made at construction: setUp() makes everything at the first
// tick (the dialog is on screen by then), tearDown() releases it in reverse
// and may run any number of times.

#include "anim/CharacterLibrary.h"
#include "anim/PreviewCharacter.h"
#include "character/Appearance.h"
#include "exchange/CharacterLook.h"
#include "exchange/Look.h"
#include "exchange/PreviewSnapshots.h"
#include "platform/DisplayWindow.h"
#include "preview/CameraPlacement.h"
#include "preview/IdleDirector.h"
#include "preview/PreviewClock.h"
#include "preview/PreviewPresenter.h"
#include "preview/SkinCatalog.h"
#include "render/AnimDevice.h"
#include "render/Device3D.h"
#include "render/Light.h"
#include "render/Viewport3D.h"

#include <memory>
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

// Wall-clock milliseconds of one frame's stages.
struct FrameTimes {
    double updateMs = 0;   // director, clock, camera, pose
    double skinMs = 0;     // deforming the worn meshes
    double drawMs = 0;     // clear, draw, end of scene
    double presentMs = 0;  // handing the frame to the window
};

class Preview final : public exchange::PreviewSnapshots {
public:
    explicit Preview(PreviewPresenter& presenter, PreviewClock& clock = PreviewClock::instance());
    ~Preview() override;
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    // The deferred set-up, drawing into `window` at the given size (made
    // even here) and render scale (see setRenderScale). Does nothing once it
    // has completed; a step that fails leaves the preview uninitialised and
    // the next call starts again. When none of the game's folders exists it
    // shows the "Tryster Error" box, posts quit code -1, and every later
    // call returns false. False too for a scale setRenderScale refuses.
    bool setUp(platform::DisplayWindow* window, int width, int height, float scale = 1.0f);
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
    // The preview's own size (made even) and its drawing surface's for a
    // scale.
    int previewWidth() const { return width_; }
    int previewHeight() const { return height_; }
    static platform::ScreenRect scaledArea(int width, int height, float scale);

    // One frame: the director when the idle has ended, a clock step, the
    // camera, the pose, and (with `draw`) the drawing and the present.
    // Nothing happens before set-up or while suspended.
    render::RenderResult frame(FrameTimes* times = nullptr, bool draw = true);
    // Camera placement for the current controls and clock.
    void positionCamera();
    // Chooses and starts the next idle animation, with the voice line.
    void runDirector();
    // Starts the named animation from its beginning as the director starts
    // an idle (once, resting on its end). False when the library lacks it;
    // the character then stands still.
    bool playAnimation(std::string_view name);

    // Refills the appearance lists from the library and the folders (either
    // switch may be off), keeps the current choices that are still listed,
    // and puts the result on the preview character.
    void refillCatalog(bool meshes, bool textures);
    // Derives the hands and dresses the preview character in the look.
    void applyAppearance();

    // The user's choices on the appearance page, each followed by what the
    // page does about it (see PreviewChoices.cpp). An empty name (nothing
    // selected) changes nothing.
    // Entering the page: the gender buttons' states, both refills, then
    // the textures again for the body mesh the first one chose.
    void enterAppearance(bool malePressed, bool femalePressed);
    void chooseGender(bool female);
    void chooseBodyType(int index);
    void chooseSkinType(int index);
    void chooseBodyMesh(std::string_view name);
    void chooseBodyTexture(std::string_view name);
    void chooseHeadMesh(std::string_view name);
    void chooseHeadTexture(std::string_view name);
    // Rescans the game's folders for skins; the animation keeps running.
    void reloadCatalog();

    // Shows a character read from its file (a loaded character, a townie or
    // a date): its age's default look first, its tone and build, then its
    // four names, each selected where the lists offer it and kept as the
    // current name either way; the character then stands still. The
    // gender letter of the lists follows the character too.
    void showCharacterLook(const exchange::CharacterLook& character);
    void takeOffAppearance(bool alsoStopAnimation);

    // The save command's snapshot step: the head and the whole body, drawn
    // at facing 0 and zoom 2, as JPEG files; the view is restored after.
    // Returns the paths written (none before set-up).
    std::vector<std::string> takeSnapshots(std::string_view headPath, std::string_view bodyPath) override;

    // The look the exporters write: the appearance, the type lists'
    // choices, the age, and the gender the Male button shows.
    exchange::Look currentLook() const;

    // The dialog's state that the preview reads.
    Appearance& look() { return look_; }
    std::string& skeletonName() { return skeletonName_; }
    std::string& animationName() { return animationName_; }
    CatalogInputs& inputs() { return inputs_; }
    ViewControls& view() { return view_; }
    IdleDirector& director() { return director_; }
    const SkinCatalog& catalog() const { return catalog_; }
    SkinCatalog& catalog() { return catalog_; }
    // Made current by each refill (empty: left as it is).
    void setInstallFolder(std::string folder) { installFolder_ = std::move(folder); }
    // While set, frames do nothing.
    bool suspended() const { return suspended_; }
    void setSuspended(bool on) { suspended_ = on; }

    PreviewClock& clock() const { return clock_; }
    render::AnimDevice* animDevice() const { return animDevice_.get(); }
    render::Viewport3D* viewport() const { return viewport_; }
    render::Camera* camera() const { return camera_.get(); }
    anim::CharacterLibrary* library() const { return library_.get(); }
    anim::PreviewCharacter* character() const { return character_.get(); }
    anim::AnimationPlayback* playback() const { return playback_; }

private:
    struct WornLook {
        anim::WornOutfit* head = nullptr;
        anim::WornOutfit* leftHand = nullptr;
        anim::WornOutfit* rightHand = nullptr;
        anim::WornOutfit* body = nullptr;
    };

    bool makeEngine(platform::DisplayWindow* window);
    bool gameFoldersExist();
    void releaseEngine();
    void startAnimation(anim::LoopMode mode);
    render::RenderResult drawScene(FrameTimes* times);
    static void soundHook(void* self, const anim::AnimationPlayback& playback, anim::BoneIndex bone,
                          const anim::BoneTrack& track, const anim::PropertyList& properties, float phase);

    PreviewPresenter& presenter_;
    PreviewClock& clock_;

    std::unique_ptr<render::AnimDevice> animDevice_;
    std::unique_ptr<render::Device3D> device_;
    render::Viewport3D* viewport_ = nullptr;  // the device's
    render::Ref<render::Camera> camera_;
    render::Ref<render::DirectionalLight> light1_, light2_;
    std::unique_ptr<anim::CharacterLibrary> library_;
    std::unique_ptr<anim::PreviewCharacter> character_;
    anim::AnimationPlayback* playback_ = nullptr;  // the character's
    WornLook worn_;
    bool hookInstalled_ = false;
    bool initialised_ = false;
    int width_ = 0, height_ = 0;  // the preview's size
    float scale_ = 1.0f;
    bool presenting_ = true;  // off while snapshots draw at scale 1
    bool gameMissing_ = false;
    bool suspended_ = false;

    Appearance look_;
    std::string skeletonName_{kAdultDefaults.skeleton};
    std::string animationName_{kAdultDefaults.animation};
    std::string installFolder_;
    CatalogInputs inputs_;
    SkinCatalog catalog_;
    ViewControls view_;
    IdleDirector director_;
};

}  // namespace tryster::preview
