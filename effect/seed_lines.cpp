#include "effect/seed_lines.h"

#include <algorithm>
#include <climits>

namespace {

// The "Mask kind" choices: a contour for each of the first six.
enum MaskKind { kBottom = 1, kTop, kTopAndBottom, kPerimeter, kULike, kWindow, kCustomPath };

// The U-like contour starts from this many points per run.
constexpr uint32_t kULikePointsPerRun = 6;

}  // namespace

void SeedContour::Release() {
  points.reset();
  segments.reset();
  pointCount = 0;
  segmentCount = 0;
}

SeedLines LaySeedLines(PF_InData* in_data, int mask_kind, PF_PathID path_id, int32_t width,
                       int32_t height, SeedContour* contour, CustomPath* path) {
  SeedLines seeds;
  if (mask_kind == kCustomPath) {
    seeds.count = ReadCustomPath(in_data, path_id, path);
    seeds.path = SeedPathOf(*path);
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
  ContourPoint* built_points = nullptr;
  ContourSegment* built_segments = nullptr;
  ContourPoint** points = &built_points;
  ContourSegment** segments = &built_segments;
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
  contour->points.reset(built_points);
  contour->segments.reset(built_segments);
  // Without both arrays there is nothing to walk.
  if (contour->points && contour->segments) {
    seeds.count = static_cast<int32_t>(std::min<uint32_t>(contour->segmentCount, INT32_MAX));
    seeds.points = contour->points.get();
    seeds.segments = contour->segments.get();
  }
  return seeds;
}
