#include "character/CatalogRules.h"
#include "character/HandDerivation.h"

#include <gtest/gtest.h>

namespace tryster {
namespace {

CatalogFilter filter(char gender, std::string_view body = "fit", std::string_view tone = "med", bool adult = true,
                     bool male = true) {
    return {gender, body, tone, adult, male};
}

TEST(CatalogFilterInputs, IndicesBeyondTheListsMeanTheLastCode) {
    CatalogFilter f = CatalogFilter::from(true, 7, -1, false, false);
    EXPECT_EQ(f.gender, 'f');
    EXPECT_EQ(f.bodyCode, "skn");
    EXPECT_EQ(f.toneCode, "drk");
    EXPECT_EQ(CatalogFilter::from(false, 1, 0, true, true).bodyCode, "fat");
    EXPECT_EQ(CatalogFilter::from(false, 1, 0, true, true).toneCode, "lgt");
}

TEST(HeadMeshRule, NeedsAHeadShapeAndTheGender) {
    EXPECT_TRUE(isHeadMesh("c011ma_repo", filter('m')));
    EXPECT_FALSE(isHeadMesh("c011ma_repo", filter('f')));
    EXPECT_TRUE(isHeadMesh("c200fa_anne", filter('f')));
    EXPECT_FALSE(isHeadMesh("cx11ma_repo", filter('m'))) << "second letter must be a digit";
    EXPECT_FALSE(isHeadMesh("b011ma_repo", filter('m')));
    EXPECT_FALSE(isHeadMesh("c011xx_ma", filter('m'))) << "only the first token counts";
    EXPECT_FALSE(isHeadMesh("c", filter('m')));
    EXPECT_FALSE(isHeadMesh("", filter('m')));
}

TEST(BodyMeshRule, MatchesGenderAndBuildInEitherOfTheFirstTwoTokens) {
    EXPECT_TRUE(isBodyMesh("b003mafit_01", filter('m')));
    EXPECT_FALSE(isBodyMesh("b003mafit_01", filter('m', "fat")));
    EXPECT_TRUE(isBodyMesh("b003mafat_01", filter('m', "fat")));
    EXPECT_FALSE(isBodyMesh("b003fafit_01", filter('m')));
    EXPECT_TRUE(isBodyMesh("b003x_fafit", filter('f')));
    EXPECT_FALSE(isBodyMesh("b003x_y_mafit", filter('m'))) << "third token";
    EXPECT_TRUE(isBodyMesh("nsuit_mafit", filter('m'))) << "n with '_' at position 5";
    EXPECT_FALSE(isBodyMesh("nsuits_mafit", filter('m')));
    EXPECT_FALSE(isBodyMesh("bxxxmafit_", filter('m'))) << "a b-name needs a digit";
    EXPECT_FALSE(isBodyMesh("b", filter('m')));
    EXPECT_FALSE(isBodyMesh("c003mafit_01", filter('m')));
}

TEST(BodyMeshRule, ChildBodiesFollowIsMaleOnlyForChildren) {
    EXPECT_FALSE(isBodyMesh("b005mcchd_01", filter('m')));
    EXPECT_TRUE(isBodyMesh("b005mcchd_01", filter('m', "fit", "med", false, true)));
    EXPECT_FALSE(isBodyMesh("b006fcchd_01", filter('m', "fit", "med", false, true)));
    EXPECT_TRUE(isBodyMesh("b006fcchd_01", filter('m', "fit", "med", false, false)))
        << "the gender letter does not decide for children";
    EXPECT_FALSE(isBodyMesh("b005mcchd_01", filter('f', "fit", "med", false, false)));
}

TEST(TextureDispatch, ByFirstLetterWithoutRegardToCase) {
    EXPECT_EQ(textureKind("C011mamed_rotc"), TextureKind::Head);
    EXPECT_EQ(textureKind("b003"), TextureKind::Body);
    EXPECT_EQ(textureKind("N001"), TextureKind::ExtraBody);
    EXPECT_EQ(textureKind("u"), TextureKind::ExtraBody);
    EXPECT_EQ(textureKind("HUAOmed"), TextureKind::None);
    EXPECT_EQ(textureKind(""), TextureKind::None);
}

TEST(HeadTextureRule, NeedsToneAndTheHeadMeshPrefix) {
    EXPECT_TRUE(isHeadTexture("C011mamed_rotc", filter('m'), "c011ma_repo"));
    EXPECT_FALSE(isHeadTexture("C011malgt_rotc", filter('m'), "c011ma_repo"));
    EXPECT_FALSE(isHeadTexture("C012mamed_rotc", filter('m'), "c011ma_repo"));
    EXPECT_FALSE(isHeadTexture("C011famed_rotc", filter('m'), "c011ma_repo"));
    EXPECT_TRUE(isHeadTexture("C0mamed", filter('m'), "c0")) << "a short mesh name is used whole";
    // With no head mesh every texture holds the empty prefix.
    EXPECT_TRUE(isHeadTexture("C999mamed_other", filter('m'), ""));
}

TEST(BodyTextureRule, TokenTestThenTheBodyMeshPrefix) {
    const CatalogFilter fit = filter('m');
    EXPECT_TRUE(isBodyTexture("B003MAFitmed_bmoc", fit, "b003mafit_01"));
    EXPECT_FALSE(isBodyTexture("B003MAFitlgt_bmoc", fit, "b003mafit_01"));
    EXPECT_FALSE(isBodyTexture("B004MAFitmed_bmoc", fit, "b003mafit_01")) << "nine letters of the mesh";
    // Fit only asks for an "a" and the tone; the mesh prefix keeps others out.
    EXPECT_TRUE(isBodyTexture("B003MAFitmed_x", fit, "b003MAFIT"));
    EXPECT_TRUE(isBodyTexture("Bxyzamedb003mafit", fit, "b003mafit_01"));
    EXPECT_FALSE(isBodyTexture("Bxyzmed_b003mafit", fit, "b003mafit_01"));

    const CatalogFilter fat = filter('f', "fat", "drk");
    EXPECT_TRUE(isBodyTexture("B010FAFatdrk_x", fat, "b010fafat_01"));
    EXPECT_FALSE(isBodyTexture("B010FAFitdrk_x", fat, "b010fafat_01")) << "no shortcut for other builds";
    EXPECT_FALSE(isBodyTexture("b010fafat_x_fafatdrk", fat, "b010fafat_01")) << "token test reads token 1";
}

TEST(BodyTextureRule, ChildrenMatchFourLettersOrAnyChildTexture) {
    const CatalogFilter child = filter('m', "fit", "med", false, true);
    EXPECT_TRUE(isBodyTexture("B005MAChdmed_x", child, "b005mcchd_01"));
    EXPECT_FALSE(isBodyTexture("B006MAChdmed_x", child, "b005mcchd_01"));
    EXPECT_TRUE(isBodyTexture("B006UAChdmed_x_ucchd", child, "b005mcchd_01"));
    EXPECT_FALSE(isBodyTexture("B005MCChdmed_x", child, "b005mcchd_01")) << "fails the token test";
}

struct HandCase {
    const char* what;
    const char* bodyMesh;
    const char* bodyTexture;
    const char* left;
    const char* right;
    const char* texture;
};

TEST(DeriveHands, FromTheBodyMeshAndTexture) {
    const HandCase cases[] = {
        {"adult man", "b003mafit_01", "B003MAFitmed_bmoc", "hmlo", "hmro", "HUAOmed"},
        {"adult woman", "b003fafit_01", "B003FAFitdrk_x", "hflo", "hfro", "HUAOdrk"},
        {"upper-case letters", "B003MAFIT_01", "B003MAFITLGT_X", "hmlo", "hmro", "HUAOlgt"},
        {"any other gender letter", "b003xafit", "", "hflo", "hfro", "HUAOlgt"},
        {"child", "b001ucchd_01", "B001UAChdmed_kid", "hulo", "huro", "HUAOmed"},
        {"too short for an age", "b003m", "", "hulo", "huro", "HUAOlgt"},
        {"empty", "", "", "hulo", "huro", "HUAOlgt"},
        {"med wins over drk", "b003mafit_01", "B003MAFitdrk_med", "hmlo", "hmro", "HUAOmed"},
        {"nine letters carry no tone", "b003mafit_01", "b003mamed", "hmlo", "hmro", "HUAOlgt"},
        {"ten letters do", "b003mafit_01", "b003mamedx", "hmlo", "hmro", "HUAOmed"},
    };
    for (const HandCase& c : cases) {
        Appearance look;
        look.bodyMesh = c.bodyMesh;
        look.bodyTexture = c.bodyTexture;
        deriveHands(look);
        EXPECT_EQ(look.leftHandMesh, c.left) << c.what;
        EXPECT_EQ(look.rightHandMesh, c.right) << c.what;
        EXPECT_EQ(look.leftHandTexture, c.texture) << c.what;
        EXPECT_EQ(look.rightHandTexture, c.texture) << c.what;
        EXPECT_EQ(look.bodyMesh, c.bodyMesh) << "the body is left alone";
    }
}

}  // namespace
}  // namespace tryster
