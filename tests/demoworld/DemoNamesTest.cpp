// The demo folder's names against the skin catalog's own rules: every look
// the wizard offers (gender, build, tone, adult or child) must find heads
// and bodies with textures, and the hands derived from each body must
// exist.

#include "DemoFolder.h"

#include "anim/CharacterLibrary.h"
#include "character/Appearance.h"
#include "character/CatalogRules.h"
#include "character/HandDerivation.h"
#include "platform/FileFinder.h"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

namespace tryster {
namespace {

using platform::containsNoCase;
using platform::toLower;

struct Look {
    char gender;           // 'm' or 'f'
    std::string body;      // "fit", "fat", "skn"
    std::string tone;      // "lgt", "med", "drk"
    bool adult;
    bool male() const { return gender == 'm'; }
    std::string ga() const { return std::string(1, gender) + "a"; }
    CatalogFilter filter() const { return {gender, body, tone, adult, male()}; }
};

struct Hands {
    std::string left, right, texture;
};

Hands handsFor(std::string_view bodyMesh, std::string_view bodyTexture) {
    Appearance look;
    look.bodyMesh = bodyMesh;
    look.bodyTexture = bodyTexture;
    deriveHands(look);
    return {look.leftHandMesh, look.rightHandMesh, look.leftHandTexture};
}

class DemoNames : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::InDemoFolder in;
        anim::CharacterLibrary library(nullptr);
        library.loadCharacterFiles(anim::kCharacterSearchPath);
        library.readIndexFiles(anim::kAnimationSearchPath);
        outfits = new std::vector<std::string>;
        for (const auto& e : library.outfits()) outfits->push_back(e.name);
        animations = new std::set<std::string>;
        for (const auto& e : library.animations()) animations->insert(e.name);
        skeletons = new std::set<std::string>;
        for (const auto& e : library.skeletons()) skeletons->insert(e.name);
        // Images as the catalog lists them: the index path's folders first.
        textures = new std::vector<std::string>;
        for (std::string_view list : {anim::kAnimationSearchPath, anim::kCharacterSearchPath})
            for (const auto& f : platform::FileFinder::instance().enumerateType("BMP", list))
                textures->push_back(platform::baseName(f.name));
    }
    static void TearDownTestSuite() {
        delete outfits;
        delete animations;
        delete skeletons;
        delete textures;
    }

    static bool hasOutfit(std::string_view name) {
        return std::find(outfits->begin(), outfits->end(), toLower(name)) != outfits->end();
    }
    static bool hasTexture(std::string_view name) {
        return std::any_of(textures->begin(), textures->end(),
                           [&](const std::string& t) { return platform::equalsNoCase(t, name); });
    }

    std::vector<std::string> heads(const Look& look) const {
        std::vector<std::string> out;
        for (const auto& o : *outfits)
            if (isHeadMesh(o, look.filter())) out.push_back(o);
        return out;
    }
    std::vector<std::string> bodies(const Look& look) const {
        std::vector<std::string> out;
        for (const auto& o : *outfits)
            if (isBodyMesh(o, look.filter())) out.push_back(o);
        return out;
    }
    std::vector<std::string> headTextures(const Look& look, std::string_view head) const {
        std::vector<std::string> out;
        for (const auto& t : *textures)
            if (textureKind(t) == TextureKind::Head && isHeadTexture(t, look.filter(), head)) out.push_back(t);
        return out;
    }
    std::vector<std::string> bodyTextures(const Look& look, std::string_view body) const {
        std::vector<std::string> out;
        for (const auto& t : *textures) {
            const TextureKind kind = textureKind(t);
            if ((kind == TextureKind::Body && isBodyTexture(t, look.filter(), body)) ||
                (kind == TextureKind::ExtraBody && isExtraBodyTexture(t, body)))
                out.push_back(t);
        }
        return out;
    }

    // Every look of the wizard: adults in every build, children in the
    // default one (the catalog's child textures pass its token test for
    // "fit" only).
    static std::vector<Look> looks() {
        std::vector<Look> out;
        for (char g : {'m', 'f'})
            for (const char* tone : {"lgt", "med", "drk"}) {
                for (const char* body : {"fit", "fat", "skn"}) out.push_back({g, body, tone, true});
                out.push_back({g, "fit", tone, false});
            }
        return out;
    }

    static std::string describe(const Look& l) {
        return std::string(1, l.gender) + " " + l.body + " " + l.tone + (l.adult ? " adult" : " child");
    }

    static inline std::vector<std::string>* outfits = nullptr;
    static inline std::set<std::string>* animations = nullptr;
    static inline std::set<std::string>* skeletons = nullptr;
    static inline std::vector<std::string>* textures = nullptr;
};

