// Edge tables: the top vertex, the scanline walk and the winding.
#include <cmath>

#include "engine/coverage.h"
#include "engine/edges.h"
#include "engine/orientation.h"
#include "engine_state.h"

namespace {

TEST(EdgeTable, TopVertexTakesTheLaterOfEqualStarts) {
  const __Point3ds v[3] = {At(0, 1), At(4, 5), At(2, 5)};
  const EdgeEntry t[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
  float smallest = 0.0f;
  EXPECT_EQ(__TopVertex(3, v, t, &smallest), 2);
  EXPECT_EQ(smallest, 1.0f);
  EXPECT_EQ(__TopVertex(0, v, t, &smallest), 1);
  EXPECT_EQ(smallest, 1e11f);
}

struct Crossing {
  float x, a, b, c, ab2, length, x1, y1, x2, y2, run;
};

Crossing CrossAt(int n, int first, const __Point3ds* v, const EdgeEntry* t, float y) {
  Crossing k{};
  k.x = __EdgeAtScanline(n, first, v, t, y, &k.a, &k.b, &k.c, &k.ab2, &k.length, &k.x1, &k.y1,
                         &k.x2, &k.y2, &k.run);
  return k;
}

TEST(EdgeTable, ScanlineFindsTheFirstCrossingEdge) {
  // Left edge 2 -> 0 runs down, right edge 0 -> 1 up, 1 -> 2 is the top.
  const __Point3ds v[3] = {At(0, 0), At(40, 10), At(0, 10)};
  const EdgeEntry t[3] = {{2, 0, 0}, {0, 1, 0}, {1, 2, 0}};
  Crossing k = CrossAt(3, 1, v, t, 5.0f);
  EXPECT_EQ(k.x, 20.0f);
  EXPECT_TRUE(k.a == 10.0f && k.b == -40.0f && k.c == 0.0f && k.ab2 == 1700.0f);
  EXPECT_EQ(k.length, std::sqrt(1700.0f));
  EXPECT_TRUE(k.x1 == 0.0f && k.y1 == 0.0f && k.x2 == 40.0f && k.y2 == 10.0f);
  EXPECT_EQ(k.run, 4.0f);  // one row further up the edge moves 4 pixels

  // A downward edge does not take the row of its start; the next edge does.
  k = CrossAt(3, 0, v, t, 9.0f);
  EXPECT_TRUE(k.x == 0.0f && k.y1 == 10.0f && k.y2 == 0.0f);
  k = CrossAt(3, 0, v, t, 10.0f);
  EXPECT_TRUE(k.x == 40.0f && k.x1 == 0.0f && k.x2 == 40.0f);
  // The run is taken on the first upward edge: here the right one, 20 pixels away.
  EXPECT_EQ(CrossAt(3, 0, v, t, 4.0f).run, 20.0f);
  // A steep edge still reports a run of at least 3.
  const __Point3ds steep[2] = {At(0, 0), At(1, 10)};
  const EdgeEntry s[1] = {{0, 1, 0}};
  EXPECT_EQ(CrossAt(1, 0, steep, s, 5.0f).run, 3.0f);
}

TEST(EdgeTable, ScanlineRowsTruncateTowardZeroAndTheLastEntryIsTheFallback) {
  // Edges running up: (0, -0.5) -> (10, 9.5), then (10, 4.7) -> (30, 9).
  const __Point3ds v[4] = {At(0, -0.5f), At(10, 9.5f), At(10, 4.7f), At(30, 9)};
  const EdgeEntry t[2] = {{0, 1, 0}, {2, 3, 0}};
  // Row -0.5 counts as row 0, so scanline -0.2 is below the first edge.
  Crossing k = CrossAt(2, 0, v, t, -0.2f);
  EXPECT_EQ(k.x1, 10.0f);
  // Row 4.7 counts as row 4: scanline 4.2 already meets the second edge.
  k = CrossAt(2, 1, v, t, 4.2f);
  EXPECT_EQ(k.x, (4.2f - 4.7f) * 20.0f / (9.0f - 4.7f) + 10.0f);
  // Nothing crosses scanline 50; the last entry is used as it is.
  k = CrossAt(2, 0, v, t, 50.0f);
  EXPECT_TRUE(k.x1 == 10.0f && k.y2 == 9.0f);

  // An edge lower than one row gives its larger x.
  const __Point3ds flat[2] = {At(2, 3.2f), At(7, 3.5f)};
  const EdgeEntry f[1] = {{0, 1, 0}};
  EXPECT_EQ(CrossAt(1, 0, flat, f, 3.0f).x, 7.0f);
}

TEST(EdgeTable, ScanlineRowsOfFarVerticesAreTheirOwn) {
  // An upward edge ending beyond the range of an int still holds scanline 5.
  const __Point3ds v[3] = {At(0, 0), At(4294967296.0f, 4294967296.0f), At(-7, 9)};
  const EdgeEntry t[2] = {{0, 1, 0}, {1, 2, 0}};
  const Crossing k = CrossAt(2, 0, v, t, 5.0f);
  EXPECT_TRUE(k.x == 5.0f && k.x1 == 0.0f && k.y2 == 4294967296.0f);
}

// Edge (40, 0) -> (0, 10) runs up towards smaller x: the run is measured a row down.
TEST(EdgeTable, ScanlineRunLooksTowardsTheLowerEnd) {
  const __Point3ds v[3] = {At(40, 0), At(0, 10), At(40, 10)};
  const EdgeEntry t[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
  const Crossing k = CrossAt(3, 0, v, t, 5.0f);
  EXPECT_TRUE(k.x == 20.0f && k.run == 4.0f);
}

// Sets a triangle up as the fillers do: top vertex first, then the winding.
bool Orient(__Point3ds* v, EdgeEntry* t) {
  float smallest;
  __RotateTriples(3, __TopVertex(3, v, t, &smallest), t);
  return __FixOrientation(t, v);
}

TEST(EdgeTable, OrientationPutsTheInsideOnTheNegativeSide) {
  const float shapes[][6] = {{0, 0, 10, 0, 3, 8}, {0, 0, 3, 8, 10, 0}, {5, 9, 0, 0, 10, 1},
                             {5, 9, 10, 1, 0, 0}, {0, 5, 6, 5, 2, -4}, {6, 5, 0, 5, 2, -4},
                             {0, 0, -3, 7, 4, 7}, {0, 0, 4, 7, -3, 7}};
  for (const auto& s : shapes) {
    __Point3ds v[3] = {At(s[0], s[1]), At(s[2], s[3]), At(s[4], s[5])};
    EdgeEntry t[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
    ASSERT_TRUE(Orient(v, t)) << s[0] << "," << s[1];
    EXPECT_TRUE(v[t[0].start].y >= v[t[1].start].y && v[t[0].start].y >= v[t[2].start].y);
    const float cx = (s[0] + s[2] + s[4]) / 3.0f, cy = (s[1] + s[3] + s[5]) / 3.0f;
    for (const EdgeEntry& e : t) {
      float a, b, c;
      __LineCoefs(v[e.start].x, v[e.start].y, v[e.end].x, v[e.end].y, &a, &b, &c);
      EXPECT_LT(a * cx + b * cy + c, 0.0f)
          << s[0] << "," << s[1] << " " << s[2] << "," << s[3] << " " << s[4] << "," << s[5];
    }
  }
}

TEST(EdgeTable, CollinearTriangleIsRefused) {
  __Point3ds v[3] = {At(0, 0), At(1, 1), At(3, 3)};
  EdgeEntry t[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
  EXPECT_FALSE(Orient(v, t));
  __Point3ds w[3] = {At(0, 2), At(5, 2), At(9, 2)};
  EdgeEntry u[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
  EXPECT_FALSE(Orient(w, u));
}

// Corners that coincide (or lie so close that their distance underflows)
// give no direction to compare: the triangle is kept as it stands, and no
// 0 / 0 reaches acos.
TEST(EdgeTable, CoincidingCornersKeepTheirOrder) {
  for (const float apart : {0.0f, 1e-30f}) {
    __Point3ds v[3] = {At(0, 5), At(40, 0), At(apart, 5)};
    EdgeEntry t[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
    float smallest;
    __RotateTriples(3, __TopVertex(3, v, t, &smallest), t);
    const __Point3ds before[3] = {v[0], v[1], v[2]};
    EXPECT_TRUE(__FixOrientation(t, v)) << apart;
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(v[k].x == before[k].x && v[k].y == before[k].y) << k;
  }
}

}  // namespace
