#include "softgpu/VertexProcessor.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace tryster::softgpu {
namespace {

using platform::DeviceVertex;

// Whether two floats hold the same bits (NaN included).
bool same(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Vertices go through eight, four or one at a time; every width must give
// the same results to the bit, the screen fields of clipped vertices aside
// (nobody reads them). A count that is no multiple of eight leaves tails
// for the narrower widths.
TEST(VertexProcessor, EveryWidthGivesTheSameVertices) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> spread(-2, 2), unit(-1, 1);
    std::vector<DeviceVertex> in(45);
    for (DeviceVertex& v : in)
        v = {spread(random), spread(random), spread(random) + 2.5f, unit(random),
             unit(random),   unit(random),   unit(random),          unit(random)};
    in[5].x = std::numeric_limits<float>::quiet_NaN();
    in[9] = {0, 0, -3, 0, 0, -1, 0.5f, 0.5f};  // behind the eye
    in[12].nz = 1;                             // faces away from every light
    in[13] = {0, 0, 0.5f, 0, 0, -1, 0, 0};     // on the near plane: inside
    in[14] = {0, 1, 1, 0, 0, -1, 0, 0};        // on the top plane: inside

    // A perspective projection, so that w varies and some vertices clip.
    platform::DeviceMatrix t;
    t.m[2][3] = 1;
    t.m[3][2] = -0.5f;
    t.m[3][3] = 0;
    t.m[0][0] = 1.3f;
    t.m[1][0] = 0.2f;
    const ScreenMapping mapping{172, 172, -200, 200};

    LightingSetup lighting;
    lighting.base = {0.1f, 0.2f, 0.05f, 0};
    lighting.alpha = 0.75f;
    lighting.lights = {{{0, 0, -1}, {0.8f, 0.7f, 0.6f, 1}},
                       {{0.6f, 0.8f, 0}, {0.5f, 0.5f, 0.9f, 1}},
                       {{-0.7f, 0, 0.7f}, {1.5f, 0.1f, 0.3f, 1}}};

    for (const LightingSetup* lit :
         {static_cast<const LightingSetup*>(&lighting), static_cast<const LightingSetup*>(nullptr)}) {
        const auto count = static_cast<std::uint32_t>(in.size());
        std::vector<ProcessedVertex> one(in.size()), four(in.size()), widest(in.size());
        processVertices(in.data(), count, one.data(), t, mapping, lit, VertexLanes::One);
        processVertices(in.data(), count, four.data(), t, mapping, lit, VertexLanes::Four);
        processVertices(in.data(), count, widest.data(), t, mapping, lit, VertexLanes::Widest);
        int clipped = 0;
        for (std::size_t i = 0; i < in.size(); ++i) {
            const ProcessedVertex& a = one[i];
            for (const ProcessedVertex* b : {&four[i], &widest[i]}) {
                SCOPED_TRACE(testing::Message() << "vertex " << i << (b == &four[i] ? ", four" : ", widest"));
                ASSERT_EQ(b->clip, a.clip);
                const float expected[] = {a.cx, a.cy, a.cz, a.cw, a.u, a.v, a.b, a.g, a.r, a.a};
                const float actual[] = {b->cx, b->cy, b->cz, b->cw, b->u, b->v, b->b, b->g, b->r, b->a};
                for (std::size_t f = 0; f < std::size(expected); ++f)
                    EXPECT_TRUE(same(actual[f], expected[f])) << f;
                if (a.clip != 0) continue;
                EXPECT_TRUE(same(b->sx, a.sx));
                EXPECT_TRUE(same(b->sy, a.sy));
                EXPECT_TRUE(same(b->sz, a.sz));
                EXPECT_TRUE(same(b->rhw, a.rhw));
            }
            clipped += a.clip != 0;
        }
        // The scene has both kinds, and lighting that varies.
        EXPECT_GT(clipped, 3);
        EXPECT_LT(clipped, 40);
        if (lit) {
            EXPECT_NE(one[0].r, one[1].r);
            EXPECT_EQ(one[0].a, 0.75f * 255.0f);
        } else {
            EXPECT_EQ(one[0].r, 255.0f);
        }
    }
}

}  // namespace
}  // namespace tryster::softgpu
