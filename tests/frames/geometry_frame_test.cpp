// End to end: frames of the Geometry deliverable, rendered through the host
// library over the built-in picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "effect_frames.h"
#include "qf_host/world.h"

namespace {

using frames::FrameRequest;
using qfhost::HostWorld;

long DrawnPixels(const FrameRequest& request, const HostWorld& frame) {
  return frames::DifferingPixels(frame, frames::SourceOf(request));
}

// The default "U-like" seed lines grow crystals over a large share of the frame.
TEST(GeometryFrame, DefaultFrameGrowsAndRepeatsExactly) {
  FrameRequest request;
  frames::EffectInstance geometry(frames::kGeometry);
  const HostWorld first = geometry.Render(request);
  EXPECT_GT(DrawnPixels(request, first), static_cast<long>(request.width) * request.height / 4)
      << frames::SaveForInspection(first, "geometry_default");
  const uint64_t hash = frames::PixelHash(first);

  // Another frame in between, of another depth, mode and seed line, leaves
  // nothing behind; a fresh instance draws the same frame.
  FrameRequest other = request;
  other.deep = true;
  other.settings = {"Rendering mode=Line", "Mask kind=Window", "Random seed=7"};
  geometry.Render(other);
  EXPECT_EQ(frames::PixelHash(geometry.Render(request)), hash);
  EXPECT_EQ(frames::PixelHash(frames::RenderFrame(request, frames::kGeometry)), hash);
}

// A "Length" of 0 is raised to the smallest size: the seed triangles and the
// fans still grow at every step.
TEST(GeometryFrame, LengthZeroStillGrows) {
  FrameRequest request;
  request.settings = {"Length=0"};
  const HostWorld frame = frames::RenderFrame(request, frames::kGeometry);
  EXPECT_GT(DrawnPixels(request, frame), static_cast<long>(request.width) * request.height / 50)
      << frames::SaveForInspection(frame, "geometry_length0");
}

// The 16-bit default frame lays the same relief and differs from the 8-bit
// one by the channels' rounding only: on average under a level and a quarter,
// the most where the smoothed edges of the many small triangles round apart,
// which the relief adds at most a level or two to.
TEST(GeometryFrame, SixteenBitDefaultFrameMatchesItsEightBitFrame) {
  const frames::ReliefApart apart =
      frames::DefaultFrameApartAtTheTwoDepths(frames::kGeometry, "default Geometry frame");
  EXPECT_LT(apart.with_relief.mean, 1.25);
  EXPECT_LE(apart.with_relief.mean, apart.without_relief.mean + 0.01);
  EXPECT_LE(apart.with_relief.largest, apart.without_relief.largest + 2);
}

}  // namespace
