// Straight lines of the Rough and Line draw modes and of the one-colour
// outlines.
#include "engine/lines.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>

#include "engine/coverage.h"
#include "engine/geometry.h"
#include "engine/scene_state.h"

namespace {

// Floats lose whole pixels beyond 2^24, and larger values no longer truncate
// safely into the integer walks; lines are kept within this distance of the origin.
constexpr float kCoordLimit = 16777216.0f;
// Half-band limit: beyond it every pixel of any frame is reached anyway.
constexpr double kBandLimit = 67108864.0;

bool Finite(float x0, float y0, float x1, float y1) {
  return std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1);
}

// One-pixel walk along the major axis from the end with the smaller major
// coordinate; plot receives (major, minor) positions. Positions that cannot
// land inside 0 .. limit - 1 after truncation are skipped without walking them.
template <typename Plot>
void RoughWalk(float ms, float ns, float me, float ne, int limit, Plot plot) {
  const float slope = (ne - ns) / (me - ms);
  float t = ms;
  if (!(t > -1.0f)) {
    // The first position past -1, the same one the unit steps reach: on
    // the way up to 0 each step is exact.
    const double skip = std::floor(-1.0 - static_cast<double>(ms)) + 1.0;
    t = static_cast<float>(static_cast<double>(ms) + skip);
  }
  // Past the far side nothing lands; beyond 2^24 a unit step would stall.
  const float end = static_cast<double>(limit) < static_cast<double>(kCoordLimit)
                        ? static_cast<float>(limit)
                        : kCoordLimit;
  while (t < me && t < end) {
    plot(t, ns + (t - ms) * slope);
    t = t + 1.0f;
  }
}

// Keeps the part of the segment inside the square of half-side kCoordLimit;
// false when none of it is.
bool ClipToLimit(float& x0, float& y0, float& x1, float& y1) {
  const double px = x0, py = y0, dx = static_cast<double>(x1) - px,
               dy = static_cast<double>(y1) - py;
  double lo = 0.0, hi = 1.0;
  const double limit = kCoordLimit;
  // Each side p * t <= q of the square.
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {px + limit, limit - px, py + limit, limit - py};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0) {
      if (q[k] < 0.0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0.0) {
      if (t > lo) lo = t;
    } else if (t < hi) {
      hi = t;
    }
  }
  if (lo > hi) return false;
  x0 = static_cast<float>(px + lo * dx);
  y0 = static_cast<float>(py + lo * dy);
  x1 = static_cast<float>(px + hi * dx);
  y1 = static_cast<float>(py + hi * dy);
  return true;
}

// The positions start, start + step, ... (count of them), visited in that
// order; with frameOnly, only those that lie within the frame's 0 .. size - 1.
template <typename Visit>
void ForEachPosition(int start, int step, int count, int size, bool frameOnly, Visit visit) {
  if (count <= 0) return;
  if (!frameOnly) {
    for (int i = 0, p = start; i < count; ++i, p += step) visit(p);
    return;
  }
  int first = start, last = start + step * (count - 1);
  if (step > 0) {
    if (first < 0) first = 0;
    if (last > size - 1) last = size - 1;
    for (int p = first; p <= last; ++p) visit(p);
  } else {
    if (first > size - 1) first = size - 1;
    if (last < 0) last = 0;
    for (int p = first; p >= last; --p) visit(p);
  }
}

// Colour and opacity of one line pixel; shade updates them before the pixel is drawn.
struct Ink {
  float r, g, b;
  float opacity;
};

