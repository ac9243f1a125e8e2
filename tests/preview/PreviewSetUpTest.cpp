#include "PreviewHarness.h"

#include "preview/IdleDirector.h"
#include "render/Scene.h"

#include <algorithm>
#include <set>

namespace tryster::test {
namespace {

using preview::IdleDirector;
using preview::IdlePosture;
using preview::Preview;
using Event = test::RecordingSoundPlayer::Event;

bool showed(const RecordingPresenter& p, std::string_view text) {
    return std::find(p.progress.begin(), p.progress.end(), text) != p.progress.end();
}

TEST_F(PreviewTest, SetUpDressesAndGreetsTheDefaultCharacter) {
    Preview& p = start();
    ASSERT_TRUE(p.initialised());
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

TEST_F(PreviewTest, AFigureDrawnIsBoxedAndDeformedOnceAndTeardownReleasesEverything) {
    Preview& p = start();
    run(100);
    const anim::Box box = previewCharacter(p)->skeleton()->bounds();
    EXPECT_GT(box.max.y - box.min.y, 4.0f) << "the box holds the whole figure";
    for (const auto& worn : previewCharacter(p)->skeleton()->wornOutfits())
        for (const anim::WornPart& part : worn->parts()) EXPECT_FALSE(part.skin->needsDeform()) << "the pose drawn is deformed once";
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

// A generator that returns the given values in turn.
std::vector<int> script;
std::size_t scriptAt = 0;
int scripted() { return script.at(scriptAt++); }
void play(std::vector<int> values) {
    script = std::move(values);
    scriptAt = 0;
}

struct Choice {
    IdlePosture posture;
    int roll;
    const char* name;
    IdlePosture after;
};

TEST(IdleDirector, EachRollChoosesItsIdleAndOnlyTransitionsChangeThePosture) {
    using enum IdlePosture;
    const Choice choices[] = {
        {ArmsDown, 0, "a2o-idle1", ArmsDown},
        {ArmsDown, 27, "a2o-idle8", ArmsDown},
        {ArmsDown, 8, "a2o-idle-armsdown-fidget", ArmsDown},
        {ArmsDown, 9, "a2o-idle-armsdown-lookoff", ArmsDown},
        {ArmsDown, 30, "a2o-idle-transition-armsdown-handships", HandsOnHips},
        {ArmsDown, 11, "a2o-idle-armsdown-breathe", ArmsDown},
        {ArmsDown, 19, "a2o-idle-armsdown-breathe", ArmsDown},
        {HandsOnHips, 0, "a2o-idle-handships-breathe", HandsOnHips},
        {HandsOnHips, 1, "a2o-idle-handships-shiftside", HandsOnHips},
        {HandsOnHips, 2, "a2o-idle-handships-lookoff", HandsOnHips},
        {HandsOnHips, 11, "a2o-idle-transition-handships-armscrossed", ArmsCrossed},
        {HandsOnHips, 7, "a2o-idle-handships-breathe", HandsOnHips},
        {ArmsCrossed, 4, "a2o-idle-armscrossed-breathe", ArmsCrossed},
        {ArmsCrossed, 1, "a2o-idle-armscrossed-scratchchin", ArmsCrossed},
        {ArmsCrossed, 2, "a2o-idle-armscrossed-lookoff", ArmsCrossed},
        {ArmsCrossed, 3, "a2o-idle-transition-armscrossed-armsdown", ArmsDown},
    };
    for (const Choice& c : choices) {
        IdleDirector director;
        director.setPosture(c.posture);
        play({c.roll});
        EXPECT_EQ(director.nextAnimation(scripted), c.name) << "roll " << c.roll;
        EXPECT_EQ(director.posture(), c.after) << c.name;
    }
}

TEST(IdleDirector, WithTheRuntimeGeneratorTransitionsComeOneInTwentyThenOneInEight) {
    platform::seedRandom(1);
    int moves[3] = {0, 0, 0}, runs[3] = {0, 0, 0};
    IdleDirector director;
    for (int i = 0; i < 40000; ++i) {
        const auto before = static_cast<int>(director.posture());
        ++runs[before];
        director.nextAnimation(platform::nextRandom);
        moves[before] += static_cast<int>(director.posture()) != before;
    }
    EXPECT_NEAR(static_cast<double>(moves[0]) / runs[0], 1.0 / 20, 0.01);
    EXPECT_NEAR(static_cast<double>(moves[1]) / runs[1], 1.0 / 8, 0.02);
    EXPECT_NEAR(static_cast<double>(moves[2]) / runs[2], 1.0 / 8, 0.02);
}

TEST(VoiceLine, OneRunInTenSpeaks) {
    platform::seedRandom(12345);
    int spoken = 0;
    for (int i = 0; i < 20000; ++i) spoken += !IdleDirector::voiceLine(false, platform::nextRandom).empty();
    EXPECT_NEAR(spoken, 2000, 150);
}

}  // namespace
}  // namespace tryster::test
