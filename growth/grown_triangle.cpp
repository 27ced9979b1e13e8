#include "growth/grown_triangle.h"

#include <cmath>

namespace {

void SetEdgeNormal(TriangleCorner& corner, const TriangleCorner& to) {
  float nx = to.y - corner.y;
  float ny = corner.x - to.x;
  const float length = std::sqrt(nx * nx + ny * ny);
  if (length != 0) {
    nx /= length;
    ny /= length;
  }
  corner.nx = nx;
  corner.ny = ny;
}

}  // namespace

void ApplyCornerRule(PatternTriangle& triangle) {
  TriangleCorner* k = triangle.corners;
  const float ax = k[0].x - k[1].x, ay = k[0].y - k[1].y, az = k[0].z - k[1].z;
  const float bx = k[2].x - k[1].x, by = k[2].y - k[1].y, bz = k[2].z - k[1].z;
  const float cx = ay * bz - az * by;
  const float cy = az * bx - ax * bz;
  float cz = ax * by - ay * bx;
  const float length = std::sqrt(cx * cx + cy * cy + cz * cz);
  if (length != 0) cz /= length;
  for (int i = 0; i < 3; ++i) {
    SetEdgeNormal(k[i], k[(i + 1) % 3]);
    k[i].nz = -cz;
    k[i].hasNormal = 1;
  }
}

bool GrowthBudgetLeft() { return TriangleCount < kTriangleBudget; }

bool AppendGrownTriangle(QFTrList& list, const CornerPosition& k0, const CornerPosition& k1,
                         const CornerPosition& k2, uint32_t level) {
  if (!GrowthBudgetLeft()) return false;
  auto* triangle = new PatternTriangle{};
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
