// Edge tables over a triangle's vertices: the top vertex, the rotation that
// puts it first, and the edge that crosses a scanline.
#pragma once

#include <cstdint>

#include "engine/qf_engine.h"

// One edge of an edge table over a vertex array: from vertex start to end.
struct EdgeEntry {
  uint8_t start;
  uint8_t end;
  uint8_t spare;
};
static_assert(sizeof(EdgeEntry) == 3, "edge entry layout");

// Finds, from entry first on, the edge that crosses scanline y and returns
// where; also its line, end points and the run of the edge over one row.
float __EdgeAtScanline(int n, int first, const __Point3ds* vertices, const EdgeEntry* table,
                       float y, float* a, float* b, float* c, float* ab2, float* ab_length,
                       float* x1, float* y1, float* x2, float* y2, float* run);

// Index of the entry whose start vertex has the largest y (the later on a
// tie); writes the smallest start y.
int __TopVertex(int n, const __Point3ds* vertices, const EdgeEntry* table, float* smallest_y);

// Moves entries k .. n - 1 to the front of the table.
void __RotateTriples(int n, int k, EdgeEntry* table);
