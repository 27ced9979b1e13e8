#include "growth/floral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "list_triangles.h"
#include "page_probe.h"
#include "growth/grown_triangle.h"

namespace {

// The triangles a leaf appends under the current rand() sequence, making the
// same draws: n + 1 of its own, then a sub-leaf when its draw allows.
int ExpectedLeafTriangles(int segments, int depth) {
  const int n = std::max(segments, 7);
  int total = n + 1;
  if (std::rand() % 100 > 35 && depth < 2) total += ExpectedLeafTriangles(n * 3 / 4, depth + 1);
  return total;
}

unsigned SeedWhoseFirstDrawBranches(bool branches) {
  unsigned seed = 1;
  for (;; ++seed) {
    std::srand(seed);
    if ((std::rand() % 100 > 35) == branches) return seed;
  }
}

// Draws made since srand(seed): the position of the next draw in that sequence.
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
  const TriangleCorner* k = t.corners;
  EXPECT_TRUE(k[0].nx == 0 && k[0].ny == -1 && k[2].nx == -1 && k[2].ny == 0);
  EXPECT_FLOAT_EQ(k[1].nx, std::sqrt(0.5f));
  EXPECT_FLOAT_EQ(k[1].ny, std::sqrt(0.5f));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(k[i].nz == 1 && k[i].hasNormal == 1);
  PatternTriangle point{};  // zero lengths stay unnormalised: no NaN
  ApplyCornerRule(point);
  EXPECT_TRUE(point.corners[0].nx == 0 && point.corners[0].nz == 0);
}

TEST(VectorAngle, SixBearings) {
  const float v[6][3] = {{0, -1, 0},  {1, -1, 45},  {1, 0, 90},
                         {0, 1, 180}, {-1, 0, 270}, {-1, -1, 315}};
  for (const auto& c : v) EXPECT_FLOAT_EQ(VectorAngleDegrees(c[0], c[1], 0, 0), c[2]);
}

TEST_F(FloralGrowth, CurlIsEightTrianglesWithoutDraws) {
  for (float turn : {1.0f, -1.0f}) {
    QFTrList curl;
    std::srand(7);
    GrowFloralCurl(curl, 100, 50, 20, 0.3f, turn, 60);
    EXPECT_EQ(DrawsMadeSince(7), 0);
    const std::vector<PatternTriangle> t = Triangles(curl);
    ASSERT_EQ(t.size(), 8u);
    for (const PatternTriangle& k : t)
      EXPECT_TRUE(k.corners[0].x == 100 && k.corners[0].z == 20 && k.corners[1].z == 10 &&
                  k.corners[2].z == 30);
    // The last triangle has half the radius, (60 / 3 + 7 x 3) / 2; P1, P2 swap when turn < 0.
    const TriangleCorner& inner = t[7].corners[turn > 0 ? 1 : 2];
    EXPECT_NEAR(std::hypot(inner.x - 100, inner.y - 50), 20.5f, 1e-3f);
  }
  EXPECT_EQ(TriangleCount, 16);
}

TEST_F(FloralGrowth, LeafBranchesWhenItsDrawAllowsAndAlwaysDraws) {
  for (bool branches : {true, false}) {
    const unsigned seed = SeedWhoseFirstDrawBranches(branches);
    std::srand(seed);
    const int expected = ExpectedLeafTriangles(3, 0);
    EXPECT_EQ(expected > 8, branches);
    const int draws = DrawsMadeSince(seed);
    QFTrList leaf;
    TriangleCount = 0;
    std::srand(seed);
    float end_x = -1, end_y = -1;
    GrowFloralLeaf(&end_x, &end_y, leaf, 10, 20, 30, 0.5f, 1.2f, 80, 3, 0.2f, 0);
    EXPECT_EQ(TriangleCount, expected);
    EXPECT_EQ(static_cast<int>(Triangles(leaf).size()), expected);
    EXPECT_EQ(DrawsMadeSince(seed), draws);
    EXPECT_NE(end_x, -1.0f);
    const PatternTriangle first = Triangles(leaf)[0];  // from the origin, heights by slot
    const TriangleCorner* k = first.corners;
    EXPECT_NEAR(k[0].x, 10, 1e-4);
    EXPECT_NEAR(k[0].y, 20, 1e-4);
    EXPECT_TRUE(k[0].z == 30 && k[1].z == static_cast<float>(110 / 1.5) && k[2].z == 165);
  }
  const unsigned seed = SeedWhoseFirstDrawBranches(true);
  QFTrList deep;
  TriangleCount = 0;
  std::srand(seed);
  float end_x, end_y;
  GrowFloralLeaf(&end_x, &end_y, deep, 0, 0, 0, 0, -0.8f, 50, 3, 0.3f, 2);
  EXPECT_EQ(TriangleCount, 8);
  EXPECT_EQ(DrawsMadeSince(seed), 1);
}

