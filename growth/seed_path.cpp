#include "growth/seed_path.h"

#include <cmath>

namespace {

constexpr int kLengthSamples = 10;
constexpr int kArcSearchSteps = 10;

// The parameter belonging to the arc fraction phi, on a grid of 1/1024.
double ParameterAtLength(double phi, const double X[4], const double Y[4]) {
  if (phi <= 0.0) return 0.0;
  if (phi >= 1.0) return 1.0;
  const double target = phi * BezierLength(X, Y);
  double t = 0.5;
  double step = 0.5;
  for (int k = 0; k < kArcSearchSteps; ++k) {
    double left_x[4], left_y[4];
    BezierSplitLeft(t, X, left_x);
    BezierSplitLeft(t, Y, left_y);
    if (target > BezierLength(left_x, left_y)) {
      t = t + step;
    } else {
      t = t - step;
    }
    step = step / 2.0;
  }
  return t;
}

}  // namespace

void PathSegmentControls(const SeedPath& path, int32_t i, double X[4], double Y[4]) {
  const PathVertexRecord& from = path.vertices[i];
  const PathVertexRecord& to = path.vertices[(i + 1) % path.vertexCount];
  X[0] = from.x;
  Y[0] = from.y;
  X[1] = from.out_x;
  Y[1] = from.out_y;
  X[2] = to.in_x;
  Y[2] = to.in_y;
  X[3] = to.x;
  Y[3] = to.y;
}

double BezierPoint(double t, const double P[4]) {
  const double s = 1.0 - t;
  return (((s * P[0] + 3.0 * t * P[1]) * s + 3.0 * t * t * P[2]) * s) + t * t * t * P[3];
}

double BezierDerivative(double t, const double P[4]) {
  return 3.0 * (t * t * (P[3] - 3.0 * P[2] + 3.0 * P[1] - P[0]) +
                2.0 * t * (P[2] - 2.0 * P[1] + P[0]) + (P[1] - P[0]));
}

double BezierSpeed(double t, const double X[4], const double Y[4]) {
  const double dx = BezierDerivative(t, X);
  const double dy = BezierDerivative(t, Y);
  return std::sqrt(dx * dx + dy * dy);
}

double BezierLength(const double X[4], const double Y[4]) {
  double sum = 0.0;
  for (int k = 0; k < kLengthSamples; ++k) {
    sum = sum + BezierSpeed((k + 0.5) / kLengthSamples, X, Y);
  }
  return sum / kLengthSamples;
}

void BezierSplitLeft(double t, const double P[4], double Q[4]) {
  const double a = P[1] - P[0];
  const double b = P[2] - 2.0 * P[1] + P[0];
  const double c = P[3] - 3.0 * P[2] + 3.0 * P[1] - P[0];
  Q[0] = P[0];
  Q[1] = a * t + P[0];
  Q[2] = b * (t * t) + 2.0 * a * t + P[0];
  Q[3] = c * (t * t * t) + 3.0 * b * (t * t) + 3.0 * a * t + P[0];
}

void BezierPointTangentAtLength(double phi, const double X[4], const double Y[4], double* x,
                                double* y, double* dx, double* dy) {
  const double t = ParameterAtLength(phi, X, Y);
  *x = BezierPoint(t, X);
  *y = BezierPoint(t, Y);
  *dx = BezierDerivative(t, X);
  *dy = BezierDerivative(t, Y);
}

void BezierPointAtLength(double phi, const double X[4], const double Y[4], double* x, double* y) {
  const double t = ParameterAtLength(phi, X, Y);
  *x = BezierPoint(t, X);
  *y = BezierPoint(t, Y);
}
