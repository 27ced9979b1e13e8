#include "growth/geometric_pattern.h"

#include <gtest/gtest.h>

#include <vector>

#include "growth/grown_triangle.h"

namespace {

TEST(GeometricSegmentSizes, FollowTheIntervalWithoutLimitAndKeepAtLeastAHundredth) {
  SeedWalkValues values;
  values.width = 0.3f;
  values.length = 48;
  // With "Depend on interval" 0 the interval has no effect.
  for (float v : {0.0f, 0.8f, 25.0f}) {
    const SegmentSizes sizes = GeometricSegmentSizes(values, v);
    EXPECT_FLOAT_EQ(sizes.width, 0.3f);
    EXPECT_FLOAT_EQ(sizes.length, 48);
    EXPECT_FLOAT_EQ(sizes.keptWidth, 0.3f);
    EXPECT_FLOAT_EQ(sizes.keptLength, 48);
  }
  // P = 10 on v = 100: Wp x (250 - 1.5) and Lp x (1000 - 9), far beyond any
  // bound a limited factor would set.
  values.dependOnInterval = 10;
  SegmentSizes sizes = GeometricSegmentSizes(values, 100);
  EXPECT_FLOAT_EQ(sizes.width, 0.3f * 248.5f);
  EXPECT_FLOAT_EQ(sizes.length, 48 * 991.0f);
  // Below zero the sizes the fades start from stay as they are; the sizes
  // kept on whole segments are raised.
  sizes = GeometricSegmentSizes(values, 0);
  EXPECT_FLOAT_EQ(sizes.length, 48 * -9.0f);
  EXPECT_FLOAT_EQ(sizes.width, 0.3f * -1.5f);
  EXPECT_FLOAT_EQ(sizes.keptLength, 0.01f);
  EXPECT_FLOAT_EQ(sizes.keptWidth, 0.01f);
}

// Four seed segments on the same line, each walked over 8 pixels of a
// 400-pixel frame in two steps of 4: what a segment grows differs from the
// others only through its draws.
class GeometricWalk : public ::testing::Test {
 protected:
  GeometricWalk() {
    points = {{-4, 20, 0, 0, 0, 0, 1}, {4, 20, 0, 0, 0, 0, 1}};
    for (int i = 0; i < 4; ++i) segments.push_back({0, 1, -0.6f, -0.8f, 0, 8, 1});
    seeds.count = 4;
    seeds.points = points.data();
    seeds.segments = segments.data();
    growth.walk.width = 0.3f;
    growth.walk.length = 12;
    growth.walk.density = 20;
    growth.walk.direction = 1;
    growth.walk.completeness = 100;
    growth.kind = 2;  // never flips by line
    growth.dispersion = 0.25f;
    growth.loseDirection = 0.15f;
    growth.proportionLength = -0.05f;
    growth.proportionWidth = -0.05f;
  }
  // The corners' x and y of the triangles each segment grew: growing the
  // first k segments adds segment k - 1's triangles after the others'.
  std::vector<std::vector<float>> BySegment(int seed) {
    std::vector<std::vector<float>> out;
    std::vector<float> before;
    for (int k = 1; k <= 4; ++k) {
      growth.seed = seed;
      growth.walk.completeness = 25.0f * k;
      QFTrList list;
      TriangleCount = 0;
      GrowGeometricPattern(growth, 400, 300, seeds, list);
      std::vector<float> all;
      for (QFTrNode* node = list.first->next; node; node = node->next)
        for (const TriangleCorner& c : node->payload->corners) all.insert(all.end(), {c.x, c.y});
      EXPECT_EQ(all.size(), size_t(TriangleCount) * 6);
      EXPECT_EQ(std::vector<float>(all.begin(), all.begin() + before.size()), before);
      out.emplace_back(all.begin() + before.size(), all.end());
      before = all;
    }
    return out;
  }
  std::vector<ContourPoint> points;
  std::vector<ContourSegment> segments;
  SeedLines seeds;
  GeometricGrowth growth;
};

TEST_F(GeometricWalk, RaisingTheSeedByOneGivesEachSegmentTheNextOnesDraws) {
  const std::vector<std::vector<float>> seed0 = BySegment(0);
  const std::vector<std::vector<float>> seed1 = BySegment(1);
  EXPECT_NE(seed0[0], seed0[1]);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(seed1[i].empty());
    EXPECT_EQ(seed1[i], seed0[i + 1]);
  }
}

TEST_F(GeometricWalk, TopOfBothRangesStopsAtTheTriangleBudget) {
  growth.maxTriangles = 10000;
  growth.maxIterations = 8;
  for (int kind : {1, 2, 3}) {
    SCOPED_TRACE(kind);
    growth.kind = kind;
    QFTrList list;
    TriangleCount = 0;
    GrowGeometricPattern(growth, 400, 300, seeds, list);
    EXPECT_EQ(TriangleCount, kTriangleBudget);
    int32_t listed = 0;
    for (QFTrNode* node = list.first->next; node; node = node->next) ++listed;
    EXPECT_EQ(listed, kTriangleBudget);
  }
}

}  // namespace
