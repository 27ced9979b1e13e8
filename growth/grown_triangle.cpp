#include "growth/grown_triangle.h"

#include <cmath>

void ApplyCornerRule(PatternTriangle& triangle) {
  TriangleCorner* k = triangle.corners;
  // The positions, read once before any normal is written.
  const float x[3] = {k[0].x, k[1].x, k[2].x};
  const float y[3] = {k[0].y, k[1].y, k[2].y};
  const float z[3] = {k[0].z, k[1].z, k[2].z};
  const float ax = x[0] - x[1], ay = y[0] - y[1], az = z[0] - z[1];
  const float bx = x[2] - x[1], by = y[2] - y[1], bz = z[2] - z[1];
  const float cx = ay * bz - az * by;
  const float cy = az * bx - ax * bz;
  float cz = ax * by - ay * bx;
  const float length = std::sqrt(cx * cx + cy * cy + cz * cz);
  if (length != 0) cz /= length;
  for (int i = 0; i < 3; ++i) {
    const int to = i == 2 ? 0 : i + 1;
    float nx = y[to] - y[i];
    float ny = x[i] - x[to];
    const float edge = std::sqrt(nx * nx + ny * ny);
    if (edge != 0) {
      nx /= edge;
      ny /= edge;
    }
    k[i].nx = nx;
    k[i].ny = ny;
    k[i].nz = -cz;
    k[i].hasNormal = 1;
  }
}

bool GrowthBudgetLeft() { return TriangleCount < kTriangleBudget; }

bool AppendGrownTriangle(QFTrList& list, const CornerPosition& k0, const CornerPosition& k1,
                         const CornerPosition& k2, uint32_t level) {
  if (!GrowthBudgetLeft()) return false;
  auto* triangle = new PatternTriangle;  // every field is set below
  const CornerPosition* positions[3] = {&k0, &k1, &k2};
  for (int i = 0; i < 3; ++i) {
    triangle->corners[i].x = positions[i]->x;
    triangle->corners[i].y = positions[i]->y;
    triangle->corners[i].z = positions[i]->z;
  }
  ApplyCornerRule(*triangle);
  triangle->level = level;
  list.Append(triangle);  // frees the triangle when it throws
  ++TriangleCount;
  return true;
}