TEST_F(FloralGrowth, StemOfOneLeafWithAndWithoutCurl) {
  // Hint -1920, turn 1, length 100: trunc(7 x sqrt(100 / 1920 + 1)) = 7 segments.
  for (uint8_t curl : {uint8_t{1}, uint8_t{0}}) {
    std::srand(11);
    int expected = curl ? 8 : ExpectedLeafTriangles(7 / 2, 0);
    expected += ExpectedLeafTriangles(7, 0);
    std::rand();  // the stem's own draw
    const int draws = DrawsMadeSince(11);
    QFTrList stem;
    TriangleCount = 0;
    std::srand(11);
    GrowFloralStem(1, stem, 40, -30, 25, 0.7f, 1, 100, 0.25f, curl, -1920);
    EXPECT_EQ(TriangleCount, expected);
    EXPECT_EQ(DrawsMadeSince(11), draws);
    EXPECT_NEAR(Triangles(stem)[0].corners[0].x, 40, 1e-4);
  }
}

TEST_F(FloralGrowth, FernLeafPairs) {
  std::srand(5);  // first leaf 0.25 x 8 x (1 + 0.4) / 1 = 2.8 long: nothing at all
  GrowFloralFern(2, list, 0, 0, 20, 0, 1, 8, 0.3f, 1, -1920, 0.5f, 1, 0);
  EXPECT_EQ(TriangleCount, 0);
  EXPECT_EQ(DrawsMadeSince(5), 0);
  // Count 2, length 100: three pairs (leaves 30, 17.5 and 5 long) of 8 triangles
  // and one draw each, never branching.
  std::srand(21);
  GrowFloralFern(3, list, 0, 0, 20, 0.4f, 1.5f, 100, 0.3f, 2, -1920, 0.5f, 1, 0);
  EXPECT_EQ(TriangleCount, 48);
  EXPECT_EQ(DrawsMadeSince(21), 6);
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
  const std::vector<PatternTriangle> ta = grow(a, 99), tb = grow(b, 99), tc = grow(c, 100);
  ASSERT_EQ(ta.size(), tb.size());
  EXPECT_EQ(std::memcmp(ta.data(), tb.data(), ta.size() * sizeof(PatternTriangle)), 0);
  EXPECT_TRUE(ta.size() != tc.size() ||
              std::memcmp(ta.data(), tc.data(), ta.size() * sizeof(PatternTriangle)) != 0);
}

TEST_F(FloralGrowth, BudgetEndsRunawayGrowth) {
  // Segments per leaf grow 15 % a leaf: unbounded, this chain outgrows memory.
  std::srand(1);
  GrowFloralStem(400, list, 0, 0, 20, 0, 3, 5000, 0.3f, 0, 50);
  EXPECT_EQ(TriangleCount, kTriangleBudget);
  GrowFloralFern(2, list, 0, 0, 20, 0, 1, 100, 0.3f, 4, -1920, 0.5f, 1, 0);
  GrowFloralCurl(list, 0, 0, 20, 0, 1, 30);
  EXPECT_EQ(TriangleCount, kTriangleBudget);
  EXPECT_EQ(Triangles(list).size(), static_cast<size_t>(kTriangleBudget));
}

TEST_F(FloralGrowth, AllocationFailureBeforeTheBudgetThrowsAndKeepsTheList) {
  // Pages refused when the list needs its second (1) or third (2) block: the
  // stem stops with std::bad_alloc, and the list holds exactly the triangles
  // counted, the first ones of the stem grown with enough memory.
  auto grow = [](QFTrList& stem) {
    std::srand(5);
    GrowFloralStem(40, stem, 0, 0, 20, 0, 1, 100, 0.3f, 1, -1920);
  };
  grow(list);
  const std::vector<PatternTriangle> whole = Triangles(list);
  list.Clear();  // each stem below starts with the storage empty
  for (int refused : {1, 2}) {
    QFTrList stem;  // its sentinel takes the first block
    TriangleCount = 0;
    page_probe::Reset();
    page_probe::FailAt(refused);
    EXPECT_THROW(grow(stem), std::bad_alloc);
    page_probe::Reset();
    const std::vector<PatternTriangle> kept = Triangles(stem);
    EXPECT_EQ(kept.size(), static_cast<size_t>(TriangleCount));
    EXPECT_TRUE(kept.size() < whole.size() && StartsWith(whole, kept)) << kept.size();
  }
}

}  // namespace
