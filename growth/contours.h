// Seed contours: the chains of short seed lines laid along the frame from
// which the ornament grows. Coordinates are frame pixels about the frame
// centre, x to the right, y downward.
#pragma once

#include <cstdint>
#include <vector>

// One point of a straight run; (dx, dy, dz) is the run's growth direction.
struct ContourPoint {
  float x, y, z;
  float dx, dy, dz;
  uint8_t valid;
};

// One seed line between two consecutive points of a run. step is the spacing
// the sampler computed at the second point (the distance from it to the next
// point of the run), not the length of the line itself.
struct ContourSegment {
  uint32_t first;
  uint32_t second;
  float nx, ny, nz;
  float step;
  uint8_t valid;
};

// The records of a contour while it is being sampled, in run order; the
// builders copy them into page-allocated arrays when every run is done.
struct ContourLists {
  std::vector<ContourPoint> points;
  std::vector<ContourSegment> segments;
};

// Samples one straight run: t goes from start to end with a spacing that
// shrinks towards the crowding coordinate (base_step x (|t - crowd| / length
// + 0.01)). The horizontal run varies x at y = fixed, the vertical one varies
// y at x = fixed. Points are numbered after those already in the lists.
void SampleHorizontalRun(ContourLists& lists, float fixed, float start, float length, float end,
                         float base_step, float crowd, float dx, float dy, float dz);
void SampleVerticalRun(ContourLists& lists, float fixed, float start, float length, float end,
                       float base_step, float crowd, float dx, float dy, float dz);

// The builders share one signature. On return *point_count and *segment_count
// hold the record counts and *points / *segments the arrays, allocated with
// VirtualAlloc; the caller takes each into a PageArray (engine/page_array.h).
// When memory runs out, std::bad_alloc passes on with both null and zero counts.
// *point_count is read on entry only by BuildULikeContour (the initial point
// count n, at least 2); the four floats mean:
//   BuildLineContour:          x0, width, y of the line, growth sign in y
//   BuildTopAndBottomContour:  x0, width, y of the first line, y of the second
//   BuildPerimeterContour, BuildULikeContour, BuildWindowContour:
//                              x0, y0 (top-left corner), width, height
void BuildLineContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                      ContourSegment** segments, float x0, float width, float y, float sign);
void BuildTopAndBottomContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                              ContourSegment** segments, float x0, float width, float y1, float y2);
void BuildPerimeterContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                           ContourSegment** segments, float x0, float y0, float w, float h);
void BuildULikeContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                       ContourSegment** segments, float x0, float y0, float w, float h);
void BuildWindowContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                        ContourSegment** segments, float x0, float y0, float w, float h);
