// Coverage of pixels by edges and segments, and the coverage plot.
#include "engine/coverage.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "engine/scene_state.h"

int __RowBytes = 0;
int __MaxChannel = 255;

void __LineCoefs(float x1, float y1, float x2, float y2, float* a, float* b, float* c) {
  *a = y2 - y1;
  *b = x1 - x2;
  *c = -*a * x1 - *b * y1;
}

namespace {

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

template <typename Channel>
Channel ClampChannel(float v, float max_channel) {
  if (!(v >= 0.0f)) v = 0.0f;  // a NaN colour stores as 0 too
  if (v > max_channel) v = max_channel;
  return static_cast<Channel>(v);
}

template <typename Channel>
void BlendInto(Channel* pixel, float r, float g, float b, float coverage) {
  const float max_channel = static_cast<float>(__MaxChannel);
  const float colour[3] = {r, g, b};
  if (coverage == 1.0f) {
    for (int k = 0; k < 3; ++k) pixel[k] = ClampChannel<Channel>(colour[k], max_channel);
    pixel[3] = static_cast<Channel>(__MaxChannel);
    return;
  }
  const float alpha = coverage * max_channel;
  const Channel present = pixel[3];
  if (present == 0) {
    for (int k = 0; k < 3; ++k) pixel[k] = ClampChannel<Channel>(colour[k], max_channel);
    pixel[3] = static_cast<Channel>(std::min(alpha, max_channel));
    return;
  }
  const float keep = 1.0f - coverage;
  for (int k = 0; k < 3; ++k)
    pixel[k] = ClampChannel<Channel>(coverage * colour[k] + keep * static_cast<float>(pixel[k]),
                                     max_channel);
  if (alpha > static_cast<float>(present)) pixel[3] = static_cast<Channel>(alpha);
}

// Coverage of the pixel by the edge's line alone.
float LineCoverage(float la, float lb, float lc, float ab_length, float x, float y, float width) {
  float d = (la * x + lb * y + lc) / ab_length;
  if (_DrawMode <= 2) {
    d = std::fabs(d);
  } else if (d < 0.0f) {
    // Filled modes: the band just inside the edge is fully covered, the
    // interior beyond it is left to the filler's span.
    d = -d < 0.5f ? 0.0f : width;
  }
  return Clamp01(width - d);
}

// Coverage by the segment: true when the pixel's foot lies on the segment,
// which leaves the coverage to the line; otherwise the round cap's coverage
// in *cap.
bool FootOnSegment(float la, float lb, float lc, float ab2, float x, float y, float width, float x1,
                   float y1, float x2, float y2, float* cap) {
  const float t = (la * x + lb * y + lc) / ab2;
  float at = la * t;
  float bt = lb * t;
  if (la == 0.0f || lb == 0.0f) {
    if (std::fabs(at) < 0.0001f) at = 0.0f;
    if (std::fabs(bt) < 0.0001f) bt = 0.0f;
  }
  const float fx = x - at;
  const float fy = y - bt;
  const float min_x = std::min(x1, x2), max_x = std::max(x1, x2);
  const float min_y = std::min(y1, y2), max_y = std::max(y1, y2);
  bool outside;
  if (max_x - min_x < 0.0001f)
    outside = fy < min_y || fy > max_y;
  else if (max_y - min_y < 0.0001f)
    outside = fx < min_x || fx > max_x;
  else
    outside = fx < min_x || fx > max_x || fy < min_y || fy > max_y;
  if (!outside) return true;

  const bool first =
      std::fabs(fx - x1) + std::fabs(fy - y1) < std::fabs(fx - x2) + std::fabs(fy - y2);
  const float ex = first ? x1 : x2;
  const float ey = first ? y1 : y2;
  const float d = std::sqrt((x - ex) * (x - ex) + (y - ey) * (y - ey));
  *cap = Clamp01(width - d);
  return false;
}

void StoreDepth(int depth_index, float leave_depth) {
  if (ZBuff != nullptr) ZBuff[depth_index] = leave_depth;
}

}  // namespace

void PlotCoverage(float opacity, unsigned char* image, unsigned char* source, float r, float g,
                  float b, float x, float y, float coverage) {
  if (coverage != 0.0f)
    __BlendPixel(opacity, image, source, r, g, b, static_cast<int>(x), static_cast<int>(y),
                 coverage * opacity);
}

float EdgeCoverage(float la, float lb, float lc, float ab2, float ab_length, float x, float y,
                   float width, float x1, float y1, float x2, float y2) {
  // A segment shorter than about a tenth of a pixel covers nothing.
  if (!(std::fabs(ab2) > 0.01f)) return 0.0f;
  float cap;
  if (FootOnSegment(la, lb, lc, ab2, x, y, width, x1, y1, x2, y2, &cap))
    return LineCoverage(la, lb, lc, ab_length, x, y, width);
  return cap;
}

void __AALinePixel(float opacity, unsigned char* image, unsigned char* source, float,
                   float leave_depth, int depth_index, float r, float g, float b, float la,
                   float lb, float lc, float ab_length, float x, float y, float width, __Point*) {
  PlotCoverage(opacity, image, source, r, g, b, x, y,
               LineCoverage(la, lb, lc, ab_length, x, y, width));
  StoreDepth(depth_index, leave_depth);
}

void __AAEdgePixel(float opacity, unsigned char* image, unsigned char* source, float,
                   float leave_depth, int depth_index, float r, float g, float b, float la,
                   float lb, float lc, float ab2, float ab_length, float x, float y, float width,
                   float x1, float y1, float x2, float y2, __Point*) {
  PlotCoverage(opacity, image, source, r, g, b, x, y,
               EdgeCoverage(la, lb, lc, ab2, ab_length, x, y, width, x1, y1, x2, y2));
  StoreDepth(depth_index, leave_depth);
}

void __AAEdgePixelNoDepth(float opacity, unsigned char* image, unsigned char* source, float r,
                          float g, float b, float la, float lb, float lc, float ab2,
                          float ab_length, float x, float y, float width, float x1, float y1,
                          float x2, float y2, __Point*) {
  PlotCoverage(opacity, image, source, r, g, b, x, y,
               EdgeCoverage(la, lb, lc, ab2, ab_length, x, y, width, x1, y1, x2, y2));
}

void __BlendPixel(float, unsigned char* image, unsigned char*, float r, float g, float b, int x,
                  int y, float coverage) {
  if (x < 0 || x >= Zwidth || y < 0 || y >= Zheight) return;
  if (!(coverage > 0.0f)) return;
  coverage = std::min(coverage, 1.0f);
  const ptrdiff_t first = static_cast<ptrdiff_t>(y) * __RowBytes + 4 * static_cast<ptrdiff_t>(x);
  if (_Deep != 0)
    BlendInto(reinterpret_cast<uint16_t*>(image) + first, r, g, b, coverage);
  else
    BlendInto(image + first, r, g, b, coverage);
}
