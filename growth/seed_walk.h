// The walk along the seed lines that both builds grow their patterns by: how
// many seed segments grow under "Completeness" and "Completeness distance",
// how the last ones fade, how "Grown direction" turns a segment's growth
// direction, and the steps along each segment. What differs between the
// builds (the sizes a segment starts with, the contour's interval and step,
// the reseeding and the generators) comes in through a SeedWalkBuild.
#pragma once

#include <cstdint>

#include "growth/contours.h"
#include "growth/seed_path.h"

// The seed lines of one render, as plain data owned elsewhere: a contour
// (both arrays set) or the custom path (path.vertices set); count is the
// number n of seed segments that could grow.
struct SeedLines {
  int32_t count = 0;
  const ContourPoint* points = nullptr;
  const ContourSegment* segments = nullptr;
  SeedPath path;
};

// The growth values the walk itself reads, in working units.
struct SeedWalkValues {
  float width = 0;                 // Wp
  float length = 0;                // Lp, in pixels
  float turn = 0;                  // Tp, in radians
  int direction = 0;               // G, "Grown direction"
  float density = 0;               // D, in pixels
  float completeness = 0;          // Cm, percent
  float completenessDistance = 0;  // Cx, percent
  float dependOnInterval = 0;      // P
};

// How many of n seed segments grow.
struct GrowthCounts {
  int32_t full = 0;        // segments grown whole before any fades
  int32_t extra = 0;       // fading segments after them
  int32_t count = 0;       // segments 0 to count - 1 grow
  float q = 0;             // the part of a segment beyond full
  float lastFraction = 1;  // share of the last segment walked when nothing fades
};
GrowthCounts CountGrowingSegments(int32_t n, float completeness, float distance);

// Walk fraction and fade ends of segment i.
struct SegmentFade {
  float walk = 1;  // f: the share of the segment walked
  float s0 = 1;    // size factor at the segment's start
  float s1 = 1;    // and at its end
};
SegmentFade FadeOfSegment(const GrowthCounts& counts, int32_t i);

// Sizes at the distance walked t_w along segment i of walk length len:
// fades L0 and W0 along the fading segments and the partly walked last one;
// elsewhere the sizes are kept_length and kept_width. Returns false where
// the partly walked last segment ends.
bool SizeAlongSegment(const GrowthCounts& counts, const SegmentFade& fade, int32_t i, float walked,
                      float len, float L0, float W0, float kept_length, float kept_width,
                      float* length, float* width);

// The direction rule of segment i under "Grown direction" G: with "ALL
// directions" (8) the segments cycle through rules 0 to 6.
int DirectionRuleOfSegment(int direction, int32_t i);
// Turns the growth direction (nx, ny) by rule 2 to 7; other rules keep it.
void ApplyDirectionRule(int rule, float* nx, float* ny);

// The sizes of a seed segment before its first step, after "Depend on
// interval": L0, W0 and the turn, and the sizes kept along a segment that is
// walked whole without fading.
struct SegmentSizes {
  float length = 0;  // L0
  float width = 0;   // W0
  float turn = 0;    // T
  float keptLength = 0;
  float keptWidth = 0;
};

// One growth step as the walk hands it on.
struct GrowthStep {
  int32_t segment;     // i
  float x, y;          // start point, frame coordinates about the centre
  float nextX, nextY;  // the next step's start point
  float nx, ny;        // growth direction after the direction rule
  float step;          // s, the distance to the next step along the segment
  float length;        // L
  float width;         // Wd
  float turn;          // T
};

// What one build's walk brings of its own.
class SeedWalkBuild {
 public:
  // On a contour segment of walk length len: interval value v = len /
  // interval_divisor and step s = D / step_divisor (at most len, at least 0.25).
  // Custom-path segments are the same for every build.
  SeedWalkBuild(float interval_divisor, float step_divisor)
      : contourIntervalDivisor(interval_divisor), contourStepDivisor(step_divisor) {}
  SeedWalkBuild(const SeedWalkBuild&) = delete;
  SeedWalkBuild& operator=(const SeedWalkBuild&) = delete;

  // Sizes of a segment with interval value v on a frame of width w.
  virtual SegmentSizes SizeSegment(const SeedWalkValues& values, float v, float w) const = 0;
  // Called before the first step of each segment that is walked.
  virtual void BeginSegment(int32_t i) = 0;
  // Called at every step; grows what the step grows.
  virtual void Grow(const GrowthStep& step) = 0;

  const float contourIntervalDivisor;
  const float contourStepDivisor;

 protected:
  ~SeedWalkBuild() = default;
};

// Walks the seed segments that "Completeness" admits, in index order, on a
// frame of width x height, and hands every growth step to build.
void WalkSeedLines(const SeedWalkValues& values, int32_t width, int32_t height,
                   const SeedLines& seeds, SeedWalkBuild& build);
