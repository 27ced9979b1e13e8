// Straight lines of the Rough and Line draw modes and of the one-colour
// outlines.
#include "engine/lines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

#include "engine/bands.h"
#include "engine/coverage.h"
#include "engine/geometry.h"
#include "engine/scene_state.h"

namespace {

// How the shaded lines drawn on this thread are drawn.
thread_local LinePass tLines;

// Half-band limit: beyond it every pixel of any frame is reached anyway.
constexpr double kBandLimit = 67108864.0;

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
  const float end = static_cast<double>(limit) < static_cast<double>(kLineCoordLimit)
                        ? static_cast<float>(limit)
                        : kLineCoordLimit;
  while (t < me && t < end) {
    plot(t, ns + (t - ms) * slope);
    t = t + 1.0f;
  }
}

// Keeps the part of the segment inside the square of half-side kLineCoordLimit;
// false when none of it is.
bool ClipToLimit(float& x0, float& y0, float& x1, float& y1) {
  const double px = x0, py = y0, dx = static_cast<double>(x1) - px,
               dy = static_cast<double>(y1) - py;
  double lo = 0.0, hi = 1.0;
  const double limit = kLineCoordLimit;
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

// The pixels a wide line visits: those of the columns lo[0] .. hi[0] and
// rows lo[1] .. hi[1] that it examines, in the order it examines them. A
// pixel outside may be left out only when visiting it changes nothing.
struct Window {
  int lo[2], hi[2];
};

// Every position a line can examine lies within this distance of the origin:
// its ends within kLineCoordLimit, its band within kBandLimit beyond them.
constexpr int kEverywhere = 1 << 30;

constexpr Window kEveryPixel = {{-kEverywhere, -kEverywhere}, {kEverywhere, kEverywhere}};

// The frame widened by reach pixels on every side; every pixel for a reach
// too large to bound anything.
Window FrameWithin(double reach) {
  if (!(reach < kEverywhere)) return kEveryPixel;
  const int r = static_cast<int>(std::ceil(reach));
  return {{-r, -r}, {Zwidth - 1 + r, Zheight - 1 + r}};
}

// The window's pixels in the frame's columns and the rows of this thread's band.
Window InBand(const Window& window) {
  const RowSpan rows = DrawableRows();
  return {{std::max(window.lo[0], 0), std::max(window.lo[1], rows.first)},
          {std::min(window.hi[0], Zwidth - 1), std::min(window.hi[1], rows.end - 1)}};
}

// The first and last of the positions start, start + step, ... (count of
// them, step 1 or -1) that lie within lo .. hi; none when first lies past last.
struct Run {
  int first, last, step;
  double Count() const { return std::max(step * (static_cast<double>(last) - first) + 1.0, 0.0); }
};

Run PositionsWithin(int start, int step, int count, int lo, int hi) {
  if (count <= 0) return {start, start - step, step};
  Run r{start, start + step * (count - 1), step};
  if (step > 0) {
    r.first = std::max(r.first, lo);
    r.last = std::min(r.last, hi);
  } else {
    r.first = std::min(r.first, hi);
    r.last = std::max(r.last, lo);
  }
  return r;
}

// The positions start, start + step, ... (count of them) that lie within
// lo .. hi, in that order.
template <typename Visit>
void ForEachPosition(int start, int step, int count, int lo, int hi, Visit visit) {
  const Run r = PositionsWithin(start, step, count, lo, hi);
  if (step > 0)
    for (int p = r.first; p <= r.last; ++p) visit(p);
  else
    for (int p = r.first; p >= r.last; --p) visit(p);
}

// The Bresenham walk of a wide line: at step i the position along the major
// axis is major0 + i * major_step; the minor axis moves by minor_step whenever
// the float error term, which starts at 2 minor - major, is not negative
// before the major step, and the error then falls by 2 major; every major
// step adds 2 minor. While 2 major stays within 2^24 every error value is a
// whole number that a float holds exactly, and any step's state follows in
// closed form; longer walks are stepped through one by one, rounding as they go.
class BresenhamWalk {
 public:
  BresenhamWalk(int major, int minor, int major0, int minor0, int major_step, int minor_step)
      : major_(major),
        minor_(minor),
        minor0_(minor0),
        minorStep_(minor_step),
        exact_(2LL * major <= (1LL << 24)),
        majorAt_(major0),
        minorAt_(minor0),
        majorStep_(major_step),
        err_(static_cast<float>(2 * minor - major)) {}

  int majorAt() const { return majorAt_; }
  int minorAt() const { return minorAt_; }
  int minorStep() const { return minorStep_; }
  bool exact() const { return exact_; }

  // The minor position at step i, in closed form (exact walks, or step 0).
  int MinorAt(long long i) const { return minor0_ + minorStep_ * static_cast<int>(MinorSteps(i)); }

  void Next() {
    while (err_ >= 0.0f) {
      minorAt_ += minorStep_;
      err_ -= static_cast<float>(2 * major_);
    }
    majorAt_ += majorStep_;
    err_ += static_cast<float>(2 * minor_);
    ++step_;
  }

  // Moves on to step i, at or after the current one.
  void Seek(int i) {
    if (!exact_) {
      while (step_ < i) Next();
      return;
    }
    const long long steps = MinorSteps(i);
    majorAt_ += majorStep_ * (i - step_);
    minorAt_ = minor0_ + minorStep_ * static_cast<int>(steps);
    err_ = static_cast<float>(2LL * minor_ - major_ + 2LL * minor_ * i - 2LL * major_ * steps);
    step_ = i;
  }

 private:
  // Minor steps taken before step i: each step j leaves the error
  // 2 minor - major + 2 minor j, less 2 major for every minor step so far,
  // within -2 major .. 0, so the count after step j is that sum divided by
  // 2 major, rounded down, plus one.
  long long MinorSteps(long long i) const {
    if (i == 0) return 0;
    const long long sum = 2LL * minor_ - major_ + 2LL * minor_ * (i - 1);
    const long long twice = 2LL * major_;
    const long long quotient = sum >= 0 ? sum / twice : -((-sum + twice - 1) / twice);
    return quotient + 1;
  }

  int major_, minor_, minor0_, minorStep_;
  bool exact_;
  int majorAt_, minorAt_, majorStep_;
  float err_;
  int step_ = 0;
};

// In a walk too long to be exact, the rounded error term moves the minor
// steps from where whole numbers would put them by at most about 8 per step
// over 2 major >= 2^24, that is 16 positions for the longest walk; far
// less than this margin.
constexpr double kRoundingDrift = 64.0;

// Steps first .. last of the walk narrowed to those whose minor position
// lies within lo .. hi. The minor position moves one way only: in an exact
// walk the ends are found by halving; a longer one keeps every step within
// kRoundingDrift of the range along the straight line i * minor / major.
void NarrowToMinor(const BresenhamWalk& walk, int major, int minor, int lo, int hi, int& first,
                   int& last) {
  if (first > last) return;
  if (!walk.exact()) {
    const double start = walk.MinorAt(0);
    const double near = lo - kRoundingDrift - start, beyond = hi + kRoundingDrift - start;
    if (minor == 0) {
      if (near > 0.0 || beyond < 0.0) first = last + 1;
      return;
    }
    // Steps at which the line is within near .. beyond of the start.
    const double per_step = walk.minorStep() * static_cast<double>(minor) / major;
    const double a = near / per_step, b = beyond / per_step;
    const double from = std::floor(std::min(a, b)) - 1.0, to = std::ceil(std::max(a, b)) + 1.0;
    if (from > last || to < first) {
      first = last + 1;
      return;
    }
    if (from > first) first = static_cast<int>(from);
    if (to < last) last = static_cast<int>(to);
    return;
  }
  const bool rising = walk.minorStep() > 0;
  const auto before = [&](long long i) {
    const int m = walk.MinorAt(i);
    return rising ? m < lo : m > hi;
  };
  const auto within = [&](long long i) {
    const int m = walk.MinorAt(i);
    return m >= lo && m <= hi;
  };
  // The first step not before the range, then the last step within it.
  long long a = first, b = static_cast<long long>(last) + 1;
  while (a < b) {
    const long long mid = (a + b) / 2;
    if (before(mid))
      a = mid + 1;
    else
      b = mid;
  }
  if (a > last || !within(a)) {
    first = last + 1;
    return;
  }
  long long c = a, d = last;
  while (c < d) {
    const long long mid = (c + d + 1) / 2;
    if (within(mid))
      c = mid;
    else
      d = mid - 1;
  }
  first = static_cast<int>(a);
  last = static_cast<int>(c);
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
// runs before every pixel drawn; with skip_uncovered, only before those the
// segment covers (with _Quality 0, before every one). Pixels outside the
// frame are never drawn, and those outside the window are not visited at
// all: the walk goes straight to the steps whose pixels lie inside it. The
// pass decides the rest: with a budget, a line that would visit more of the
// window than is left of it draws nothing; with a reckoning, the line only
// adds what it would take and the rows it can reach; in a band, it visits
// only the window's pixels in the band's rows.
template <typename Shade>
void DrawWideLine(float x0, float y0, float x1, float y1, float line_width, unsigned char* target,
                  unsigned char* source, const Window& window, const LinePass& pass, Ink ink,
                  bool skip_uncovered, Shade shade) {
  if (WideLineIsEmpty(x0, y0, x1, y1)) return;
  if ((std::fabs(x0) > kLineCoordLimit || std::fabs(y0) > kLineCoordLimit ||
       std::fabs(x1) > kLineCoordLimit || std::fabs(y1) > kLineCoordLimit) &&
      !ClipToLimit(x0, y0, x1, y1))
    return;

  const double band = static_cast<double>(line_width) + 2.5;
  // A negative band examines nothing; a huge one already reaches the whole frame.
  const int W = band > 0.0 ? static_cast<int>(std::fmin(band, kBandLimit)) : 0;
  const int x = static_cast<int>(x0);
  const int y = static_cast<int>(y0);
  const int dx = static_cast<int>(x1 - x0);
  const int dy = static_cast<int>(y1 - y0);
  if (dx == 0 && dy == 0) return;

  float a, b, c;
  __LineCoefs(x0, y0, x1, y1, &a, &b, &c);
  const float q = a * a + b * b;
  const float s = std::sqrt(q);

  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  const bool x_major = std::abs(dy) <= std::abs(dx);
  const int major = x_major ? std::abs(dx) : std::abs(dy);
  const int minor = x_major ? std::abs(dy) : std::abs(dx);
  // Axis 0 is x, 1 is y; the walk runs along axis M and steps across on axis N.
  const int M = x_major ? 0 : 1, N = 1 - M;
  const int start[2] = {x, y}, dir[2] = {sx, sy};
  BresenhamWalk walk(major, minor, start[M], start[N], dir[M], dir[N]);
  const auto pixel = [&](int along, int across, auto visit) {
    if (x_major)
      visit(along, across);
    else
      visit(across, along);
  };

  // The steps first .. last whose major position lies in a window, and
  // whose band (or, with _Quality 0, whose one pixel) can reach it across;
  // and whether the end cap, about the point one step past the walk, can
  // reach it.
  struct Steps {
    int first, last;
    bool endCap;
  };
  const int reach = _Quality != 0 ? W : 0;
  const long long end_major = start[M] + static_cast<long long>(dir[M]) * (major + 1);
  const auto steps_within = [&](const Window& w) {
    // Positions and the window's sides lie within 2^31 of each other.
    const int from_lo = dir[M] * (w.lo[M] - start[M]);
    const int from_hi = dir[M] * (w.hi[M] - start[M]);
    Steps steps{std::max(0, std::min(from_lo, from_hi)),
                std::min(major, std::max(from_lo, from_hi)),
                _Quality != 0 && end_major + W >= w.lo[M] && end_major - W <= w.hi[M]};
    NarrowToMinor(walk, major, minor, w.lo[N] - reach, w.hi[N] + reach, steps.first, steps.last);
    return steps;
  };
  Steps steps = steps_within(window);

  if (pass.budget || pass.reckoning) {
    // At most what the line visits: a cap's columns along the walk that lie
    // in the window, and each step's band, each held to the window across.
    // Every count is a whole number, so any sum of them below 2^53 is exact.
    const double across =
        _Quality != 0 ? std::min(2.0 * W, static_cast<double>(window.hi[N]) - window.lo[N] + 1.0)
                      : 1.0;
    const auto cap_visits = [&](int centre, int step) {
      return PositionsWithin(centre - step * W, step, 2 * W, window.lo[M], window.hi[M]).Count() *
             across;
    };
    double visits = steps.first <= steps.last
                        ? (static_cast<double>(steps.last) - steps.first + 1.0) * across
                        : 0.0;
    if (_Quality != 0) visits += cap_visits(start[M], dir[M]);
    if (steps.endCap) visits += cap_visits(static_cast<int>(end_major), -dir[M]);
    if (pass.reckoning) {
      // The walk, one step past it and both caps keep within W rows of the
      // segment's rows, and of the truncated ends; a walk too long to be
      // exact strays a little further.
      const double margin = W + (walk.exact() ? 4.0 : kRoundingDrift);
      pass.reckoning->Add(visits, std::min(y0, y1) - margin, std::max(y0, y1) + margin);
      return;
    }
    if (!pass.budget->Take(visits)) return;
  }
  const Window visit = pass.inBand ? InBand(window) : window;
  if (pass.inBand) steps = steps_within(visit);

  auto with_coverage = [&](int px, int py) {
    const float fx = static_cast<float>(px), fy = static_cast<float>(py);
    const float coverage = EdgeCoverage(a, b, c, q, s, fx, fy, line_width, x0, y0, x1, y1);
    if (coverage == 0.0f && skip_uncovered) return;
    shade(px, py, ink);
    PlotCoverage(ink.opacity, target, source, ink.r, ink.g, ink.b, fx, fy, coverage);
  };
  // A cap: rows from cy - sign * W towards cy + sign * W, each row's columns likewise.
  auto cap = [&](int cx, int cy, int col_step, int row_step) {
    ForEachPosition(cy - row_step * W, row_step, 2 * W, visit.lo[1], visit.hi[1], [&](int py) {
      ForEachPosition(cx - col_step * W, col_step, 2 * W, visit.lo[0], visit.hi[0],
                      [&](int px) { with_coverage(px, py); });
    });
  };

  if (_Quality != 0) cap(x, y, sx, sy);
  if (steps.first <= steps.last) {
    walk.Seek(steps.first);
    for (int i = steps.first; i <= steps.last; ++i) {
      if (_Quality == 0) {
        pixel(walk.majorAt(), walk.minorAt(), [&](int px, int py) {
          // A walk too long to be exact may take a few steps beside the window.
          if (px < visit.lo[0] || px > visit.hi[0] || py < visit.lo[1] || py > visit.hi[1]) return;
          shade(px, py, ink);
          __BlendPixel(ink.opacity, target, source, ink.r, ink.g, ink.b, px, py, ink.opacity);
        });
      } else {
        ForEachPosition(
            walk.minorAt() - dir[N] * W, dir[N], 2 * W, visit.lo[N], visit.hi[N], [&](int across) {
              pixel(walk.majorAt(), across, [&](int px, int py) { with_coverage(px, py); });
            });
      }
      walk.Next();
    }
  }
  if (!steps.endCap) return;
  // The end cap runs the other way round.
  walk.Seek(major + 1);
  pixel(walk.majorAt(), walk.minorAt(), [&](int ex, int ey) { cap(ex, ey, -sx, -sy); });
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

double WideLineReach(float width) {
  return std::fabs(static_cast<double>(width)) + 2.5 + kRoundingDrift + 4.0;
}

bool ShadedLinesKeepToBand() { return tLines.inBand && tLines.budget == nullptr; }

ShadedLineBudget::ShadedLineBudget(int width, int height)
    : budget_(kLineVisitsPerPixel, width, height), outer_(tLines) {
  tLines = {&budget_, nullptr, false};
}

ShadedLineBudget::~ShadedLineBudget() { tLines = outer_; }

LineReckoning::LineReckoning() : outer_(tLines) { tLines = {nullptr, this, false}; }

LineReckoning::~LineReckoning() { tLines = outer_; }

void LineReckoning::Add(double visits, double first_row, double last_row) {
  visits_ += visits;
  // A line reaching none of the frame's rows changes no pixel.
  const double first = std::ceil(std::fmax(first_row, 0.0));
  const double last = std::floor(std::fmin(last_row, Zheight - 1.0));
  if (visits == 0.0 || !(first <= last)) return;
  firstRow_ = std::min(firstRow_, static_cast<int>(first));
  lastRow_ = std::max(lastRow_, static_cast<int>(last));
}

BandLines::BandLines(DrawBudget* budget) : outer_(tLines) { tLines = {budget, nullptr, true}; }

BandLines::~BandLines() { tLines = outer_; }

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
  if (!LineEndsFinite(x0, y0, x1, y1)) return;
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

void __DrawLineShaded(float x0, float x1, float y0, float y1, float line_width,
                      unsigned char* target, unsigned char* source, int, int, __Texture* textures,
                      material3ds* materials, int material_count, __Triangle3ds* triangle, int,
                      __Point3ds*, int cx, int cy, float plane_a, float plane_b, float plane_c,
                      float plane_d, int light_count, light3ds* lights, GlassProp* glass) {
  const Ink start{static_cast<float>(__MaxChannel), 0.0f, 0.0f, 1.0f};
  const float centre_x = static_cast<float>(cx);
  const float centre_y = static_cast<float>(cy);
  // The hook sees every examined pixel in reach of the frame: an installed
  // shader may act anywhere, the engine's own only as far as its glass reaches.
  const Window window = __RenderOnePixel == __DefRenderOnePixel
                            ? FrameWithin(DefaultShaderReach(triangle, material_count, glass))
                            : kEveryPixel;
  DrawWideLine(x0, y0, x1, y1, line_width, target, source, window, tLines, start,
               OwnShaderWritesNothing(), [&](int px, int py, Ink& ink) {
                 __Point normal{-plane_a, -plane_b, -plane_c};
                 ink.opacity = __RenderOnePixel(
                     centre_x, centre_y, target, source,
                     static_cast<float>(static_cast<long long>(px) - cx),
                     static_cast<float>(static_cast<long long>(py) - cy), 0.0f, triangle, materials,
                     material_count, ink.r, ink.g, ink.b, &normal, 0, 0.0f, 0.0f, textures,
                     light_count, lights, nullptr, glass, plane_a, plane_b, plane_c, plane_d);
               });
}

void __DrawLineColor(uint32_t red, uint32_t green, uint32_t blue, float x0, float y0, float x1,
                     float y1, float line_width, unsigned char* target, unsigned char* source, int,
                     int) {
  const Ink ink{static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), 1.0f};
  DrawWideLine(x0, y0, x1, y1, line_width, target, source, FrameWithin(0.0), LinePass{}, ink, true,
               [](int, int, Ink&) {});
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
                         __Texture* textures, material3ds* materials, int material_count,
                         __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                         int light_count, light3ds* lights, GlassProp* glass) {
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
                     materials, material_count, triangle, 3, v, cx, cy, nx, ny, nz, d, light_count,
                     lights, glass);
  }
}

void __DrawTriangleLineColor(float line_width, int red, int green, int blue, unsigned char* target,
                             unsigned char* source, int width, int height, __Triangle3ds* triangle,
                             __Point3ds* vertices, int cx, int cy) {
  __Point3ds v[3];
  CornerCopies(triangle, vertices, cx, cy, v);
  for (int k = 0; k < 3; ++k) {
    const __Point3ds& from = v[k];
    const __Point3ds& to = v[(k + 1) % 3];
    __DrawLineColor(static_cast<uint32_t>(red), static_cast<uint32_t>(green),
                    static_cast<uint32_t>(blue), from.x, from.y, to.x, to.y, line_width, target,
                    source, width, height);
  }
}
