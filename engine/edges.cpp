// Edge tables: the scanline walk along a triangle's edges.
#include "engine/edges.h"

#include <algorithm>
#include <cmath>

#include "engine/coverage.h"

namespace {

// A vertex's row: its y truncated toward zero, kept as a float so that a
// vertex beyond the range of an int still compares by its own row.
float RowOf(const __Point3ds& v) { return std::trunc(v.y); }

// x of the edge at scanline y; an edge lower than one row gives its larger x.
float EdgeX(const __Point3ds& s, const __Point3ds& e, float y) {
  if (std::fabs(e.y - s.y) >= 1.0f) return (y - s.y) * (e.x - s.x) / (e.y - s.y) + s.x;
  return std::max(s.x, e.x);
}

bool RunsUpOver(const __Point3ds& s, const __Point3ds& e, float y) {
  return RowOf(s) <= y && y <= RowOf(e);
}

bool RunsDownOver(const __Point3ds& s, const __Point3ds& e, float y) {
  return RowOf(e) <= y && y < RowOf(s);
}

}  // namespace

float __EdgeAtScanline(int n, int first, const __Point3ds* vertices, const EdgeEntry* table,
                       float y, float* a, float* b, float* c, float* ab2, float* ab_length,
                       float* x1, float* y1, float* x2, float* y2, float* run) {
  int i = first;
  while (i < n - 1) {
    const __Point3ds& s = vertices[table[i].start];
    const __Point3ds& e = vertices[table[i].end];
    if (RunsUpOver(s, e, y) || RunsDownOver(s, e, y)) break;
    ++i;
  }
  if (i >= n - 1) i = n - 1;
  const __Point3ds& s = vertices[table[i].start];
  const __Point3ds& e = vertices[table[i].end];
  *x1 = s.x;
  *y1 = s.y;
  *x2 = e.x;
  *y2 = e.y;
  const float x = EdgeX(s, e, y);
  __LineCoefs(s.x, s.y, e.x, e.y, a, b, c);
  *ab2 = *a * *a + *b * *b;
  *ab_length = std::sqrt(*ab2);

  // The run: how far the edge moves in x over one row towards its far end.
  const __Point3ds& high = e.y > s.y ? e : s;
  const __Point3ds& low = e.y > s.y ? s : e;
  const float next = low.x > high.x ? y - 1.0f : y + 1.0f;
  int j = first;
  while (j < n - 1 && !RunsUpOver(vertices[table[j].start], vertices[table[j].end], next)) ++j;
  if (j >= n - 1) j = n - 1;
  const float r = std::fabs(EdgeX(vertices[table[j].start], vertices[table[j].end], next) - x);
  *run = r < 3.0f ? 3.0f : r;
  return x;
}

int __TopVertex(int n, const __Point3ds* vertices, const EdgeEntry* table, float* smallest_y) {
  int top = 1;
  float largest = -1e11f;
  float smallest = 1e11f;
  for (int i = 0; i < n; ++i) {
    const float y = vertices[table[i].start].y;
    if (y >= largest) {
      largest = y;
      top = i;
    }
    if (y <= smallest) smallest = y;
  }
  *smallest_y = smallest;
  return top;
}

void __RotateTriples(int n, int k, EdgeEntry* table) {
  if (k > 0 && k < n) std::rotate(table, table + k, table + n);
}
