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

// Children come in reverse reading order, bones without a parent first;
// a child read before its parent, or whose parent name is empty, stays
// top-level.
TEST(SkeletonLinks, FollowTheReadingOrder) {
    auto s = test::makeSkeleton("s", {{"root", ""}, {"a", "root"}, {"b", "root"}, {"lost", "nobody"}, {"c", "a"},
                                      {"early", "late"}, {"late", "root"}});
    EXPECT_EQ(childrenOf(*s, kNoBone), (std::vector<std::string>{"early", "lost", "root"}));
    EXPECT_EQ(childrenOf(*s, 0), (std::vector<std::string>{"late", "b", "a"}));
    EXPECT_EQ(childrenOf(*s, 1), (std::vector<std::string>{"c"}));
    EXPECT_EQ(childrenOf(*s, 6), std::vector<std::string>{});
    for (std::size_t i = 0; i < s->size(); ++i) EXPECT_LT(s->bones()[i].parent, static_cast<BoneIndex>(i));
    Bone nameless;
    s->addBone(nameless);
    Bone orphan;
    orphan.name = "orphan";
    s->addBone(orphan);  // its empty parent name does not find the nameless bone
    EXPECT_EQ(s->bones()[8].parent, kNoBone);
}

}  // namespace
}  // namespace tryster::anim
