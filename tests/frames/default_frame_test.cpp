// End to end: the Floral deliverable's default frame and its stages, rendered
// through the host library over the built-in picture, as a host renders them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "effect_frames.h"
#include "qf_host/image.h"
#include "qf_host/world.h"

namespace {

using frames::FrameRequest;
using frames::SamePixel;
using qfhost::HostWorld;

// The default mask kind, "U-like", grows the ornament up both sides of the
// frame and along a band across its lower half. The block between the two
// stands, above the band, stays clear of it: the sky of the built-in picture.
struct Block {
  int x0, y0, x1, y1;  // x0 <= x < x1, y0 <= y < y1
};
Block ClearUpperMiddle(const FrameRequest& request) {
  return {request.width * 35 / 100, 0, request.width * 65 / 100, request.height * 2 / 5};
}

// Pixels of the block in which the two worlds differ.
long DifferingIn(const Block& b, const HostWorld& a, const HostWorld& c) {
  long n = 0;
  for (int y = b.y0; y < b.y1; ++y)
    for (int x = b.x0; x < b.x1; ++x) n += !SamePixel(a, c, x, y);
  return n;
}

// Frames in which the ornament stays where the default frame grows it.
void ExpectUpperMiddleUntouched(const FrameRequest& request, const HostWorld& frame,
                                const std::string& what) {
  EXPECT_EQ(DifferingIn(ClearUpperMiddle(request), frame, frames::SourceOf(request)), 0)
      << what << " drew between the stands; see " << frames::SaveForInspection(frame, what);
}

TEST(DefaultFrame, OrnamentCoversTheUAndLeavesTheSkyBetweenItsStands) {
  for (bool deep : {false, true}) {
    SCOPED_TRACE(deep ? "16-bit" : "8-bit");
    FrameRequest request;
    request.deep = deep;
    const HostWorld source = frames::SourceOf(request);
    const HostWorld frame = frames::RenderFrame(request);

    std::vector<int> changed_in_row(request.height), changed_in_column(request.width);
    long changed = 0;
    const uint16_t opaque = deep ? 32768 : 255;
    for (int y = 0; y < request.height; ++y)
      for (int x = 0; x < request.width; ++x) {
        ASSERT_EQ(frame.channel(x, y, 0), opaque)
            << "over an opaque picture the frame stays opaque";
        if (SamePixel(frame, source, x, y)) continue;
        ++changed;
        ++changed_in_row[y];
        ++changed_in_column[x];
      }
    // The stands reach the top and the band reaches across: every row and
    // every column holds ornament, well over half the frame.
    EXPECT_GT(changed, static_cast<long>(request.width) * request.height / 2);
    EXPECT_EQ(std::count(changed_in_row.begin(), changed_in_row.end(), 0), 0);
    EXPECT_EQ(std::count(changed_in_column.begin(), changed_in_column.end(), 0), 0);
    ExpectUpperMiddleUntouched(request, frame, deep ? "default16" : "default8");
  }
}

TEST(DefaultFrame, GlassAndBumpEachChangeTheOrnamentOnly) {
  FrameRequest request;
  frames::EffectInstance floral;
  const HostWorld both = floral.Render(request);
  request.settings = {"Glass=off"};
  const HostWorld no_glass = floral.Render(request);
  request.settings = {"Bump percent=0"};
  const HostWorld no_bump = floral.Render(request);
  request.settings = {"Glass=off", "Bump percent=0"};
  const HostWorld neither = floral.Render(request);

  // Each stage changes nearly every pixel of the ornament, which covers
  // about two thirds of the frame.
  const long half = static_cast<long>(request.width) * request.height / 2;
  EXPECT_GT(frames::DifferingPixels(both, neither), half);
  EXPECT_GT(frames::DifferingPixels(both, no_glass), half);
  EXPECT_GT(frames::DifferingPixels(no_bump, neither), half);
  EXPECT_GT(frames::DifferingPixels(both, no_bump), half);
  EXPECT_GT(frames::DifferingPixels(no_glass, neither), half);
  ExpectUpperMiddleUntouched(request, no_glass, "no_glass");
  ExpectUpperMiddleUntouched(request, no_bump, "no_bump");
  ExpectUpperMiddleUntouched(request, neither, "neither");
}

TEST(DefaultFrame, ReflectionLayerIsSeenInTheOrnament) {
  FrameRequest request;
  // Any picture will do, of any size.
  const HostWorld picture = qfhost::WorldFromImage(qfhost::BuiltInSource(96, 54), request.deep);
  frames::EffectInstance floral;
  const HostWorld plain = floral.Render(request);
  request.reflection = &picture;
  const HostWorld reflecting = floral.Render(request);
  EXPECT_GT(frames::DifferingPixels(plain, reflecting),
            static_cast<long>(request.width) * request.height / 2);
  ExpectUpperMiddleUntouched(request, reflecting, "reflecting");

  // At 0 percent the layer is read and blended in at no weight.
  request.settings = {"Reflection percent=0"};
  EXPECT_EQ(frames::DifferingPixels(plain, floral.Render(request)), 0);
}

TEST(DefaultFrame, SameParametersGiveTheSameFrame) {
  FrameRequest request;
  frames::EffectInstance floral;
  const uint64_t first = frames::PixelHash(floral.Render(request));
  EXPECT_EQ(frames::PixelHash(floral.Render(request)), first);

  // Frames of other sizes, depths, modes and layers in between leave nothing
  // behind that the next frame would see.
  FrameRequest other;
  other.width = 200;
  other.height = 260;
  other.deep = true;
  other.settings = {"Render mode=Line", "Mask kind=Window"};
  const HostWorld picture = qfhost::WorldFromImage(qfhost::BuiltInSource(50, 50), true);
  other.reflection = &picture;
  floral.Render(other);
  other.settings = {"Render mode=Rough"};
  floral.Render(other);
  EXPECT_EQ(frames::PixelHash(floral.Render(request)), first);

  // A second instance, its sequence data taken while the first still holds
  // its own, draws the same frame: nothing depends on what the memory of a
  // new host handle happened to hold.
  EXPECT_EQ(frames::PixelHash(frames::RenderFrame(request)), first);
}

// With every pixel drawn at full coverage (no edge smoothing at low quality),
// the two depths shade alike: the shader works in the same floats and only
// the channels' last rounding differs. The glass stage tints a refracted
// sample of the source, which at 8 bits already carries a rounding of its
// own, and the widened relief one more, so there the roundings meet. Both
// depths lay the same relief, so it stays on.
TEST(DefaultFrame, EightAndSixteenBitsAgreeWhereTheOrnamentIsOpaque) {
  for (bool glass : {false, true}) {
    SCOPED_TRACE(glass ? "glass" : "no glass");
    FrameRequest request;
    request.quality = PF_Quality_LO;
    request.settings = {glass ? "Glass=on" : "Glass=off"};
    const HostWorld frame8 = frames::RenderFrame(request);
    request.deep = true;
    const HostWorld frame16 = frames::RenderFrame(request);
    const HostWorld source16 = frames::SourceOf(request);

    // Rounding apart; the Windows build's pattern meets 2 without glass.
    const int tolerance = glass ? 3 : 2;
    long ornament = 0;
    int worst = 0;
    for (int y = 0; y < request.height; ++y)
      for (int x = 0; x < request.width; ++x) {
        ornament += !SamePixel(frame16, source16, x, y);
        for (int c = 0; c < 4; ++c)
          worst = std::max(worst, frames::LevelsApart(frame8, frame16, x, y, c));
      }
    EXPECT_GT(ornament, static_cast<long>(request.width) * request.height / 2);
    EXPECT_LE(worst, tolerance);
  }
}

// The default frame as it ships (high quality, relief and glass on): the
// relief adds nothing on average to what the depths differ by without it,
// where the smoothed edges round apart. The largest difference is printed
// only: a single edge pixel decides it.
TEST(DefaultFrame, SixteenBitDefaultFrameMatchesItsEightBitFrame) {
  const frames::ReliefApart apart =
      frames::DefaultFrameApartAtTheTwoDepths(frames::kFloral, "default frame");
  EXPECT_LT(apart.with_relief.mean, 1.25);
  EXPECT_LE(apart.with_relief.mean, apart.without_relief.mean + 0.01);
}

}  // namespace