// The wide anti-aliased line: a Bresenham walk from (x0, y0) with a band of
// 2W pixels across it at every walked point and a 2W x 2W cap around each
// end, each examined pixel blended with its coverage by the segment (or, with
// _Quality 0, the bare walk blended with the opacity). shade(px, py, ink)
// runs before every pixel drawn. Pixels outside the frame are never drawn;
// with frameOnly they are not visited at all, which suits a line whose shade
// does nothing there.
template <typename Shade>
void DrawWideLine(float x0, float y0, float x1, float y1, float lineWidth, unsigned char* target,
                  unsigned char* source, bool frameOnly, Ink ink, Shade shade) {
  if (!Finite(x0, y0, x1, y1)) return;
  if ((std::fabs(x0) > kCoordLimit || std::fabs(y0) > kCoordLimit || std::fabs(x1) > kCoordLimit ||
       std::fabs(y1) > kCoordLimit) &&
      !ClipToLimit(x0, y0, x1, y1))
    return;

  const double band = static_cast<double>(lineWidth) + 2.5;
  // A negative band examines nothing; a huge one already reaches the whole frame.
  const int W = band > 0.0 ? static_cast<int>(std::fmin(band, kBandLimit)) : 0;
  int x = static_cast<int>(x0);
  int y = static_cast<int>(y0);
  const int dx = static_cast<int>(x1 - x0);
  const int dy = static_cast<int>(y1 - y0);
  if (dx == 0 && dy == 0) return;

  float a, b, c;
  __LineCoefs(x0, y0, x1, y1, &a, &b, &c);
  const float q = a * a + b * b;
  const float s = std::sqrt(q);

  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  const bool xMajor = std::abs(dy) <= std::abs(dx);
  const int major = xMajor ? std::abs(dx) : std::abs(dy);
  const int minor = xMajor ? std::abs(dy) : std::abs(dx);
  float err = static_cast<float>(2 * minor - major);

  auto withCoverage = [&](int px, int py) {
    shade(px, py, ink);
    __AAEdgePixelNoDepth(ink.opacity, target, source, ink.r, ink.g, ink.b, a, b, c, q, s,
                         static_cast<float>(px), static_cast<float>(py), lineWidth, x0, y0, x1, y1,
                         nullptr);
  };
  // A cap: rows from cy - sign * W towards cy + sign * W, each row's columns likewise.
  auto cap = [&](int cx, int cy, int colStep, int rowStep) {
    ForEachPosition(cy - rowStep * W, rowStep, 2 * W, Zheight, frameOnly, [&](int py) {
      ForEachPosition(cx - colStep * W, colStep, 2 * W, Zwidth, frameOnly,
                      [&](int px) { withCoverage(px, py); });
    });
  };

  if (_Quality != 0) cap(x, y, sx, sy);
  for (int i = 0; i <= major; ++i) {
    if (_Quality == 0) {
      if (!frameOnly || (x >= 0 && x < Zwidth && y >= 0 && y < Zheight)) {
        shade(x, y, ink);
        __BlendPixel(ink.opacity, target, source, ink.r, ink.g, ink.b, x, y, ink.opacity);
      }
    } else if (xMajor) {
      if (!frameOnly || (x >= 0 && x < Zwidth))
        ForEachPosition(y - sy * W, sy, 2 * W, Zheight, frameOnly,
                        [&](int py) { withCoverage(x, py); });
    } else if (!frameOnly || (y >= 0 && y < Zheight)) {
      ForEachPosition(x - sx * W, sx, 2 * W, Zwidth, frameOnly,
                      [&](int px) { withCoverage(px, y); });
    }
    while (err >= 0.0f) {
      if (xMajor)
        y += sy;
      else
        x += sx;
      err -= static_cast<float>(2 * major);
    }
    if (xMajor)
      x += sx;
    else
      y += sy;
    err += static_cast<float>(2 * minor);
  }
  // The end cap runs the other way round, about the point one step past the walk.
  if (_Quality != 0) cap(x, y, -sx, -sy);
}

// The three vertices of the triangle, moved by the scene centre into image coordinates.
void CornerCopies(const __Triangle3ds* triangle, const __Point3ds* vertices, int cx, int cy,
                  __Point3ds* copies) {
  copies[0] = vertices[triangle->a];
  copies[1] = vertices[triangle->b];
  copies[2] = vertices[triangle->c];
  for (int k = 0; k < 3; ++k) {
    copies[k].x += static_cast<float>(cx);
    copies[k].y += static_cast<float>(cy);
  }
}

}  // namespace

void __PlotInverted(unsigned char* target, unsigned char* source, int width, int height, float x,
                    float y) {
  // Truncation puts (-1, 0) into column or row 0; the test in double is exact.
  if (!(x > -1.0f) || !(y > -1.0f)) return;
  if (!(static_cast<double>(x) < width) || !(static_cast<double>(y) < height)) return;
  const ptrdiff_t ix = static_cast<int>(x);
  const ptrdiff_t iy = static_cast<int>(y);
  const ptrdiff_t offset = (ix + iy * width) * 4 * (_Deep != 0 ? 2 : 1);
  unsigned char* out = target + offset;
  const unsigned char* in = source + offset;
  const uint32_t full = static_cast<uint32_t>(__MaxChannel);
  __SetChannel(out, 3, full);
  // A 16-bit source value above full inverts to 0 rather than wrapping to a
  // value above full, which no image may hold.
  for (int k = 0; k < 3; ++k) {
    const uint32_t value = __GetChannel(in, k);
    __SetChannel(out, k, value < full ? full - value : 0u);
  }
}

