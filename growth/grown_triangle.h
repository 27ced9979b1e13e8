// What every generator shares: the triangle budget of one render and the
// corner rule by which a grown triangle gets its corner normals.
#pragma once

#include <cstdint>

#include "growth/pattern_list.h"

// Triangles one render may grow. At the budget the pattern list and the mesh
// built from it stay well under 1 GiB together.
constexpr int32_t kTriangleBudget = 2000000;

// A corner's position and height before the corner rule is applied.
struct CornerPosition {
  float x, y, z;
};

// Fills the normals of a triangle whose corner positions are set: every
// corner's normal z is minus the z of the unit face normal
// (K0 - K1) x (K2 - K1); its normal x, y is its outgoing edge (K0 to K1, K1 to
// K2, K2 to K0) turned a quarter turn and made unit length. Zero lengths are
// left unnormalised. Sets every has-normal byte.
void ApplyCornerRule(PatternTriangle& triangle);

// Whether the render may still grow triangles.
bool GrowthBudgetLeft();

// Creates the triangle K0, K1, K2 with the corner rule and the given level,
// appends it to the list and counts it in TriangleCount. Returns false and
// creates nothing when the budget is spent; the generators then stop growing
// and keep what they have. Memory exhausted before the budget is no designed
// end: std::bad_alloc passes on, the list unchanged, and the render ends with
// out of memory rather than draw another pattern than the one asked for.
bool AppendGrownTriangle(QFTrList& list, const CornerPosition& k0, const CornerPosition& k1,
                         const CornerPosition& k2, uint32_t level);
