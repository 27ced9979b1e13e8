#include "growth/geometric.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "growth/grown_triangle.h"

// Sums and products with the written double constants are formed in double
// and rounded back to float on purpose: the pattern depends on those bits.

namespace {

constexpr double kPi = 3.14159265358979323846;

// Polar angle of (ex, ey) in (0, 2 pi], rounded to float; the positive x axis
// gives 2 pi.
float PolarAngle(float ex, float ey) {
  static const float base[4] = {0.0f, static_cast<float>(kPi / 2), static_cast<float>(kPi),
                                static_cast<float>(3 * kPi / 2)};
  const double ax = std::fabs(ex), ay = std::fabs(ey);
  const double r = std::hypot(ax, ay);
  int quadrant = 3;
  if (ey > 0) {
    quadrant = ex >= 0 ? 0 : 1;
  } else if (ex < 0) {
    quadrant = 2;
  }
  const double within = quadrant % 2 == 0 ? std::acos(ax / r) : std::acos(ay / r);
  return static_cast<float>(base[quadrant] + within);
}

// The angle of the incoming direction, in (-3.141592, 3.141592]; 0 for (0, 0).
float BaseAngle(float dx, float dy) {
  if (dx > 0) return std::atan(dy / dx);
  if (dx < 0) {
    return dy <= 0 ? static_cast<float>(std::atan(dy / dx) - 3.141592)
                   : static_cast<float>(std::atan(dy / dx) + 3.141592);
  }
  if (dy > 0) return static_cast<float>(1.570796);
  if (dy < 0) return static_cast<float>(-1.570796);
  return 0.0f;
}

// trunc(density x 1.5), saturating where a very deep tree would overflow.
int32_t ChildDensity(int32_t density) {
  const double next = density * 1.5;
  if (next >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (next <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(next);
}

// The triangle count of a fan: density x (0.5 + (d mod 1000) / 2000).
double FanCount(int32_t density, int d) {
  return density * (0.5 + static_cast<float>(d % 1000) / 2000);
}

// The values that stay the same throughout one tree.
struct Tree {
  int32_t line;
  uint8_t kind;
  float sizeReduction, spreadReduction, lossWeight;
  int32_t depthLimit;
};

// One branching call: its arguments and how far its fan has come.
struct Fan {
  int32_t level;
  float x, y, z, dx, dy, spread, size, chaos;
  int32_t density;

  int32_t n = 0, k = 0;
  bool flipped = false;
  float phi = 0, rho = 0;
  // The second child of triangle k, grown once the first has finished.
  bool secondPending = false;
  float secondX = 0, secondY = 0, secondDx = 0, secondDy = 0;
};

Fan ChildOf(const Fan& parent, const Tree& tree, float x, float y, float dx, float dy) {
  float spread = parent.spread * (1 - tree.spreadReduction);
  if (spread <= 0.01) spread = 0.01f;
  float size = parent.size * (1 - tree.sizeReduction);
  if (size <= 0.001) size = 0.001f;
  const float chaos = static_cast<float>(parent.chaos * 1.2);
  const int32_t density = ChildDensity(parent.density);
  return Fan{parent.level + 1, x, y, parent.z, dx, dy, spread, size, chaos, density};
}

// The start of a call: its depth bound, then its triangle count. Returns
// false, having drawn nothing, when the call's level has reached the bound.
bool OpenFan(Fan& fan, const Tree& tree) {
  int32_t bound = tree.depthLimit;
  if (fan.level == 0) {
    const int d0 = std::rand();
    bound = static_cast<int32_t>((tree.depthLimit / 2 + 1) + 0.5 * (d0 % tree.depthLimit));
  }
  if (fan.level >= bound) return false;
  fan.n = 1;
  if (FanCount(fan.density, std::rand()) >= 1)
    fan.n = static_cast<int32_t>(FanCount(fan.density, std::rand()));
  fan.flipped = (tree.kind == 1 && fan.level % 2 != 0) || (tree.kind == 3 && tree.line % 2 != 0);
  return true;
}

// Grows the fan's next triangle and returns its first child, with the second
// left pending in the fan. Returns false when the budget is spent.
bool GrowFanTriangle(Fan& fan, const Tree& tree, QFTrList& list, Fan& first_child) {
  const float size = fan.size, spread = fan.spread;
  const int d = std::rand();
  const float t = static_cast<float>(d % 1000) / 1000;
  const float j = static_cast<float>(t * t - 0.5);
  if (fan.k == 0) {
    float alpha = BaseAngle(fan.dx, fan.dy);
    if (fan.flipped) alpha = alpha - 2.0f * static_cast<float>(fan.n) * spread;
    fan.phi = alpha + j * fan.chaos;
    fan.rho = static_cast<float>(size * (0.5 + t));
  } else if (fan.k % 2 != 0) {
    fan.rho = static_cast<float>(size * (0.5 + t));
  }
  // Heights follow the triangle count with this triangle counted.
  const int32_t c = TriangleCount + 1;
  const CornerPosition k0{fan.x, fan.y, fan.z};
  const CornerPosition k1{fan.x + fan.rho * std::cos(fan.phi), fan.y + fan.rho * std::sin(fan.phi),
                          fan.z + fan.rho * std::cos(static_cast<float>(c - 1))};
  fan.phi = static_cast<float>(fan.phi + spread * (0.25 + t));
  fan.rho = static_cast<float>(fan.rho + size * (0.5 + j));
  const CornerPosition k2{fan.x + fan.rho * std::cos(fan.phi), fan.y + fan.rho * std::sin(fan.phi),
                          fan.z + fan.rho * std::cos(static_cast<float>(c))};
  if (!AppendGrownTriangle(list, k0, k1, k2, static_cast<uint32_t>(fan.level))) return false;

  // The children leave along the mean normals of the corners' outer edges;
  // the first keeps part of the incoming direction.
  const TriangleCorner* n = list.last->payload->corners;
  const float w = tree.lossWeight;
  const float e1x = (n[0].nx + n[1].nx) / 2, e1y = (n[0].ny + n[1].ny) / 2;
  first_child =
      ChildOf(fan, tree, k1.x, k1.y, w * e1x + (1 - w) * fan.dx, w * e1y + (1 - w) * fan.dy);
  fan.secondPending = true;
  fan.secondX = k2.x;
  fan.secondY = k2.y;
  fan.secondDx = (n[2].nx + n[1].nx) / 2;
  fan.secondDy = (n[2].ny + n[1].ny) / 2;
  return true;
}

}  // namespace

int FindTopSegment(int count, const SeedPoint* points, const SeedEdge* edges) {
  float top = -99999997952.0f;
  int index = 1;
  for (int i = 0; i < count; ++i) {
    const float y = points[edges[i].first].y;
    if (y >= top) {
      top = y;
      index = i;
    }
  }
  return index;
}

void RotateIndexRecords(int count, int k, SeedEdge* edges) {
  if (k < 0 || k >= count) return;
  std::rotate(edges, edges + k, edges + count);
}

bool FixSeedOrientation(const SeedEdge* edges, SeedPoint* points) {
  const SeedPoint q = points[edges[0].first];
  SeedPoint& p1 = points[edges[1].first];
  SeedPoint& p2 = points[edges[1].second];
  const float turn = PolarAngle(p2.x - q.x, p2.y - q.y) - PolarAngle(p1.x - q.x, p1.y - q.y);
  if (std::fabs(turn) < 0.00001) return false;
  if (turn < 0 || turn > 3.141592) std::swap(p1, p2);
  return true;
}

void GrowGeometricSeed(QFTrList& list, float x1, float y1, float x2, float y2, float dx, float dy,
                       float size, float width_factor) {
  const float mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
  const int d = std::rand();
  const float t = static_cast<float>(d % 1000) / 1000;
  float h = size * t + size / 2;
  // The heights stay with the corner slots, whatever the points' order.
  const float heights[3] = {t * h, t * size, 0.0f};
  if (width_factor != 1) h *= std::clamp(width_factor, 0.1f, 1.5f);

  SeedPoint points[3] = {{x1, y1}, {x2, y2}, {mx + h * dx, my + h * dy}};
  SeedEdge edges[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
  RotateIndexRecords(3, FindTopSegment(3, points, edges), edges);
  FixSeedOrientation(edges, points);

  CornerPosition k[3];
  for (int i = 0; i < 3; ++i) k[i] = CornerPosition{points[i].x, points[i].y, heights[i]};
  AppendGrownTriangle(list, k[0], k[1], k[2], 0);
}

void GrowGeometricBranches(int32_t line, uint8_t kind, QFTrList& list, int32_t level, float x,
                           float y, float z, float dx, float dy, float spread, float size,
                           float size_reduction, float spread_reduction, float chaos,
                           float loss_weight, int32_t density, int32_t depth_limit) {
  if (depth_limit < 1) return;  // the root's bound would divide by it
  if (!GrowthBudgetLeft()) return;
  const Tree tree{line, kind, size_reduction, spread_reduction, loss_weight, depth_limit};
  Fan root{level, x, y, z, dx, dy, spread, size, chaos, density};
  if (!OpenFan(root, tree)) return;

  // Depth-first, in the order a recursive walk would take: each
  // triangle, then its first subtree, then its second, then the next one.
  // The walk's own stack failing to grow throws std::bad_alloc as a triangle would.
  std::vector<Fan> stack;
  stack.push_back(root);
  while (!stack.empty()) {
    Fan& fan = stack.back();
    Fan child{};
    if (fan.secondPending) {
      fan.secondPending = false;
      child = ChildOf(fan, tree, fan.secondX, fan.secondY, fan.secondDx, fan.secondDy);
      ++fan.k;
    } else if (fan.k == fan.n) {
      stack.pop_back();
      continue;
    } else if (!GrowFanTriangle(fan, tree, list, child)) {
      return;  // budget spent: keep what exists
    }
    if (OpenFan(child, tree)) stack.push_back(child);  // fan is invalid from here
  }
}
