// How the Floral build grows its pattern along the seed lines: the shared
// walk with the Floral sizes, a reseeding at every step from the previous
// step's draw, and a stem or a fern at every step.
#pragma once

#include <cstdint>

#include "growth/pattern_list.h"
#include "growth/seed_walk.h"

// The growth values of the Floral build in working units.
struct FloralGrowth {
  SeedWalkValues walk;
  int kind = 1;           // K, "QuillFrame kind"
  int maxIterations = 1;  // Mi, at least 1
  int maxTriangles = 1;   // Mt, at least 1
  int seed = 0;           // S
  float dispersion = 0;   // Dp
};

// Grows the Floral pattern along the seed lines of a width x height frame
// into list.
void GrowFloralPattern(const FloralGrowth& growth, int32_t width, int32_t height,
                       const SeedLines& seeds, QFTrList& list);
