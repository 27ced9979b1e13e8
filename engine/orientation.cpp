// The winding of a triangle's edge table by the directions from its top vertex.
#include "engine/orientation.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr double kHalfPi = 1.57079632679489661923;

// Direction angle from v to q in 0 < angle <= 2 pi, counted from +x towards +y.
float DirectionAngle(const __Point3ds& v, const __Point3ds& q) {
  const float dx = std::fabs(v.x - q.x);
  const float dy = std::fabs(v.y - q.y);
  const float h = std::sqrt(dx * dx + dy * dy);
  // Coinciding points have no direction: acos of 0 / 0 (or of a tiny side
  // over an h that underflowed to 0) is not a number, and so is the angle.
  if (h == 0.0f) return std::numeric_limits<float>::quiet_NaN();
  int quadrant;
  if (q.y > v.y)
    quadrant = q.x >= v.x ? 0 : 1;
  else
    quadrant = q.x < v.x ? 2 : 3;
  const float side = quadrant == 0 || quadrant == 2 ? dx : dy;
  const double angle =
      std::acos(static_cast<double>(side) / static_cast<double>(h)) + quadrant * kHalfPi;
  return static_cast<float>(angle);
}

}  // namespace

bool __FixOrientation(const EdgeEntry* table, __Point3ds* vertices) {
  const __Point3ds& top = vertices[table[0].start];
  __Point3ds& a = vertices[table[1].start];
  __Point3ds& b = vertices[table[1].end];
  const float delta = DirectionAngle(top, b) - DirectionAngle(top, a);
  if (std::fabs(delta) < 1e-5f) return false;
  if (delta < 0.0f || delta > 3.141592f) std::swap(a, b);
  return true;
}
