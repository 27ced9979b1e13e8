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
Channel ClampChannel(float v, float maxChannel) {
  if (!(v >= 0.0f)) v = 0.0f;  // a NaN colour stores as 0 too
  if (v > maxChannel) v = maxChannel;
  return static_cast<Channel>(v);
}

template <typename Channel>
void BlendInto(Channel* pixel, float r, float g, float b, float coverage) {
  const float maxChannel = static_cast<float>(__MaxChannel);
  const float colour[3] = {r, g, b};
  if (coverage == 1.0f) {
    for (int k = 0; k < 3; ++k) pixel[k] = ClampChannel<Channel>(colour[k], maxChannel);
    pixel[3] = static_cast<Channel>(__MaxChannel);
    return;
  }
  const float alpha = coverage * maxChannel;
  const Channel present = pixel[3];
  if (present == 0) {
    for (int k = 0; k < 3; ++k) pixel[k] = ClampChannel<Channel>(colour[k], maxChannel);
    pixel[3] = static_cast<Channel>(std::min(alpha, maxChannel));
    return;
  }
  const float keep = 1.0f - coverage;
  for (int k = 0; k < 3; ++k)
    pixel[k] = ClampChannel<Channel>(coverage * colour[k] + keep * static_cast<float>(pixel[k]),
                                     maxChannel);
  if (alpha > static_cast<float>(present)) pixel[3] = static_cast<Channel>(alpha);
}

// Coverage of the pixel by the edge's line alone.
float LineCoverage(float la, float lb, float lc, float abLength, float x, float y, float width) {
  float d = (la * x + lb * y + lc) / abLength;
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
  const float minX = std::min(x1, x2), maxX = std::max(x1, x2);
  const float minY = std::min(y1, y2), maxY = std::max(y1, y2);
  bool outside;
  if (maxX - minX < 0.0001f)
    outside = fy < minY || fy > maxY;
  else if (maxY - minY < 0.0001f)
    outside = fx < minX || fx > maxX;
  else
    outside = fx < minX || fx > maxX || fy < minY || fy > maxY;
  if (!outside) return true;

  const bool first =
      std::fabs(fx - x1) + std::fabs(fy - y1) < std::fabs(fx - x2) + std::fabs(fy - y2);
  const float ex = first ? x1 : x2;
  const float ey = first ? y1 : y2;
  const float d = std::sqrt((x - ex) * (x - ex) + (y - ey) * (y - ey));
  *cap = Clamp01(width - d);
  return false;
}

void PlotCoverage(float opacity, unsigned char* image, unsigned char* source, float r, float g,
                  float b, float x, float y, float coverage) {
  if (coverage != 0.0f)
    __BlendPixel(opacity, image, source, r, g, b, static_cast<int>(x), static_cast<int>(y),
                 coverage * opacity);
}

void StoreDepth(int depthIndex, float leaveDepth) {
  if (ZBuff != nullptr) ZBuff[depthIndex] = leaveDepth;
}

}  // namespace

float EdgeCoverage(float la, float lb, float lc, float ab2, float abLength, float x, float y,
                   float width, float x1, float y1, float x2, float y2) {
  // A segment shorter than about a tenth of a pixel covers nothing.
  if (!(std::fabs(ab2) > 0.01f)) return 0.0f;
  float cap;
  if (FootOnSegment(la, lb, lc, ab2, x, y, width, x1, y1, x2, y2, &cap))
    return LineCoverage(la, lb, lc, abLength, x, y, width);
  return cap;
}

void __AALinePixel(float opacity, unsigned char* image, unsigned char* source, float,
                   float leaveDepth, int depthIndex, float r, float g, float b, float la, float lb,
                   float lc, float abLength, float x, float y, float width, __Point*) {
  PlotCoverage(opacity, image, source, r, g, b, x, y,
               LineCoverage(la, lb, lc, abLength, x, y, width));
  StoreDepth(depthIndex, leaveDepth);
}

void __AAEdgePixel(float opacity, unsigned char* image, unsigned char* source, float,
                   float leaveDepth, int depthIndex, float r, float g, float b, float la, float lb,
                   float lc, float ab2, float abLength, float x, float y, float width, float x1,
                   float y1, float x2, float y2, __Point*) {
  PlotCoverage(opacity, image, source, r, g, b, x, y,
               EdgeCoverage(la, lb, lc, ab2, abLength, x, y, width, x1, y1, x2, y2));
  StoreDepth(depthIndex, leaveDepth);
}

void __AAEdgePixelNoDepth(float opacity, unsigned char* image, unsigned char* source, float r,
                          float g, float b, float la, float lb, float lc, float ab2, float abLength,
                          float x, float y, float width, float x1, float y1, float x2, float y2,
                          __Point*) {
  PlotCoverage(opacity, image, source, r, g, b, x, y,
               EdgeCoverage(la, lb, lc, ab2, abLength, x, y, width, x1, y1, x2, y2));
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
