#include "growth/seed_path.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// ---- Bézier helpers ----

// A straight segment from (0, 0) to (30, 0) with evenly spaced control points.
const double kStraightX[4] = {0, 10, 20, 30};
const double kStraightY[4] = {0, 0, 0, 0};
// A bent segment whose parameter and arc fraction differ.
const double kBentX[4] = {-3, 12, 40, 25};
const double kBentY[4] = {7, -20, 5, 33};

TEST(Bezier, StraightSegmentMeasuresItsLength) {
  EXPECT_DOUBLE_EQ(BezierLength(kStraightX, kStraightY), 30.0);
  EXPECT_DOUBLE_EQ(BezierSpeed(0.3, kStraightX, kStraightY), 30.0);
}

TEST(Bezier, ArcFractionsZeroAndOneGiveTheEndPointsExactly) {
  double x, y, dx, dy;
  BezierPointTangentAtLength(0.0, kBentX, kBentY, &x, &y, &dx, &dy);
  EXPECT_EQ(x, -3.0);
  EXPECT_EQ(y, 7.0);
  EXPECT_DOUBLE_EQ(dx, 3 * (12.0 + 3));
  EXPECT_DOUBLE_EQ(dy, 3 * (-20.0 - 7));
  BezierPointAtLength(1.0, kBentX, kBentY, &x, &y);
  EXPECT_EQ(x, 25.0);
  EXPECT_EQ(y, 33.0);
  BezierPointAtLength(-0.5, kBentX, kBentY, &x, &y);
  EXPECT_EQ(x, -3.0);
  BezierPointAtLength(7.0, kBentX, kBentY, &x, &y);
  EXPECT_EQ(x, 25.0);
}

TEST(Bezier, HalfTheArcOfAStraightSegmentIsItsMiddle) {
  double x, y, dx, dy;
  BezierPointTangentAtLength(0.5, kStraightX, kStraightY, &x, &y, &dx, &dy);
  EXPECT_NEAR(x, 15.0, 30.0 / 1024);
  EXPECT_EQ(y, 0.0);
  EXPECT_DOUBLE_EQ(dx, 30.0);
  EXPECT_EQ(dy, 0.0);
  double px, py;
  BezierPointAtLength(0.5, kStraightX, kStraightY, &px, &py);
  EXPECT_EQ(px, x);
  EXPECT_EQ(py, y);
}

TEST(Bezier, ArcFractionFollowsLengthNotParameter) {
  // On the bent segment the point at a quarter of the arc must cut off a
  // left part of about a quarter of the length.
  const double total = BezierLength(kBentX, kBentY);
  for (double phi : {0.25, 0.6, 0.9}) {
    double x, y;
    BezierPointAtLength(phi, kBentX, kBentY, &x, &y);
    // Find the parameter of that point on a 1/1024 grid.
    double best_t = 0, best = 1e300;
    for (int k = 0; k <= 1024; ++k) {
      const double t = k / 1024.0;
      const double d = std::hypot(BezierPoint(t, kBentX) - x, BezierPoint(t, kBentY) - y);
      if (d < best) best = d, best_t = t;
    }
    double lx[4], ly[4];
    BezierSplitLeft(best_t, kBentX, lx);
    BezierSplitLeft(best_t, kBentY, ly);
    EXPECT_NEAR(BezierLength(lx, ly) / total, phi, 0.01) << "phi " << phi;
  }
}

TEST(Bezier, LeftPartEndsOnTheCurve) {
  for (double t : {0.0, 0.3, 0.75, 1.0}) {
    double q[4];
    BezierSplitLeft(t, kBentX, q);
    EXPECT_EQ(q[0], kBentX[0]);
    EXPECT_NEAR(q[3], BezierPoint(t, kBentX), 1e-12);
    // The left part's start tangent is the full curve's, scaled by t.
    EXPECT_NEAR(3 * (q[1] - q[0]), t * BezierDerivative(0, kBentX), 1e-12);
  }
}

}  // namespace
