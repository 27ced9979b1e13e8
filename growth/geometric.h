// The Geometric generators: a seed triangle on each step of a seed line and a
// tree of triangle fans grown from the step's start point. Positions are frame
// pixels about the frame centre (y downward), heights in the same unit, angles
// in radians. Every triangle goes through AppendGrownTriangle, so growth stops
// quietly at the render's triangle budget; memory running out before it throws
// std::bad_alloc. The draws
// from rand() happen in a fixed order, which together with the caller's seed
// decides the pattern.
#pragma once

#include <cstdint>

#include "growth/pattern_list.h"

// A point of the seed's polygon.
struct SeedPoint {
  float x, y;
};

// An edge of the seed's polygon: indices of its first and second point; the
// third field is always 0 and never read.
struct SeedEdge {
  int32_t first, second, unused;
};

// Index of the edge whose first point has the greatest y, the last one on a
// tie; 1 when no y reaches -99999997952.
int FindTopSegment(int count, const SeedPoint* points, const SeedEdge* edges);

// Rotates the edges so that edge k comes first, keeping their cyclic order.
// A k outside 0 .. count - 1 leaves them as they are.
void RotateIndexRecords(int count, int k, SeedEdge* edges);

// Seen from the first point of edge 0, swaps the two points of edge 1 in the
// point array when the turn from the first to the second is negative or above
// 3.141592 (polar angles in (0, 2 pi]). Returns false, swapping nothing, when
// the turn is below 0.00001 in magnitude.
bool FixSeedOrientation(const SeedEdge* edges, SeedPoint* points);

// One triangle standing on the base (x1, y1) - (x2, y2), its apex out along
// (dx, dy) at a height drawn from size; a width factor other than exactly 1 is
// clamped to [0.1, 1.5] and scales the apex distance. One draw.
void GrowGeometricSeed(QFTrList& list, float x1, float y1, float x2, float y2, float dx, float dy,
                       float size, float width_factor);

// A fan of triangles around (x, y, z) leaving along (dx, dy), each opening two
// subtrees at its outer corners, down to the depth limit (the root draws a
// bound of its own, which never stops it). Kind 1 turns the fans of odd levels
// backwards, kind 3 those of odd lines, kind 2 none. Corner heights follow
// TriangleCount. A depth limit below 1 grows nothing.
//
// The tree is walked with a stack of its own on the heap, so its depth never
// touches the thread's stack; it ends where the triangle budget runs out.
void GrowGeometricBranches(int32_t line, uint8_t kind, QFTrList& list, int32_t level, float x,
                           float y, float z, float dx, float dy, float spread, float size,
                           float size_reduction, float spread_reduction, float chaos,
                           float loss_weight, int32_t density, int32_t depth_limit);
