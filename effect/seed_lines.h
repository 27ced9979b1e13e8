// The seed lines that a render grows its pattern from: the contour of the
// mask kind, built for the call, or the custom path read from the host.
#pragma once

#include <cstdint>

#include "AE_Effect.h"
#include "effect/mask_path.h"
#include "engine/page_array.h"
#include "growth/contours.h"
#include "growth/seed_walk.h"

// A built seed contour: its page-allocated arrays, freed on Release or at
// destruction, whichever comes first.
struct SeedContour {
  void Release();

  uint32_t pointCount = 0;
  uint32_t segmentCount = 0;
  PageArray<ContourPoint> points;
  PageArray<ContourSegment> segments;
};

// Lays the seed lines of the mask kind on a W x H frame whose origin is at
// (W div 2, H div 2): a contour for mask kinds 1 to 6, built into contour;
// the custom path path_id for kind 7, read into path; nothing otherwise.
// The seed lines returned point into contour or path.
SeedLines LaySeedLines(PF_InData* in_data, int mask_kind, PF_PathID path_id, int32_t width,
                       int32_t height, SeedContour* contour, CustomPath* path);