void __DrawLineRough(float x0, float y0, float x1, float y1, unsigned char* target,
                     unsigned char* source, int width, int height) {
  if (!Finite(x0, y0, x1, y1)) return;
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  if (dx == 0.0f && dy == 0.0f) return;
  if (std::fabs(dx) > std::fabs(dy)) {
    const bool forward = x0 < x1;
    RoughWalk(forward ? x0 : x1, forward ? y0 : y1, forward ? x1 : x0, forward ? y1 : y0, width,
              [&](float px, float py) { __PlotInverted(target, source, width, height, px, py); });
  } else {
    const bool forward = y0 < y1;
    RoughWalk(forward ? y0 : y1, forward ? x0 : x1, forward ? y1 : y0, forward ? x1 : x0, height,
              [&](float py, float px) { __PlotInverted(target, source, width, height, px, py); });
  }
}

void __DrawLineShaded(float x0, float x1, float y0, float y1, float lineWidth,
                      unsigned char* target, unsigned char* source, int, int, __Texture* textures,
                      material3ds* materials, int materialCount, __Triangle3ds* triangle, int,
                      __Point3ds*, int cx, int cy, float planeA, float planeB, float planeC,
                      float planeD, int lightCount, light3ds* lights, GlassProp* glass) {
  const Ink start{static_cast<float>(__MaxChannel), 0.0f, 0.0f, 1.0f};
  const float centreX = static_cast<float>(cx);
  const float centreY = static_cast<float>(cy);
  // The hook sees every examined pixel, also outside the frame: an installed
  // shader, or the default one's glass, may act there.
  DrawWideLine(
      x0, y0, x1, y1, lineWidth, target, source, false, start, [&](int px, int py, Ink& ink) {
        __Point normal{-planeA, -planeB, -planeC};
        ink.opacity = __RenderOnePixel(
            centreX, centreY, target, source, static_cast<float>(static_cast<long long>(px) - cx),
            static_cast<float>(static_cast<long long>(py) - cy), 0.0f, triangle, materials,
            materialCount, ink.r, ink.g, ink.b, &normal, 0, 0.0f, 0.0f, textures, lightCount,
            lights, nullptr, glass, planeA, planeB, planeC, planeD);
      });
}

void __DrawLineColor(uint32_t red, uint32_t green, uint32_t blue, float x0, float y0, float x1,
                     float y1, float lineWidth, unsigned char* target, unsigned char* source, int,
                     int) {
  const Ink ink{static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), 1.0f};
  DrawWideLine(x0, y0, x1, y1, lineWidth, target, source, true, ink, [](int, int, Ink&) {});
}

void __DrawTriangleRough(unsigned char* target, unsigned char* source, int width, int height,
                         __Texture*, material3ds*, int, __Triangle3ds* triangle,
                         __Point3ds* vertices, int cx, int cy, int, light3ds*, GlassProp*) {
  __Point3ds v[3];
  CornerCopies(triangle, vertices, cx, cy, v);
  for (int k = 0; k < 3; ++k) {
    const __Point3ds& from = v[k];
    const __Point3ds& to = v[(k + 1) % 3];
    __DrawLineRough(from.x, from.y, to.x, to.y, target, source, width, height);
  }
}

void __DrawTriangleLines(unsigned char* target, unsigned char* source, int width, int height,
                         __Texture* textures, material3ds* materials, int materialCount,
                         __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                         int lightCount, light3ds* lights, GlassProp* glass) {
  __Point3ds v[3];
  CornerCopies(triangle, vertices, cx, cy, v);
  float nx, ny, nz;
  __TriangleNormal(v, &nx, &ny, &nz);
  float length = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (length == 0.0f) length = 1.0f;  // collinear corners: a zero normal
  nx /= length;
  ny /= length;
  nz /= length;
  const float d = -(nx * v[0].x + ny * v[0].y + nz * v[0].z);
  for (int k = 0; k < 3; ++k) {
    const __Point3ds& from = v[k];
    const __Point3ds& to = v[(k + 1) % 3];
    __DrawLineShaded(from.x, to.x, from.y, to.y, _WireSize, target, source, width, height, textures,
                     materials, materialCount, triangle, 3, v, cx, cy, nx, ny, nz, d, lightCount,
                     lights, glass);
  }
}

void __DrawTriangleLineColor(float lineWidth, int red, int green, int blue, unsigned char* target,
                             unsigned char* source, int width, int height, __Triangle3ds* triangle,
                             __Point3ds* vertices, int cx, int cy) {
  __Point3ds v[3];
  CornerCopies(triangle, vertices, cx, cy, v);
  for (int k = 0; k < 3; ++k) {
    const __Point3ds& from = v[k];
    const __Point3ds& to = v[(k + 1) % 3];
    __DrawLineColor(static_cast<uint32_t>(red), static_cast<uint32_t>(green),
                    static_cast<uint32_t>(blue), from.x, from.y, to.x, to.y, lineWidth, target,
                    source, width, height);
  }
}
