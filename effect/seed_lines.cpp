#include "effect/seed_lines.h"

#include <windows.h>

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

void FreePages(void* block) {
    if (block) VirtualFree(block, 0, MEM_RELEASE);
}

// The "Mask kind" choices: a contour for each of the first six.
enum MaskKind { kBottom = 1, kTop, kTopAndBottom, kPerimeter, kULike, kWindow, kCustomPath };

// The U-like contour starts from this many points per run.
constexpr uint32_t kULikePointsPerRun = 6;

}  // namespace

SeedContour::~SeedContour() { Release(); }

void SeedContour::Release() {
    FreePages(points);
    FreePages(segments);
    points = nullptr;
    segments = nullptr;
    pointCount = 0;
    segmentCount = 0;
}

SeedLines LaySeedLines(PF_InData* in_data, int mask_kind, PF_PathID path_id, int32_t width,
                       int32_t height, SeedContour* contour, CustomPath* path) {
    SeedLines seeds;
    if (mask_kind == kCustomPath) {
        seeds.count = ReadCustomPath(in_data, path_id, path);
        seeds.path = path;
        return seeds;
    }
    if (mask_kind < kBottom || mask_kind > kWindow) return seeds;

    contour->Release();
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float hw = static_cast<float>(width / 2);
    const float hh = static_cast<float>(height / 2);
    uint32_t* pc = &contour->pointCount;
    uint32_t* sc = &contour->segmentCount;
    ContourPoint** points = &contour->points;
    ContourSegment** segments = &contour->segments;
    *pc = mask_kind == kULike ? kULikePointsPerRun : 0;
    switch (mask_kind) {
        case kBottom:
            BuildLineContour(pc, sc, points, segments, -hw, w, h - hh, -1.0f);
            break;
        case kTop:
            BuildLineContour(pc, sc, points, segments, -hw, w, -hh, 1.0f);
            break;
        case kTopAndBottom:
            BuildTopAndBottomContour(pc, sc, points, segments, -hw, w, -hh, hh);
            break;
        case kPerimeter:
            BuildPerimeterContour(pc, sc, points, segments, -hw, -hh, w, h);
            break;
        case kULike:
            BuildULikeContour(pc, sc, points, segments, -hw, -hh, w, h);
            break;
        default:
            BuildWindowContour(pc, sc, points, segments, -hw, -hh, w, h);
            break;
    }
    // Without both arrays there is nothing to walk.
    if (contour->points && contour->segments) {
        seeds.count = static_cast<int32_t>(std::min<uint32_t>(contour->segmentCount, INT32_MAX));
    }
    seeds.contour = contour;
    return seeds;
}

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

bool SizeAlongSegment(const GrowthCounts& counts, const SegmentFade& fade, int32_t i,
                      float walked, float len, float L0, float W0, float kept_length,
                      float kept_width, float* length, float* width) {
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
