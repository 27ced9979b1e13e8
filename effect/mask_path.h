// The custom mask path: read through the host's path suites at the start of a
// render, kept as cubic Bézier segments with each segment's share of the whole
// path length (walked by the growth through SeedPathOf), and handed back to
// the host at the end of the render.
#pragma once

#include <cstdint>

#include "AE_Effect.h"
#include "AE_EffectSuites.h"
#include "engine/page_array.h"
#include "growth/seed_path.h"

// Everything one render holds of the path, from reading to release. The
// destructor releases whatever is still held, so an exception passing
// through the render hands the path and the suites back all the same.
struct CustomPath {
  CustomPath() = default;
  CustomPath(const CustomPath&) = delete;
  CustomPath& operator=(const CustomPath&) = delete;
  ~CustomPath();

  PF_InData* in_data = nullptr;
  PF_PathID path_id = 0;
  const PF_PathQuerySuite1* query_suite = nullptr;
  const PF_PathDataSuite1* data_suite = nullptr;
  PF_PathOutlinePtr path = nullptr;
  int32_t vertex_count = 0;              // the seed segment count: 0 without a path
  PageArray<PathVertexRecord> vertices;  // vertex_count records
  PageArray<double> fractions;           // each segment's share of the length
};

// Reads the path path_id at the input record's current time into path,
// releasing first whatever path still held. Path id 0, a missing suite, a check-out without a path
// and a path without vertices all leave vertex_count at 0; arrays that cannot be allocated throw
// std::bad_alloc. Returns vertex_count.
int32_t ReadCustomPath(PF_InData* in_data, PF_PathID path_id, CustomPath* path);

// Checks the path back in, releases the suites and frees the arrays; leaves
// path empty. Releasing an empty record does nothing.
void ReleaseCustomPath(CustomPath* path);

// The path's arrays as the growth walk reads them.
SeedPath SeedPathOf(const CustomPath& path);
