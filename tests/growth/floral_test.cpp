#include "growth/floral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "allocation_limit.h"
#include "growth/grown_triangle.h"

namespace {

std::vector<PatternTriangle> Triangles(const QFTrList& list) {
    std::vector<PatternTriangle> out;
    for (const QFTrNode* node = list.first->next; node != nullptr; node = node->next)
        out.push_back(*node->payload);
    return out;
}

// The triangles a leaf appends under the current rand() sequence, making the
// same draws: n + 1 of its own, then a sub-leaf when its draw allows.
int ExpectedLeafTriangles(int segments, int depth) {
    if (segments <= 0) return 0;
    const int n = std::max(segments, 7);
    int total = n + 1;
    if (std::rand() % 100 > 35 && depth < 2) total += ExpectedLeafTriangles(n * 3 / 4, depth + 1);
    return total;
}

// A seed whose first draw allows (or forbids) a branch.
unsigned SeedWhoseFirstDrawBranches(bool branches) {
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        if ((std::rand() % 100 > 35) == branches) return seed;
    }
}

// How many draws were made since srand(seed): the position of the next draw
// in the sequence from that seed (-1 when not within the first 1000).
int DrawsMadeSince(unsigned seed) {
    const int next = std::rand();
    std::srand(seed);
    for (int made = 0; made < 1000; ++made)
        if (std::rand() == next) return made;
    return -1;
}

class FloralGrowth : public ::testing::Test {
protected:
    void SetUp() override { TriangleCount = 0; }
    QFTrList list;
};

TEST(CornerRule, NormalsFromEdgesAndFace) {
    PatternTriangle t{};
    t.corners[1].x = 1;
    t.corners[2].y = 1;
    ApplyCornerRule(t);
    const float h = std::sqrt(0.5f);
    EXPECT_EQ(t.corners[0].nx, 0.0f);
    EXPECT_EQ(t.corners[0].ny, -1.0f);
    EXPECT_FLOAT_EQ(t.corners[1].nx, h);
    EXPECT_FLOAT_EQ(t.corners[1].ny, h);
    EXPECT_EQ(t.corners[2].nx, -1.0f);
    EXPECT_EQ(t.corners[2].ny, 0.0f);
    for (const TriangleCorner& c : t.corners) {
        EXPECT_EQ(c.nz, 1.0f);
        EXPECT_EQ(c.hasNormal, 1);
    }

    PatternTriangle point{};  // all corners at one place: zero normals, no NaN
    ApplyCornerRule(point);
    for (const TriangleCorner& c : point.corners) {
        EXPECT_EQ(c.nx, 0.0f);
        EXPECT_EQ(c.ny, 0.0f);
        EXPECT_EQ(c.nz, 0.0f);
    }
}

TEST(VectorAngle, SixBearings) {
    EXPECT_FLOAT_EQ(VectorAngleDegrees(0, -1, 0, 0), 0);
    EXPECT_FLOAT_EQ(VectorAngleDegrees(1, -1, 0, 0), 45);
    EXPECT_FLOAT_EQ(VectorAngleDegrees(1, 0, 0, 0), 90);
    EXPECT_FLOAT_EQ(VectorAngleDegrees(0, 1, 0, 0), 180);
    EXPECT_FLOAT_EQ(VectorAngleDegrees(-1, 0, 0, 0), 270);
    EXPECT_FLOAT_EQ(VectorAngleDegrees(-1, -1, 0, 0), 315);
    EXPECT_FLOAT_EQ(VectorAngleDegrees(4, 3, 3, 4), 45);  // relative to the second point
}

TEST_F(FloralGrowth, CurlIsEightTrianglesWithoutDraws) {
    for (float turn : {1.0f, -1.0f}) {
        QFTrList curl;
        TriangleCount = 0;
        std::srand(7);
        GrowFloralCurl(curl, 100, 50, 20, 0.3f, turn, 60);
        EXPECT_EQ(DrawsMadeSince(7), 0);
        const std::vector<PatternTriangle> t = Triangles(curl);
        ASSERT_EQ(t.size(), 8u);
        EXPECT_EQ(TriangleCount, 8);
        for (const PatternTriangle& tri : t) {
            EXPECT_EQ(tri.corners[0].x, 100.0f);
            EXPECT_EQ(tri.corners[0].y, 50.0f);
            EXPECT_EQ(tri.corners[0].z, 20.0f);
            EXPECT_EQ(tri.corners[1].z, 10.0f);
            EXPECT_EQ(tri.corners[2].z, 30.0f);
            EXPECT_EQ(tri.level, 0u);
        }
        // The last triangle has half the radius: (60 / 3 + 7 x 3) / 2, then + 3.
        const PatternTriangle& last = t[7];
        const float r1 = std::hypot(last.corners[1].x - 100, last.corners[1].y - 50);
        const float r2 = std::hypot(last.corners[2].x - 100, last.corners[2].y - 50);
        EXPECT_NEAR(turn > 0 ? r1 : r2, 20.5f, 1e-3f);
        EXPECT_NEAR(turn > 0 ? r2 : r1, 23.5f, 1e-3f);
    }
}

