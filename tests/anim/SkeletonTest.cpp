#include "AnimFixtures.h"

#include <gtest/gtest.h>

namespace tryster::anim {
namespace {

std::vector<std::string> childrenOf(const Skeleton& s, BoneIndex parent) {
    std::vector<std::string> names;
    BoneIndex c = parent == kNoBone ? s.root() : s.bones()[static_cast<std::size_t>(parent)].firstChild;
    for (; c != kNoBone; c = s.bones()[static_cast<std::size_t>(c)].nextSibling)
        names.push_back(s.bones()[static_cast<std::size_t>(c)].name);
    return names;
}

TEST(SkeletonLinks, ChildrenComeInReverseReadingOrderAndOrphansGoFirst) {
    auto s =
        test::makeSkeleton("s", {{"root", ""}, {"a", "root"}, {"b", "root"}, {"lost", "nobody"}, {"c", "a"}});
    EXPECT_EQ(childrenOf(*s, kNoBone), (std::vector<std::string>{"lost", "root"}));
    EXPECT_EQ(childrenOf(*s, 0), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(childrenOf(*s, 1), (std::vector<std::string>{"c"}));
    for (std::size_t i = 0; i < s->size(); ++i) EXPECT_LT(s->bones()[i].parent, static_cast<BoneIndex>(i));
}

TEST(SkeletonLinks, AChildReadBeforeItsParentStaysTopLevel) {
    auto s = test::makeSkeleton("s", {{"root", ""}, {"hand", "arm"}, {"arm", "root"}});
    EXPECT_EQ(s->bones()[1].parent, kNoBone);
    EXPECT_EQ(s->root(), 1);
    EXPECT_EQ(childrenOf(*s, 2), std::vector<std::string>{});
}

TEST(SkeletonLinks, EmptyParentNamesNeverMatch) {
    auto s = Skeleton::create("s");
    Bone nameless;
    s->addBone(nameless);
    Bone b;
    b.name = "b";
    s->addBone(b);  // its empty parent name does not find the nameless bone
    EXPECT_EQ(s->bones()[1].parent, kNoBone);
}

TEST(SkeletonSearch, DepthFirstFindsTheFirstOfTwoNames) {
    // root has children (reversed) y, x; x has a child "dup"; y has one too.
    auto s =
        test::makeSkeleton("s", {{"root", ""}, {"x", "root"}, {"y", "root"}, {"dup", "x"}, {"dup", "y"}});
    // Depth first from the root: root, y, dup (under y), x, dup (under x).
    EXPECT_EQ(s->findBone("dup"), 4);
    EXPECT_EQ(s->findBone("x"), 1);
    EXPECT_EQ(s->findBone("none"), kNoBone);
    EXPECT_EQ(Skeleton::create("empty")->findBone("x"), kNoBone);
}

TEST(SkeletonCopy, KeepsFieldsLinksAndSharedProperties) {
    auto s = test::makeSkeleton("s", {{"root", "", {1, 2, 3}}, {"kid", "root", {0, 1, 0}, {0, 0, 1, 0}}});
    Bone extra;
    extra.name = "extra";
    extra.parentName = "kid";
    extra.properties = PropertyList::create();
    extra.properties->set("k", "v");
    extra.canBlend = 0;
    extra.wigglePower = 2;
    s->addBone(extra);
    s->searchPath = "GameData\\cmx";
    auto c = s->copy();
    EXPECT_EQ(c->name(), "s");
    EXPECT_EQ(c->searchPath.view(), s->searchPath.view());
    ASSERT_EQ(c->size(), 3u);
    EXPECT_EQ(c->bones()[2].parent, 1);
    EXPECT_EQ(c->bones()[1].rotation, (Quaternion{0, 0, 1, 0}));
    EXPECT_EQ(c->bones()[2].properties.get(), s->bones()[2].properties.get());
    EXPECT_EQ(c->bones()[2].canBlend, 0);
    EXPECT_EQ(c->bones()[2].wigglePower, 2);
}

}  // namespace
}  // namespace tryster::anim
