#include "growth/seed_walk.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Truncation toward zero that saturates instead of overflowing.
int32_t TruncToInt(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0f) return INT32_MAX;
  if (value <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// The smallest step along a seed line, in pixels.
constexpr float kShortestStep = 0.25f;

// The walk of one seed segment before its first step.
struct SegmentWalk {
  float len = 0;       // walk length
  float interval = 0;  // v
  float x = 0, y = 0;  // start point
  float nx = 0, ny = 0;
  float step = 0;  // s
  float dx = 0, dy = 0;
  double X[4] = {}, Y[4] = {};  // custom-path segment
};

// Sets up the walk of contour segment i; false when it grows nothing.
bool StartContourSegment(const SeedWalkValues& values, const SeedWalkBuild& build, float w,
                         const SeedLines& seeds, int32_t i, int rule, SegmentWalk* walk) {
  const ContourSegment& segment = seeds.segments[i];
  walk->len = segment.step * 400 / w;
  walk->interval = walk->len / build.contourIntervalDivisor;
  walk->nx = segment.nx;
  walk->ny = segment.ny;
  ApplyDirectionRule(rule, &walk->nx, &walk->ny);
  if (!(walk->len > 0 && values.density > 0)) return false;
  const ContourPoint& a = seeds.points[segment.first];
  const ContourPoint& b = seeds.points[segment.second];
  walk->x = a.x;
  walk->y = a.y;
  const float ux = (b.x - a.x) / walk->len;
  const float uy = (b.y - a.y) / walk->len;
  walk->step =
      std::max(std::min(values.density / build.contourStepDivisor, walk->len), kShortestStep);
  walk->dx = ux * walk->step;
  walk->dy = uy * walk->step;
  return true;
}

void StartPathSegment(float w, const SeedPath& path, int32_t i, SegmentWalk* walk) {
  const double share = path.fractions[i];
  walk->len = static_cast<float>(share * w);
  walk->interval = static_cast<float>(share * 2);
  PathSegmentControls(path, i, walk->X, walk->Y);
}

// Point, direction and displacement of the step at the distance walked along
// a custom-path segment.
void FollowPath(const SeedWalkValues& values, float hw, float hh, int rule, float walked,
                SegmentWalk* walk) {
  double px, py, tx, ty;
  BezierPointTangentAtLength(walked / walk->len, walk->X, walk->Y, &px, &py, &tx, &ty);
  walk->x = static_cast<float>(px - hw);
  walk->y = static_cast<float>(py - hh);
  walk->step = std::min(std::max(values.density / 10, kShortestStep), walk->len);
  double norm = std::sqrt(tx * tx + ty * ty);
  if (norm == 0) norm = 1;
  walk->nx = static_cast<float>(-ty / norm);
  walk->ny = static_cast<float>(tx / norm);
  ApplyDirectionRule(rule, &walk->nx, &walk->ny);
  double qx, qy;
  BezierPointAtLength((walked + walk->step) / walk->len, walk->X, walk->Y, &qx, &qy);
  walk->dx = static_cast<float>(qx - hw) - walk->x;
  walk->dy = static_cast<float>(qy - hh) - walk->y;
}

}  // namespace

GrowthCounts CountGrowingSegments(int32_t n, float completeness, float distance) {
  GrowthCounts counts;
  const float a = static_cast<float>(n) * completeness / 100.0f;
  counts.full = TruncToInt(a);
  counts.q = a - static_cast<float>(counts.full);
  const int64_t grown = counts.q > 0 ? int64_t{counts.full} + 1 : int64_t{counts.full};
  counts.lastFraction = counts.q > 0 ? counts.q : 1.0f;
  counts.extra = TruncToInt(static_cast<float>(n) * (distance / 100.0f));
  const int64_t count = std::min<int64_t>(grown + counts.extra, n);
  counts.count = static_cast<int32_t>(std::max<int64_t>(count, 0));
  return counts;
}

