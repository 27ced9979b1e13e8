// How the Geometry build grows its pattern along the seed lines: the shared
// walk with the Geometry sizes, one reseeding per seed segment, and at every
// step a seed triangle and a tree of triangle fans.
#pragma once

#include <cstdint>

#include "growth/pattern_list.h"
#include "growth/seed_walk.h"

// The growth values of the Geometry build in working units (walk.turn unused).
struct GeometricGrowth {
  SeedWalkValues walk;
  int kind = 3;                // K, "QuillFrame kind"
  int maxIterations = 3;       // Mi, the branching's depth limit
  int maxTriangles = 3;        // Mt, the branching's density
  int seed = 0;                // S
  float dispersion = 0;        // Dp
  float loseDirection = 0;     // Li, "Lose initial direction" / 100
  float proportionLength = 0;  // Pl, "Proportion lenght" / 200
  float proportionWidth = 0;   // Pw, "Proportion width" / 200
};

// The sizes of a seed segment with interval value v under "Depend on
// interval", which is not limited: the spread Wp x (v P / 4 + 1 - P / 4) and
// the size Lp x (v P + 1 - P), kept raised to at least 0.01.
SegmentSizes GeometricSegmentSizes(const SeedWalkValues& values, float v);

// Grows the Geometric pattern along the seed lines of a width x height frame
// into list.
void GrowGeometricPattern(const GeometricGrowth& growth, int32_t width, int32_t height,
                          const SeedLines& seeds, QFTrList& list);