TEST_F(FloralGrowth, LeafBranchesWhenItsDrawAllows) {
    for (bool branches : {true, false}) {
        const unsigned seed = SeedWhoseFirstDrawBranches(branches);
        std::srand(seed);
        const int expected = ExpectedLeafTriangles(3, 0);
        const int next = std::rand();
        if (branches) {
            EXPECT_GT(expected, 8);
        } else {
            EXPECT_EQ(expected, 8);
        }

        QFTrList leaf;
        TriangleCount = 0;
        std::srand(seed);
        float endX = -1, endY = -1;
        GrowFloralLeaf(&endX, &endY, leaf, 10, 20, 30, 0.5f, 1.2f, 80, 3, 0.2f, 0);
        EXPECT_EQ(TriangleCount, expected);
        EXPECT_EQ(static_cast<int>(Triangles(leaf).size()), expected);
        const int drawn = std::rand();
        EXPECT_EQ(drawn, next) << "the leaf made other draws than expected";
        EXPECT_NE(endX, -1.0f);

        // Its first triangle starts at the origin, heights by corner slot.
        const PatternTriangle first = Triangles(leaf)[0];
        EXPECT_NEAR(first.corners[0].x, 10, 1e-4);
        EXPECT_NEAR(first.corners[0].y, 20, 1e-4);
        EXPECT_EQ(first.corners[0].z, 30.0f);
        EXPECT_FLOAT_EQ(first.corners[1].z, 110 / 1.5f);
        EXPECT_FLOAT_EQ(first.corners[2].z, 165.0f);
    }
}

TEST_F(FloralGrowth, LeafAtDepthTwoDrawsButNeverBranches) {
    const unsigned seed = SeedWhoseFirstDrawBranches(true);
    std::srand(seed);
    float endX, endY;
    GrowFloralLeaf(&endX, &endY, list, 0, 0, 0, 0, -0.8f, 50, 3, 0.3f, 2);
    EXPECT_EQ(TriangleCount, 8);
    EXPECT_EQ(DrawsMadeSince(seed), 1);
}

TEST_F(FloralGrowth, LeafWithoutSegmentsDoesNothing) {
    std::srand(3);
    float endX = -7, endY = -7;
    GrowFloralLeaf(&endX, &endY, list, 0, 0, 0, 0, 1, 50, 0, 0.3f, 0);
    EXPECT_EQ(TriangleCount, 0);
    EXPECT_EQ(endX, -7.0f);
    EXPECT_EQ(DrawsMadeSince(3), 0);
}

TEST_F(FloralGrowth, StemOfOneLeafWithAndWithoutCurl) {
    // Hint -1920, turn 1, length 100: trunc(7 x sqrt(100 / 1920 + 1)) = 7 segments.
    for (uint8_t curl : {uint8_t{1}, uint8_t{0}}) {
        const unsigned seed = 11;
        std::srand(seed);
        int expected = curl ? 8 : ExpectedLeafTriangles(7 / 2, 0);
        expected += ExpectedLeafTriangles(7, 0);
        std::rand();  // the stem's own draw after its leaf
        const int next = std::rand();

        QFTrList stem;
        TriangleCount = 0;
        std::srand(seed);
        GrowFloralStem(1, stem, 40, -30, 25, 0.7f, 1, 100, 0.25f, curl, -1920);
        EXPECT_EQ(TriangleCount, expected) << "curl " << int(curl);
        const int drawn = std::rand();
        EXPECT_EQ(drawn, next) << "curl " << int(curl);
        const PatternTriangle first = Triangles(stem)[0];
        EXPECT_NEAR(first.corners[0].x, 40, 1e-4);
        EXPECT_NEAR(first.corners[0].y, -30, 1e-4);
    }
}