SegmentFade FadeOfSegment(const GrowthCounts& counts, int32_t i) {
  SegmentFade fade;
  if (i == counts.count - 1 && counts.extra == 0) fade.walk = counts.lastFraction;
  if (i >= counts.full && counts.extra != 0) {
    const float extra = static_cast<float>(counts.extra);
    fade.s0 = 1.0f - static_cast<float>(int64_t{i} - counts.full) / extra;
    fade.s1 = 1.0f - static_cast<float>(int64_t{i} + 1 - counts.full) / extra;
  }
  return fade;
}

bool SizeAlongSegment(const GrowthCounts& counts, const SegmentFade& fade, int32_t i, float walked,
                      float len, float L0, float W0, float kept_length, float kept_width,
                      float* length, float* width) {
  const float f = fade.walk;
  if (!((f < 1 && len != 0) || i >= counts.full)) {
    *length = kept_length;
    *width = kept_width;
    return true;
  }
  const float p = walked / len;
  if (i >= counts.full) {
    float m = fade.s1 * p + fade.s0 * (1 - p);
    if (counts.extra > 0) m += counts.q / static_cast<float>(counts.extra);
    m = std::min(std::max(m, 0.0f), 1.0f);
    *length = L0 * m;
    *width = W0 * m;
  } else {
    *length = L0;
    *width = W0;
  }
  if (f < 1) {
    if (p > f) return false;
    if (f != 0) {
      const float r = std::min((f - p) / f + f * f, 1.0f);
      *length *= r;
      *width *= r;
    }
  }
  return true;
}

int DirectionRuleOfSegment(int direction, int32_t i) {
  constexpr int kAllDirections = 8;
  return direction == kAllDirections ? static_cast<int>(i % 7) : direction;
}

void ApplyDirectionRule(int rule, float* nx, float* ny) {
  switch (rule) {
    case 2:
      *nx = -*nx;
      *ny = -*ny;
      break;
    case 3:
      *nx = std::fabs(*nx);
      *ny = std::fabs(*ny);
      break;
    case 4:
      *nx = -*nx;
      break;
    case 5:
      *ny = -*ny;
      break;
    case 6:
      *nx = std::fabs(*nx);
      break;
    case 7:
      *ny = std::fabs(*ny);
      break;
    default:
      break;
  }
}

void WalkSeedLines(const SeedWalkValues& values, int32_t width, int32_t height,
                   const SeedLines& seeds, SeedWalkBuild& build) {
  const GrowthCounts counts =
      CountGrowingSegments(seeds.count, values.completeness, values.completenessDistance);
  const bool on_contour = seeds.points && seeds.segments;
  const bool on_path = seeds.path.vertices && seeds.path.fractions;
  if (!on_contour && !on_path) return;
  const float w = static_cast<float>(width);
  const float hw = static_cast<float>(width / 2);
  const float hh = static_cast<float>(height / 2);
  for (int32_t i = 0; i < counts.count; ++i) {
    const SegmentFade fade = FadeOfSegment(counts, i);
    const int rule = DirectionRuleOfSegment(values.direction, i);
    SegmentWalk walk;
    if (on_contour) {
      if (!StartContourSegment(values, build, w, seeds, i, rule, &walk)) continue;
    } else {
      StartPathSegment(w, seeds.path, i, &walk);
    }
    float walked = 0;
    if (!(walked < walk.len)) continue;

    const SegmentSizes sizes = build.SizeSegment(values, walk.interval, w);
    build.BeginSegment(i);
    float length = sizes.length;
    float wd = sizes.width;
    do {
      if (!SizeAlongSegment(counts, fade, i, walked, walk.len, sizes.length, sizes.width,
                            sizes.keptLength, sizes.keptWidth, &length, &wd)) {
        break;
      }
      if (on_path) FollowPath(values, hw, hh, rule, walked, &walk);
      const float next_x = walk.x + walk.dx;
      const float next_y = walk.y + walk.dy;
      build.Grow(GrowthStep{i, walk.x, walk.y, next_x, next_y, walk.nx, walk.ny, walk.step, length,
                            wd, sizes.turn});
      walk.x = next_x;
      walk.y = next_y;
      walked += walk.step;
    } while (walked < walk.len);
  }
}
