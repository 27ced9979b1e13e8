// The seed lines that a render grows its pattern from, and the rules both
// builds apply while walking them: how many lines grow under "Completeness"
// and "Completeness distance", how the last ones fade, and how "Grown
// direction" turns a line's growth direction.
#pragma once

#include <cstdint>

#include "AE_Effect.h"
#include "effect/mask_path.h"
#include "growth/contours.h"

// A built seed contour: its page-allocated arrays, freed on Release or at
// destruction, whichever comes first.
struct SeedContour {
    SeedContour() = default;
    SeedContour(const SeedContour&) = delete;
    SeedContour& operator=(const SeedContour&) = delete;
    ~SeedContour();
    void Release();

    uint32_t pointCount = 0;
    uint32_t segmentCount = 0;
    ContourPoint* points = nullptr;
    ContourSegment* segments = nullptr;
};

// Where the seed lines of one render come from: a contour for mask kinds 1
// to 6, the custom path for kind 7, nothing otherwise.
struct SeedLines {
    int32_t count = 0;  // n: seed segments that could grow
    const SeedContour* contour = nullptr;
    const CustomPath* path = nullptr;
};

// Lays the seed lines of the mask kind on a W x H frame whose origin is at
// (W div 2, H div 2): builds the contour into contour, or reads the custom
// path path_id into path.
SeedLines LaySeedLines(PF_InData* in_data, int mask_kind, PF_PathID path_id, int32_t width,
                       int32_t height, SeedContour* contour, CustomPath* path);

// How many of n seed segments grow.
struct GrowthCounts {
    int32_t full = 0;     // segments grown whole before any fades
    int32_t extra = 0;    // fading segments after them
    int32_t count = 0;    // segments 0 to count - 1 grow
    float q = 0;          // the part of a segment beyond full
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
bool SizeAlongSegment(const GrowthCounts& counts, const SegmentFade& fade, int32_t i,
                      float walked, float len, float L0, float W0, float kept_length,
                      float kept_width, float* length, float* width);

// The direction rule of segment i under "Grown direction" G: with "ALL
// directions" (8) the segments cycle through rules 0 to 6.
int DirectionRuleOfSegment(int direction, int32_t i);
// Turns the growth direction (nx, ny) by rule 2 to 7; other rules keep it.
void ApplyDirectionRule(int rule, float* nx, float* ny);
