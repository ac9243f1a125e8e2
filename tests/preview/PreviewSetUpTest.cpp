#include "PreviewHarness.h"

#include "platform/FileFinder.h"

#include <algorithm>

namespace tryster::test {
namespace {

using preview::Preview;

TEST_F(PreviewTest, SetUpDressesAndGreetsTheDefaultCharacter) {
    Preview& p = start();
    ASSERT_TRUE(p.initialised());
    EXPECT_EQ(render::Device3D::current(), p.viewport() ? &p.viewport()->device() : nullptr);
    ASSERT_TRUE(p.character() && p.character()->skeleton());
    EXPECT_EQ(p.character()->skeleton()->wornOutfits().size(), 4u);
    ASSERT_TRUE(p.playback());
    EXPECT_EQ(p.playback()->animation().name, "a2o-heyyou1");
    EXPECT_EQ(presenter.progress.back(), "Ready!");
    EXPECT_EQ(sound.events.back(), (platform::RecordingSoundPlayer::Event{
                                       platform::RecordingSoundPlayer::Event::Resource, "Vox_heyshM2",
                                       platform::PlayMode::Async}));
    run(200);
    shoot(picture(), "setup-default");
}

}  // namespace
}  // namespace tryster::test
