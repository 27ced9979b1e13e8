#include "growth/geometric.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "allocation_limit.h"
#include "list_triangles.h"
#include "page_probe.h"
#include "growth/grown_triangle.h"

namespace {

// The first count values of the sequence srand(seed) starts.
std::vector<int> Sequence(unsigned seed, int count) {
  std::srand(seed);
  std::vector<int> out(count);
  for (int& d : out) d = std::rand();
  return out;
}

// How many draws were made since srand(seed): where the next value stands in
// an independently restarted sequence.
int DrawsSince(unsigned seed) {
  const int next = std::rand();
  const std::vector<int> s = Sequence(seed, 100000);
  for (int made = 0; made < static_cast<int>(s.size()); ++made)
    if (s[made] == next) return made;
  return -1;
}

float Fraction(int d) { return static_cast<float>(d % 1000) / 1000; }

// A branching call with the arguments the tests vary.
struct Branches {
  int line = 0, kind = 2, level = 0;
  float x = 0, y = 0, z = 0, dx = 1, dy = 0, spread = 0.3f, size = 20;
  float size_reduction = 0, spread_reduction = 0, chaos = 0, loss_weight = 0.5f;
  int density = 1, depth_limit = 1;

  // Grows into an empty list; returns how many nodes it holds, which must be
  // TriangleCount.
  int Run(QFTrList& list, unsigned seed, long allocations = -1) const {
    TriangleCount = 0;
    std::srand(seed);
    SetAllocationLimit(allocations);
    GrowGeometricBranches(line, static_cast<uint8_t>(kind), list, level, x, y, z, dx, dy, spread,
                          size, size_reduction, spread_reduction, chaos, loss_weight, density,
                          depth_limit);
    SetAllocationLimit(-1);
    int nodes = 0;
    for (const QFTrNode* node = list.first->next; node != nullptr; node = node->next) ++nodes;
    EXPECT_EQ(nodes, TriangleCount);
    return nodes;
  }
  std::vector<PatternTriangle> Grow(unsigned seed, int* draws = nullptr) const {
    QFTrList list;
    Run(list, seed);
    if (draws) *draws = DrawsSince(seed);
    return Triangles(list);
  }
};

double AngleOf(const TriangleCorner& from, const TriangleCorner& to) {
  return std::atan2(static_cast<double>(to.y) - from.y, static_cast<double>(to.x) - from.x);
}

// a - b as a turn in [-pi, pi].
double Turn(double a, double b) { return std::remainder(a - b, 2 * 3.14159265358979323846); }

TEST(GeometricBranches, CountDrawsAndDepthBound) {
  for (int density : {0, 1, 2, 10, 37}) {
    Branches b;
    b.density = density;
    const std::vector<int> s = Sequence(50 + density, 3);  // d0, d1, d2
    int draws = 0;
    const size_t n = b.Grow(50 + density, &draws).size();
    if (density < 2) {
      EXPECT_EQ(n, 1u);
      EXPECT_EQ(draws, 3);  // d0, d1, then the triangle's own
    } else {
      EXPECT_EQ(n, static_cast<size_t>(density * (0.5 + (s[2] % 1000) / 2000.0)));
      EXPECT_EQ(draws, 3 + static_cast<int>(n));  // the children at level 1 draw nothing
    }
  }
  Branches below;  // below the root: no d0
  below.level = 1;
  below.depth_limit = 2;
  int draws = 0;
  EXPECT_EQ(below.Grow(3, &draws).size(), 1u);
  EXPECT_EQ(draws, 2);
  for (int limit : {1, 0}) {  // a call at its bound, and a limit below 1: nothing at all
    below.depth_limit = limit;
    EXPECT_TRUE(below.Grow(3, &draws).empty());
    EXPECT_EQ(draws, 0);
  }
}

TEST(GeometricBranches, FirstTriangleByHand) {
  // Density 1, no chaos: one triangle from the base angle of the direction.
  const double pi = 3.141592, q = std::atan(1.0);
  const double cases[][3] = {{0, 0, 0},        {1, 0, 0},       {-1, 0, -pi},    {0, 2, pi / 2},
                             {0, -2, -pi / 2}, {-1, 1, pi - q}, {-1, -1, q - pi}};
  for (const auto& c : cases) {
    Branches b;
    b.x = 10, b.z = 3, b.dx = static_cast<float>(c[0]), b.dy = static_cast<float>(c[1]);
    const double t = Fraction(Sequence(9, 3)[2]);
    const std::vector<PatternTriangle> tri = b.Grow(9);
    ASSERT_EQ(tri.size(), 1u);
    const TriangleCorner* k = tri[0].corners;
    const double alpha = c[2], rho1 = 20 * (0.5 + t), rho2 = rho1 + 20 * t * t;
    const double phi2 = alpha + 0.3 * (0.25 + t);
    EXPECT_TRUE(k[0].x == 10 && k[0].y == 0 && k[0].z == 3);
    EXPECT_NEAR(k[1].x, 10 + rho1 * std::cos(alpha), 1e-4);
    EXPECT_NEAR(k[1].y, rho1 * std::sin(alpha), 1e-4);
    EXPECT_NEAR(k[1].z, 3 + rho1, 1e-4);  // cos(TriangleCount - 1) with one triangle: 1
    EXPECT_NEAR(k[2].x, 10 + rho2 * std::cos(phi2), 1e-4);
    EXPECT_NEAR(k[2].y, rho2 * std::sin(phi2), 1e-4);
    EXPECT_NEAR(k[2].z, 3 + rho2 * std::cos(1.0), 1e-4);
  }
  // -3.141592, not +3.141592: the first corner lies just below the axis.
  Branches back;
  back.dx = -1;
  EXPECT_LT(back.Grow(9)[0].corners[1].y, 0);
}

TEST(GeometricBranches, ChildrenDrawInOrderWithTheirFloors) {
  // Depth 2, density 1: root, first child, second child, each one triangle.
  // Reductions of 5 would make the children's size and spread negative.
  Branches b;
  b.size = 0.01f, b.z = 7, b.depth_limit = 2, b.size_reduction = 5, b.spread_reduction = 5;
  const std::vector<int> s = Sequence(17, 7);  // d0 d1 t | d1 t | d1 t
  int draws = 0;
  const std::vector<PatternTriangle> tri = b.Grow(17, &draws);
  EXPECT_EQ(draws, 7);
  ASSERT_EQ(tri.size(), 3u);
  for (int i : {1, 2}) {
    const TriangleCorner* k = tri[i].corners;
    const double t = Fraction(s[2 + 2 * i]);
    EXPECT_EQ(tri[i].level, 1u);
    EXPECT_TRUE(k[0].x == tri[0].corners[i].x && k[0].y == tri[0].corners[i].y && k[0].z == 7);
    EXPECT_NEAR(std::hypot(k[1].x - k[0].x, k[1].y - k[0].y), 0.001 * (0.5 + t), 1e-6);
    EXPECT_NEAR(Turn(AngleOf(k[0], k[2]), AngleOf(k[0], k[1])), 0.01 * (0.25 + t), 1e-5);
  }
  // The first child leaves along the loss-weighted blend (0.3) of the mean
  // normal of its corner's edges and the incoming +x; the second along its own.
  b.size_reduction = b.spread_reduction = 0, b.loss_weight = 0.3f;
  const std::vector<PatternTriangle> t = b.Grow(17);
  const TriangleCorner* n = t[0].corners;
  const double e1 = std::atan2(0.3 * (n[0].ny + n[1].ny) / 2, 0.3 * (n[0].nx + n[1].nx) / 2 + 0.7);
  const double e2 = std::atan2(n[2].ny + n[1].ny, n[2].nx + n[1].nx);
  EXPECT_NEAR(Turn(AngleOf(t[1].corners[0], t[1].corners[1]), e1), 0, 1e-5);
  EXPECT_NEAR(Turn(AngleOf(t[2].corners[0], t[2].corners[1]), e2), 0, 1e-5);
}

TEST(GeometricBranches, SideFlipsByKind) {
  // Direction +x, one triangle of spread 0.3: a flipped fan starts at -0.6.
  const struct {
    int kind, line, level;
    bool flipped;
  } cases[] = {{2, 1, 0, false}, {2, 1, 1, false}, {1, 1, 0, false}, {1, 0, 1, true},
               {1, 1, 2, false}, {1, 0, 3, true},  {3, 1, 0, true},  {3, 1, 2, true},
               {3, 2, 1, false}, {3, -1, 0, true}};
  for (const auto& c : cases) {
    Branches b;
    b.kind = c.kind, b.line = c.line, b.level = c.level, b.depth_limit = c.level + 1;
    const std::vector<PatternTriangle> tri = b.Grow(4);
    EXPECT_NEAR(AngleOf(tri[0].corners[0], tri[0].corners[1]), c.flipped ? -0.6 : 0, 1e-5)
        << c.kind << " " << c.line << " " << c.level;
  }
}

TEST(GeometricSeed, OrderedAroundItsPointOfGreatestY) {
  // Both base orders and apexes on either side of the base.
  const float bases[][4] = {{0, 0, 10, 0}, {10, 0, 0, 0}, {-3, 4, 5, -2}, {5, -2, -3, 4}};
  for (const auto& base : bases)
    for (float dy : {1.0f, -1.0f})
      for (float factor : {1.0f, 3.0f, 0.01f}) {
        QFTrList list;
        TriangleCount = 0;
        const double t = Fraction(Sequence(31, 1)[0]);
        std::srand(31);
        GrowGeometricSeed(list, base[0], base[1], base[2], base[3], 0.6f, 0.8f * dy, 8, factor);
        EXPECT_EQ(DrawsSince(31), 1);
        const PatternTriangle seed = Triangles(list).at(0);
        const TriangleCorner* k = seed.corners;
        const double h = 8 * t + 4;
        EXPECT_FLOAT_EQ(k[0].z, t * h);
        EXPECT_FLOAT_EQ(k[1].z, t * 8);
        EXPECT_EQ(k[2].z, 0);
        // The apex lies h, times the clamped width factor, out from the base's middle.
        const double reach = h * (factor == 1 ? 1 : factor > 1 ? 1.5 : 0.1);
        double apex_miss = 1e9;
        for (int i = 0; i < 3; ++i)
          apex_miss =
              std::min(apex_miss, std::hypot(k[i].x - (base[0] + base[2]) / 2 - reach * 0.6,
                                             k[i].y - (base[1] + base[3]) / 2 - reach * 0.8 * dy));
        EXPECT_LT(apex_miss, 1e-4);
        // From the corner of greatest y the two others follow at rising angles.
        const double cross =
            (k[1].x - k[0].x) * (k[2].y - k[0].y) - (k[1].y - k[0].y) * (k[2].x - k[0].x);
        EXPECT_GT(cross, 0);
      }
}

TEST(GeometricGrowth, SmallFixedGrowthKeepsItsTriangles) {
  QFTrList list;
  TriangleCount = 0;
  std::srand(2026);
  for (int step = 0; step < 3; ++step) {
    GrowGeometricSeed(list, step * 6.0f, 40, step * 6.0f + 6, 40, 0.1f, -1, 3, 1);
    GrowGeometricBranches(1 + step, static_cast<uint8_t>(1 + step), list, 0, step * 6.0f, 40, 0,
                          0.1f, -1, 0.4f, 12, -0.05f, -0.05f, 0.7f, 0.35f, 3, 3);
  }
  uint64_t hash = 1469598103934665603ull;
  auto add = [&hash](const void* bytes, int n) {  // FNV-1a over the fields, not the padding
    for (int i = 0; i < n; ++i)
      hash = (hash ^ static_cast<const unsigned char*>(bytes)[i]) * 1099511628211ull;
  };
  for (const PatternTriangle& t : Triangles(list)) {
    for (const TriangleCorner& k : t.corners) add(&k.x, 24), add(&k.hasNormal, 1);
    add(&t.level, 4);
  }
  // The Windows C runtime's rand is another generator and grows another tree.
#ifdef _WIN32
  EXPECT_EQ(TriangleCount, 239);
  EXPECT_EQ(hash, 0x9569766b40fa148bull) << std::hex << hash;
#else
  EXPECT_EQ(TriangleCount, 203);
  EXPECT_EQ(hash, 0x4a59a26e06e8e35cull) << std::hex << hash;
#endif
}

TEST(GeometricGrowth, EndsAtTheBudgetAndThrowsWhenMemoryRunsOutFirst) {
  // The top of the ranges, every kind; then a chain 200000 levels deep whose
  // density overflows an int on the way down.
  for (int kind : {1, 2, 3}) {
    Branches b;
    b.kind = kind, b.line = 1, b.spread = 5, b.size = 30,
    b.size_reduction = b.spread_reduction = -0.05f;
    b.chaos = 10, b.density = 10000, b.depth_limit = 8;
    QFTrList list;
    EXPECT_EQ(b.Run(list, kind), kTriangleBudget);
  }
  Branches chain;
  chain.density = 2, chain.depth_limit = 200000;
  QFTrList deep;
  EXPECT_EQ(chain.Run(deep, 8), kTriangleBudget);
  std::srand(8);  // at the budget a call makes no draw at all
  GrowGeometricBranches(0, 1, deep, 0, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 100, 3);
  EXPECT_EQ(DrawsSince(8), 0);
  chain.depth_limit = 6;
  QFTrList whole;
  chain.Run(whole, 8);
  // Memory running out first (the walk's stack, or pages for the list's
  // second block) is no designed end: it passes on, and the list holds what
  // was counted, the first triangles of the whole tree.
  const std::vector<PatternTriangle> tree = Triangles(whole);
  deep.Clear();  // each tree below starts with the storage empty
  whole.Clear();
  for (bool at_stack : {true, false}) {
    QFTrList cut;
    page_probe::Reset();
    if (!at_stack) page_probe::FailAt(1);
    EXPECT_THROW(chain.Run(cut, 8, at_stack ? 2 : -1), std::bad_alloc);
    SetAllocationLimit(-1);
    page_probe::Reset();
    const std::vector<PatternTriangle> kept = Triangles(cut);
    EXPECT_EQ(kept.size(), static_cast<size_t>(TriangleCount));
    EXPECT_TRUE(kept.size() > 0 && kept.size() < tree.size() && StartsWith(tree, kept))
        << kept.size() << " of " << tree.size();
  }
}

}  // namespace
