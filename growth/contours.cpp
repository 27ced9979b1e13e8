#include "growth/contours.h"

#include <cmath>
#include <cstring>
#include <new>

#include "engine/page_array.h"

namespace {

// a / b for a >= 0 (or not a number), with what division gives for a b of
// 0 (an infinity of b's sign, or not a number for 0 / 0) worked out
// without dividing: a frame of no size samples one point and stops.
float Ratio(float a, float b) {
  if (b != 0.0f) return a / b;
  return a > 0.0f ? std::copysign(INFINITY, b) : NAN;
}

void SampleRun(ContourLists& lists, bool horizontal, float fixed, float start, float length,
               float end, float base_step, float crowd, float dx, float dy, float dz) {
  float t = start;
  uint32_t k = 0;
  while (end >= t) {
    ContourPoint point{};
    point.x = horizontal ? t : fixed;
    point.y = horizontal ? fixed : t;
    point.dx = dx;
    point.dy = dy;
    point.dz = dz;
    point.valid = 1;
    lists.points.push_back(point);

    const float step = base_step * (Ratio(std::fabs(t - crowd), length) + 0.01f);
    const float next = t + step;
    if (k > 0) {
      const uint32_t second = static_cast<uint32_t>(lists.points.size() - 1);
      ContourSegment segment{};
      segment.first = second - 1;
      segment.second = second;
      segment.nx = dx;
      segment.ny = dy;
      segment.nz = dz;
      segment.step = step;
      segment.valid = 1;
      lists.segments.push_back(segment);
    }
    ++k;
    // A step that does not advance (zero or negative size, or a step lost
    // against a huge coordinate) would never reach the end.
    if (!(next > t)) break;
    t = next;
  }
}

template <typename Record>
PageArray<Record> CopyToPages(const std::vector<Record>& records) {
  PageArray<Record> pages = AllocatePageArray<Record>(records.size());
  if (pages) std::memcpy(pages.get(), records.data(), records.size() * sizeof(Record));
  return pages;
}

// Hands the sampled records to the caller as page-allocated arrays; on any
// failure std::bad_alloc passes on, both arrays absent and both counts 0.
void HandOver(const ContourLists& lists, uint32_t* point_count, uint32_t* segment_count,
              ContourPoint** points, ContourSegment** segments) {
  *point_count = 0;
  *segment_count = 0;
  *points = nullptr;
  *segments = nullptr;
  PageArray<ContourPoint> point_array = CopyToPages(lists.points);
  PageArray<ContourSegment> segment_array = CopyToPages(lists.segments);
  const bool points_ok = lists.points.empty() || point_array;
  const bool segments_ok = lists.segments.empty() || segment_array;
  if (!points_ok || !segments_ok) throw std::bad_alloc();
  *point_count = static_cast<uint32_t>(lists.points.size());
  *segment_count = static_cast<uint32_t>(lists.segments.size());
  *points = point_array.release();
  *segments = segment_array.release();
}

// Runs the sampling body and hands the result over; running out of memory
// while sampling passes std::bad_alloc on, both arrays absent.
template <typename Body>
void BuildContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                  ContourSegment** segments, Body body) {
  *point_count = 0;
  *segment_count = 0;
  *points = nullptr;
  *segments = nullptr;
  ContourLists lists;
  body(lists);
  HandOver(lists, point_count, segment_count, points, segments);
}

}  // namespace

void SampleHorizontalRun(ContourLists& lists, float fixed, float start, float length, float end,
                         float base_step, float crowd, float dx, float dy, float dz) {
  SampleRun(lists, true, fixed, start, length, end, base_step, crowd, dx, dy, dz);
}

void SampleVerticalRun(ContourLists& lists, float fixed, float start, float length, float end,
                       float base_step, float crowd, float dx, float dy, float dz) {
  SampleRun(lists, false, fixed, start, length, end, base_step, crowd, dx, dy, dz);
}

void BuildLineContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                      ContourSegment** segments, float x0, float width, float y, float sign) {
  const float step = width / 2;
  BuildContour(point_count, segment_count, points, segments, [&](ContourLists& lists) {
    SampleHorizontalRun(lists, y, x0, width, width - width / 2, step, 0, 0, sign, 0);
  });
}

void BuildTopAndBottomContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                              ContourSegment** segments, float x0, float width, float y1,
                              float y2) {
  const float step = width / 2;
  const float end = width - width / 2;
  BuildContour(point_count, segment_count, points, segments, [&](ContourLists& lists) {
    SampleHorizontalRun(lists, y1, x0, width, end, step, 0, 0, 1, 0);
    SampleHorizontalRun(lists, y2, x0, width, end, step, 0, 0, -1, 0);
  });
}

void BuildPerimeterContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                           ContourSegment** segments, float x0, float y0, float w, float h) {
  const float h_step = w / 2;
  const float v_step = h / 2;
  BuildContour(point_count, segment_count, points, segments, [&](ContourLists& lists) {
    const float mid_y = y0 + h / 2;
    SampleVerticalRun(lists, x0, y0, h, y0 + h, v_step, mid_y, 1, 0, 0);
    SampleVerticalRun(lists, x0 + w, y0, h, y0 + h, v_step, mid_y, -1, 0, 0);
    SampleHorizontalRun(lists, y0 + h, x0, w, x0 + w, h_step, 0, 0, -1, 0);
    SampleHorizontalRun(lists, y0, x0, w, x0 + w, h_step, 0, 0, 1, 0);
  });
}

void BuildULikeContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                       ContourSegment** segments, float x0, float y0, float w, float h) {
  const float intervals = static_cast<float>(*point_count) - 1;
  const float h_step = w / intervals;
  const float v_step = h / intervals;
  BuildContour(point_count, segment_count, points, segments, [&](ContourLists& lists) {
    // The sides start a third of the height down and crowd at their top.
    const float ys = y0 + h / 3;
    SampleVerticalRun(lists, x0, ys, h, y0 + h, v_step, ys, 1, 0, 0);
    SampleVerticalRun(lists, x0 + w, ys, h, y0 + h, v_step, ys, -1, 0, 0);
    SampleHorizontalRun(lists, y0 + h, x0, w, x0 + w, h_step, 0, 0, -1, 0);
  });
}

void BuildWindowContour(uint32_t* point_count, uint32_t* segment_count, ContourPoint** points,
                        ContourSegment** segments, float x0, float y0, float w, float h) {
  const float pw = w / 2;
  const float ph = h / 2;
  const float h_step = pw / 2;
  const float v_step = ph / 2;
  BuildContour(point_count, segment_count, points, segments, [&](ContourLists& lists) {
    // Panes top-left, bottom-left, bottom-right, top-right; each grows
    // inwards from its four sides.
    const float corners[4][2] = {{x0, y0}, {x0, y0 + ph}, {x0 + pw, y0 + ph}, {x0 + pw, y0}};
    for (const auto& corner : corners) {
      const float px = corner[0];
      const float py = corner[1];
      SampleVerticalRun(lists, px, py, ph, py + ph, v_step, py + ph / 2, 1, 0, 0);
      SampleVerticalRun(lists, px + pw, py, ph, py + ph, v_step, py + ph / 2, -1, 0, 0);
      SampleHorizontalRun(lists, py + ph, px, pw, px + pw, h_step, px + pw / 2, 0, -1, 0);
      SampleHorizontalRun(lists, py, px, pw, px + pw, h_step, px + pw / 2, 0, 1, 0);
    }
  });
}
