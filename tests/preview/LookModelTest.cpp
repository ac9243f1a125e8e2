// The look's own rules, without a preview: each operation tells its
// observers once, the hands follow the body, and what the exporters write
// is the one gender the lists filter by.

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
    LookModel look;
    CountingObserver observer;
    look.addObserver(&observer);
    look.chooseBodyTexture("B003MAFitdrk_x");
    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(look.names().leftHandTexture, "HUAOdrk");
    look.chooseBodyMesh("b001ucchd_01");
    EXPECT_EQ(look.skeleton(), "child");
    EXPECT_EQ(look.names().rightHandMesh, "huro");
    look.chooseBodyTexture("");
    EXPECT_EQ(observer.calls, 2) << "an empty choice (nothing selected) changes nothing";
    const LookModel::State before = look.state();
    look.chooseHeadMesh("c012ma_beard");
    EXPECT_EQ(look.names().headMesh, "c012ma_beard");
    look.restore(before);
    EXPECT_EQ(look.names().headMesh, before.names.headMesh);
    EXPECT_EQ(observer.calls, 4) << "a look put back is told too";
    look.removeObserver(&observer);
    look.chooseGender(kFemale);
    EXPECT_EQ(observer.calls, 4);
}

TEST(LookModel, TheRecordsGenderIsTakenOnTheLookPageAndWrittenBack) {
    LookModel look;
    look.enterLookPage(kFemale);
    look.chooseBodyType(kSkinny);
    look.chooseSkinTone(kDark);
    exchange::Look written = look.written();
    EXPECT_FALSE(written.isMale);
    EXPECT_EQ(written.bodyType, kSkinny);
    EXPECT_EQ(written.skinTone, kDark);
    EXPECT_EQ(look.filter().gender, 'f');
    EXPECT_FALSE(look.filter().isMale) << "the letter and the child rule agree";
    look.enterLookPage(7);  // neither: the gender stays
    EXPECT_EQ(look.gender(), kFemale);
}

}  // namespace
}  // namespace tryster::test
