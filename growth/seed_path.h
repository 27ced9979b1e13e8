// The sampled custom path as the growth walk reads it: cubic Bézier segments
// between consecutive vertices, each with its share of the whole path length,
// and the arc-length arithmetic that walks them.
#pragma once

#include <cstdint>

// One path vertex in walking order, in the host's layer coordinates.
struct PathVertexRecord {
  double x, y;
  double in_x, in_y;    // incoming tangent point
  double out_x, out_y;  // outgoing tangent point
};

// The path's arrays, owned elsewhere; vertexCount is also its segment count.
struct SeedPath {
  int32_t vertexCount = 0;
  const PathVertexRecord* vertices = nullptr;
  const double* fractions = nullptr;  // each segment's share of the length
};

// Control values of segment i (vertex i to vertex (i + 1) mod vertexCount):
// X and Y each hold P0 to P3. i must lie below vertexCount.
void PathSegmentControls(const SeedPath& path, int32_t i, double X[4], double Y[4]);

// Cubic Bézier helpers over the four control values P0 to P3 of one coordinate.
double BezierPoint(double t, const double P[4]);
double BezierDerivative(double t, const double P[4]);
double BezierSpeed(double t, const double X[4], const double Y[4]);
// Ten-point midpoint estimate of the arc length.
double BezierLength(const double X[4], const double Y[4]);
// Control values of the part from 0 to t.
void BezierSplitLeft(double t, const double P[4], double Q[4]);
// Point and derivative at the parameter belonging to the arc fraction phi.
void BezierPointTangentAtLength(double phi, const double X[4], const double Y[4], double* x,
                                double* y, double* dx, double* dy);
// Point at the parameter belonging to the arc fraction phi.
void BezierPointAtLength(double phi, const double X[4], const double Y[4], double* x, double* y);