TEST_F(DemoNames, EveryLookFindsHeadsAndBodiesWithTextures) {
    for (const Look& look : looks()) {
        SCOPED_TRACE(describe(look));
        const auto headList = heads(look), bodyList = bodies(look);
        EXPECT_FALSE(headList.empty());
        EXPECT_FALSE(bodyList.empty());
        for (const auto& head : headList) EXPECT_FALSE(headTextures(look, head).empty()) << head;
        for (const auto& body : bodyList) {
            const auto textureList = bodyTextures(look, body);
            EXPECT_FALSE(textureList.empty()) << body;
            for (const auto& texture : textureList) {
                const Hands h = handsFor(body, texture);
                EXPECT_TRUE(hasOutfit(h.left) && hasOutfit(h.right)) << body << ": " << h.left << ", " << h.right;
                EXPECT_TRUE(hasTexture(h.texture)) << texture << ": " << h.texture;
            }
        }
    }
}

TEST_F(DemoNames, OnlyTheLooksBuildAndGenderPassTheBodyRules) {
    for (const Look& look : looks()) {
        SCOPED_TRACE(describe(look));
        for (const auto& body : bodies(look)) {
            // Children are offered their gender's child bodies and also its
            // adult bodies of the build (the rule does not look at the age).
            const std::string code = toLower(body).substr(4, 5);
            if (look.adult || code != std::string(1, look.gender) + "cchd") {
                EXPECT_EQ(code, look.ga() + look.body);
            }
            for (const auto& texture : bodyTextures(look, body)) EXPECT_TRUE(containsNoCase(texture, look.tone)) << texture;
        }
    }
}

TEST_F(DemoNames, TheDefaultSetsAreInTheFolder) {
    for (const DefaultSet* set : {&kAdultDefaults, &kChildDefaults}) {
        SCOPED_TRACE(std::string(set->skeleton));
        EXPECT_TRUE(skeletons->count(std::string(set->skeleton)));
        for (std::string_view outfit : {set->bodyMesh, set->headMesh, set->leftHandMesh, set->rightHandMesh})
            EXPECT_TRUE(hasOutfit(outfit)) << outfit;
        for (std::string_view texture : {set->bodyTexture, set->headTexture, set->leftHandTexture, set->rightHandTexture})
            EXPECT_TRUE(hasTexture(texture)) << texture;
        EXPECT_TRUE(animations->count(std::string(set->animation)));
    }
    // Both default looks show their own textures in the lists.
    const Look man{'m', "fit", "med", true}, boy{'m', "fit", "med", false};
    auto listed = [](const std::vector<std::string>& list, std::string_view name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    EXPECT_TRUE(listed(bodyTextures(man, kAdultDefaults.bodyMesh), kAdultDefaults.bodyTexture));
    EXPECT_TRUE(listed(headTextures(man, kAdultDefaults.headMesh), kAdultDefaults.headTexture));
    EXPECT_TRUE(listed(bodyTextures(boy, kChildDefaults.bodyMesh), kChildDefaults.bodyTexture));
    EXPECT_TRUE(listed(headTextures(boy, kChildDefaults.headMesh), kChildDefaults.headTexture));
}

TEST_F(DemoNames, EveryBodyAndHeadTextureIsOfferedForSomeLook) {
    std::set<std::string> offered;
    for (const Look& look : looks()) {
        for (const auto& head : heads(look))
            for (const auto& t : headTextures(look, head)) offered.insert(t);
        std::vector<std::string> bodyList = bodies(look);
        // The child default body is no list's entry, but it is the current
        // body when a child is loaded, and its textures are offered then.
        if (!look.adult) bodyList.push_back(std::string(kChildDefaults.bodyMesh));
        for (const auto& body : bodyList)
            for (const auto& t : bodyTextures(look, body)) offered.insert(t);
    }
    for (const auto& t : *textures) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(t[0])));
        if (c == 'b' || c == 'c') {
            EXPECT_TRUE(offered.count(t)) << t;
        }
    }
}

TEST_F(DemoNames, TheHandsFollowTheBody) {
    EXPECT_EQ(handsFor("b003mafit_01", "B003MAFitmed_bmoc").left, "hmlo");
    EXPECT_EQ(handsFor("b006fafit_01", "B006FAFitdrk_dots").right, "hfro");
    EXPECT_EQ(handsFor("b101mcchd_01", "B101MAChdlgt_boy").left, "hulo");
    EXPECT_EQ(handsFor("b003mafit_01", "B003MAFitmed_bmoc").texture, "HUAOmed");
    for (const char* hand : {"hmlo", "hmro", "hflo", "hfro", "hulo", "huro", "hulc", "hurc"}) EXPECT_TRUE(hasOutfit(hand));
    for (const char* texture : {"HUAOlgt", "HUAOmed", "HUAOdrk", "HUAClgt"}) EXPECT_TRUE(hasTexture(texture));
}

}  // namespace
}  // namespace tryster
