#include "PreviewHarness.h"

#include "render/Scene.h"

#include <algorithm>
#include <set>

namespace tryster::test {
namespace {

using preview::Preview;
using Event = test::RecordingSoundPlayer::Event;

bool showed(const RecordingPresenter& p, std::string_view text) {
    return std::find(p.progress.begin(), p.progress.end(), text) != p.progress.end();
}

TEST_F(PreviewTest, SetUpDressesAndGreetsTheDefaultCharacter) {
    Preview& p = start();
    ASSERT_TRUE(p.initialised());
    EXPECT_EQ(render::Device3D::current(), &viewport(p)->device());
    EXPECT_EQ(animDevice(p)->width(), preview::kPreviewWidth);
    ASSERT_TRUE(previewCharacter(p) && previewCharacter(p)->skeleton());
    EXPECT_EQ(previewCharacter(p)->skeleton()->wornOutfits().size(), 4u) << "head, both hands, body";
    ASSERT_TRUE(p.playback());
    EXPECT_EQ(p.playback()->animation().name, "a2o-heyyou1");
    EXPECT_EQ(viewport(p)->renderState().shading, 2);
    EXPECT_EQ(viewport(p)->ambientArgb(), 0xB2B2B2B2u);
    EXPECT_EQ(presenter.progress.front(), "Initializing DDD:");
    EXPECT_EQ(presenter.progress.back(), "Ready!");
    EXPECT_FALSE(showed(presenter, "Get Screen Depth Failed:"));
    EXPECT_EQ(sound.events.back(), (Event{Event::Resource, "Vox_heyshM2", platform::PlayMode::Async}));
    EXPECT_TRUE(p.setUp(&window, 100, 100)) << "a second call does nothing";
    EXPECT_EQ(animDevice(p)->width(), preview::kPreviewWidth);
}

TEST_F(PreviewTest, AnUnreadableDisplayModeGivesSixteenBitsAndThePreviewStillStarts) {
    // The depth query's display cannot read the mode; the device's can.
    int displays = 0;
    platform::installDisplaySystemFactory([&displays] {
        softgpu::SoftwareDisplay::Options options;
        options.desktop.bitsPerPixel = 16;
        options.modeReadable = displays++ > 0;
        return std::make_unique<softgpu::SoftwareDisplay>(options);
    });
    Preview& p = start();
    platform::installDisplaySystemFactory({});
    EXPECT_TRUE(showed(presenter, "Get Screen Depth Failed:"));
    EXPECT_TRUE(p.initialised());
    EXPECT_EQ(animDevice(p)->depth(), 16);
    run(40);
    EXPECT_GT(window.frames, 0);
}

TEST_F(PreviewTest, AFailedStepLeavesThePreviewEmptyAndTheNextTickTriesAgain) {
    writeInstall();
    preview = std::make_unique<Preview>(look, presenter, previewClock);
    {
        softgpu::SoftwareDisplay::Options options;
        options.drivers = {{"Ramp Emulation", false}};
        DisplayOverride display(options);
        EXPECT_FALSE(preview->setUp(&window, 332, 432));
        EXPECT_EQ(presenter.progress.back(), "Initing Anim Device") << "the title stays at the step";
        EXPECT_FALSE(preview->initialised());
        EXPECT_FALSE(animDevice(*preview));
        EXPECT_EQ(render::Device3D::current(), nullptr);
        EXPECT_FALSE(preview->frame()) << "frames do nothing meanwhile";
    }
    EXPECT_TRUE(preview->setUp(&window, 332, 432));
    EXPECT_TRUE(presenter.messages.empty());
}

TEST_F(PreviewTest, WithoutAnyGameFolderTheUserIsToldAndTheProgramQuits) {
    dir.write("Unrelated/readme.txt", "not a game");
    // Folders seen from another place earlier must not count.
    platform::FileFinder::instance().addFolder(".", true);
    Preview p(look, presenter, previewClock);
    EXPECT_FALSE(p.setUp(&window, 332, 432));
    ASSERT_EQ(presenter.messages.size(), 1u);
    EXPECT_EQ(presenter.messages[0], "Tryster Error: The Ploms was not detected on this computer. You must have "
                                     "The Ploms installed to use this program.");
    EXPECT_EQ(presenter.quitCodes, std::vector<int>{-1});
    EXPECT_FALSE(p.initialised());
    EXPECT_EQ(render::Device3D::current(), nullptr);
    EXPECT_FALSE(p.setUp(&window, 332, 432));
    EXPECT_EQ(presenter.messages.size(), 1u) << "told once";
}

TEST_F(PreviewTest, OneAnimationFolderIsEnoughForTheFolderCheck) {
    dir.write("ExpansionPack3/Animations/readme.txt", "");
    Preview p(look, presenter, previewClock);
    EXPECT_TRUE(preview::startPreview(p, look, &window, 64, 64));
    EXPECT_TRUE(presenter.messages.empty());
    ASSERT_TRUE(previewCharacter(p));
    EXPECT_FALSE(previewCharacter(p)->skeleton()) << "an empty install shows nothing";
    EXPECT_FALSE(p.frame());
}

TEST_F(PreviewTest, TeardownReleasesEverythingAndIsSafeToRunTwice) {
    Preview& p = start();
    run(100);
    p.tearDown();
    EXPECT_EQ(render::Device3D::current(), nullptr);
    EXPECT_FALSE(p.initialised());
    EXPECT_FALSE(previewCharacter(p));
    EXPECT_FALSE(p.library());
    EXPECT_FALSE(animDevice(p));
    EXPECT_FALSE(p.playback());
    p.tearDown();
    EXPECT_FALSE(p.frame());
    look.rescan();
    p.standStill();
    EXPECT_FALSE(previewCharacter(p));
}

TEST_F(PreviewTest, AfterTheGreetingTheDirectorKeepsTheCharacterIdling) {
    platform::seedRandom(7);
    Preview& p = start();
    // The first run draws the voice line first, then the idle.
    platform::RuntimeRandom r(7);
    const bool speaks = r.next() % 10 == 3;
    if (speaks) r.next();
    const int first = r.next() % 20;
    ASSERT_LT(first, 8) << "pick another seed";
    sound.events.clear();
    run(static_cast<std::uint32_t>(kGreetingMs) + 60);
    ASSERT_TRUE(p.playback());
    EXPECT_EQ(p.animationName(), "a2o-idle" + std::to_string(first + 1));
    EXPECT_EQ(p.playback()->animation().name, p.animationName());
    EXPECT_EQ(p.playback()->loopMode(), anim::LoopMode::Hold);
    EXPECT_EQ(sound.events.size(), speaks ? 2u : 1u) << "the greeting's own sound, and the voice line";

    std::set<std::string> seen;
    for (int i = 0; i < 600; ++i) {
        run(100, 50, false);
        ASSERT_TRUE(p.playback());
        EXPECT_EQ(p.playback()->animation().name, p.animationName());
        seen.insert(p.animationName());
    }
    EXPECT_GT(seen.size(), 8u);
    EXPECT_TRUE(seen.count("a2o-idle-transition-armsdown-handships"));
}

TEST_F(PreviewTest, AnUnknownIdleStandsTheCharacterStill) {
    Preview& p = start();
    p.keepPlaying("a2o-no-such-idle");
    EXPECT_FALSE(p.playback());
    EXPECT_EQ(p.animationName(), "");
    run(1000);
    EXPECT_FALSE(p.playback());
}

TEST_F(PreviewTest, ASoundNamedByTheAnimationPlaysToItsEndDuringTheFrame) {
    start();
    sound.events.clear();
    run(kGreetingSoundMs + 40);
    const Event played{Event::File, kGreetingSound, platform::PlayMode::Wait};
    EXPECT_EQ(std::count(sound.events.begin(), sound.events.end(), played), 1);
}

TEST_F(PreviewTest, AfterTeardownAnimationsNoLongerCallThePreview) {
    Preview& p = start();
    p.tearDown();
    // A character of another owner playing the greeting.
    anim::CharacterLibrary library;
    library.loadCharacterFiles(anim::kCharacterSearchPath);
    auto other = preview::PreviewCharacter::make(library, "adult", {}, "a2o-heyyou1", 0);
    sound.events.clear();
    other->update(render::Matrix4::identity(), 300);
    EXPECT_TRUE(sound.events.empty());
}

}  // namespace
}  // namespace tryster::test