TEST_F(FloralGrowth, SameSeedSameTriangles) {
    auto grow = [](QFTrList& out, unsigned seed) {
        TriangleCount = 0;
        std::srand(seed);
        GrowFloralStem(6, out, 5, 5, 30, -0.4f, -0.9f, 140, 0.3f, 0, -1280);
        GrowFloralFern(3, out, -5, 8, 40, 1.1f, 0.8f, 160, 0.3f, 12, -1280, 0.5f, -0.7f, 0);
        return Triangles(out);
    };
    QFTrList a, b, c;
    const std::vector<PatternTriangle> ta = grow(a, 99);
    const std::vector<PatternTriangle> tb = grow(b, 99);
    const std::vector<PatternTriangle> tc = grow(c, 100);
    ASSERT_EQ(ta.size(), tb.size());
    EXPECT_EQ(std::memcmp(ta.data(), tb.data(), ta.size() * sizeof(PatternTriangle)), 0);
    EXPECT_TRUE(ta.size() != tc.size() ||
                std::memcmp(ta.data(), tc.data(), ta.size() * sizeof(PatternTriangle)) != 0);
}

TEST_F(FloralGrowth, FernWithShortFirstLeafGrowsNothing) {
    // First leaf length 0.25 x 8 x (1 + 0.4) / 1 = 2.8.
    std::srand(5);
    GrowFloralFern(2, list, 0, 0, 20, 0, 1, 8, 0.3f, 1, -1920, 0.5f, 1, 0);
    EXPECT_EQ(TriangleCount, 0);
    EXPECT_EQ(list.first->next, nullptr);
    EXPECT_EQ(DrawsMadeSince(5), 0);
}

// First-chord direction of the first leaf of every pair.
std::vector<float> FirstLeafBearings(const std::vector<PatternTriangle>& t) {
    std::vector<float> bearings;
    for (size_t i = 0; i < t.size(); i += 16)
        bearings.push_back(std::atan2(t[i].corners[1].y - t[i].corners[0].y,
                                      t[i].corners[1].x - t[i].corners[0].x));
    return bearings;
}

TEST_F(FloralGrowth, FernPairsKeepOrTurnTheirOrientation) {
    // Count 2, length 100: three pairs of leaves (lengths 30, 17.5, 5), each
    // leaf 8 triangles and one draw; depth 3 never branches.
    for (uint8_t mode : {uint8_t{2}, uint8_t{3}}) {
        QFTrList fern;
        TriangleCount = 0;
        std::srand(21);
        GrowFloralFern(mode, fern, 0, 0, 20, 0.4f, 1.5f, 100, 0.3f, 2, -1920, 0.5f, 1, 0);
        EXPECT_EQ(DrawsMadeSince(21), 6);
        const std::vector<PatternTriangle> t = Triangles(fern);
        ASSERT_EQ(t.size(), 48u);
        const std::vector<float> bearings = FirstLeafBearings(t);
        ASSERT_EQ(bearings.size(), 3u);
        if (mode == 2) {
            EXPECT_NEAR(bearings[1], bearings[0], 1e-4);
            EXPECT_NEAR(bearings[2], bearings[0], 1e-4);
        } else {
            EXPECT_GT(std::fabs(bearings[1] - bearings[0]), 0.1);
        }
    }
}

TEST_F(FloralGrowth, BudgetStopsGrowthKeepingWhatExists) {
    TriangleCount = kTriangleBudget - 5;
    GrowFloralStem(4, list, 0, 0, 20, 0, 1, 100, 0.3f, 1, -1920);
    EXPECT_EQ(TriangleCount, kTriangleBudget);
    EXPECT_EQ(Triangles(list).size(), 5u);
    GrowFloralFern(2, list, 0, 0, 20, 0, 1, 100, 0.3f, 4, -1920, 0.5f, 1, 0);
    GrowFloralCurl(list, 0, 0, 20, 0, 1, 30);
    EXPECT_EQ(TriangleCount, kTriangleBudget);
}

TEST_F(FloralGrowth, RunawayStemEndsAtTheBudget) {
    // Segments per leaf grow by 15 % a leaf: without a bound this chain would
    // need more triangles than memory holds.
    std::srand(1);
    GrowFloralStem(400, list, 0, 0, 20, 0, 3, 5000, 0.3f, 0, 50);
    EXPECT_EQ(TriangleCount, kTriangleBudget);
    int nodes = 0;
    for (const QFTrNode* node = list.first->next; node != nullptr; node = node->next) ++nodes;
    EXPECT_EQ(nodes, kTriangleBudget);
}

TEST_F(FloralGrowth, AllocationFailureKeepsWhatExists) {
    // Even: memory runs out creating a triangle; odd: creating its node.
    for (long allowed : {40L, 41L}) {
        QFTrList stem;
        TriangleCount = 0;
        std::srand(8);
        SetAllocationLimit(allowed);
        GrowFloralStem(3, stem, 0, 0, 20, 0, 1, 100, 0.3f, 1, -1920);
        SetAllocationLimit(-1);
        EXPECT_EQ(TriangleCount, 20);
        EXPECT_EQ(Triangles(stem).size(), 20u);
    }
}

}  // namespace
