// The look's own rules, without a preview: each operation tells its
// observers once, the hands follow the body, and every choice lands in the
// character the model is made over, the one the writers read.

#include "preview/LookModel.h"

#include <gtest/gtest.h>

namespace tryster::test {
namespace {

using preview::LookModel;

class CountingObserver final : public preview::LookObserver {
public:
    void lookChanged(const LookModel&) override { ++calls; }
    int calls = 0;
};

TEST(LookModel, EachChoiceIsToldOnceAndTheHandsFollowTheBody) {
    Character character;
    LookModel look(character);
    CountingObserver observer;
    look.addObserver(&observer);
    look.chooseBodyTexture("B003MAFitdrk_x");
    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(character.appearance.leftHandTexture, "HUAOdrk");
    look.chooseBodyMesh("b001ucchd_01");
    EXPECT_EQ(look.skeleton(), "child");
    EXPECT_EQ(look.names().rightHandMesh, "huro");
    look.chooseBodyTexture("");
    EXPECT_EQ(observer.calls, 2) << "an empty choice (nothing selected) changes nothing";
    const LookModel::Kept before = look.keep();
    look.chooseHeadMesh("c012ma_beard");
    EXPECT_EQ(look.names().headMesh, "c012ma_beard");
    look.restore(before);
    EXPECT_EQ(look.names().headMesh, before.names.headMesh);
    EXPECT_EQ(observer.calls, 4) << "a look put back is told too";
    look.removeObserver(&observer);
    look.chooseGender(kFemale);
    EXPECT_EQ(observer.calls, 4);
}

TEST(LookModel, EveryChoiceIsTheCharactersAtOnceAndAShownCharacterTakesOnlyItsLook) {
    Character character;
    character.record.setName("Ann");
    LookModel look(character);
    look.chooseGender(kFemale);
    look.chooseBodyType(kSkinny);
    look.chooseSkinTone(kDark);
    EXPECT_TRUE(character.record.gender() == kFemale && character.record.bodyType() == kSkinny &&
                character.record.skinTone() == kDark);
    EXPECT_EQ(look.filter().gender, 'f');
    EXPECT_FALSE(look.filter().isMale) << "the letter and the child rule agree";

    const LookModel::Kept kept = look.keep();
    Character read;
    read.record.setGender(kMale);
    read.record.setName("Somebody else");
    read.appearance.isAdult = false;
    read.appearance.bodyMesh = "b001ucchd_01";
    look.showCharacter(read);
    EXPECT_TRUE(character.isMale() && !character.appearance.isAdult && character.appearance.bodyMesh == "b001ucchd_01");
    EXPECT_EQ(character.record.name(), "Ann") << "a shown character lends its look, not its name";
    look.restore(kept);
    EXPECT_TRUE(character.record.gender() == kFemale && character.appearance.isAdult);

    // A gender that is neither: no button is pressed, so Next waits; the
    // lists offer a man's outfits meanwhile.
    character.record.setGender(7);
    EXPECT_TRUE(look.filter().gender == 'm' && look.filter().isMale);
}

}  // namespace
}  // namespace tryster::test
