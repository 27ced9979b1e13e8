#include "growth/contours.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Contour {
  uint32_t point_count = 0, segment_count = 0;
  ContourPoint* points = nullptr;
  ContourSegment* segments = nullptr;
  ~Contour() {
    if (points != nullptr) VirtualFree(points, 0, MEM_RELEASE);
    if (segments != nullptr) VirtualFree(segments, 0, MEM_RELEASE);
  }
};

using Builder = void (*)(uint32_t*, uint32_t*, ContourPoint**, ContourSegment**, float, float,
                         float, float);

// Builds a contour and checks what holds for every one: each segment joins
// consecutive points of one straight run with the run's direction, and stores
// the gap from its second point to the next point. Returns the run lengths.
std::vector<uint32_t> Build(Contour& c, Builder build, float a, float b, float cc, float d,
                            uint32_t n = 0) {
  c.point_count = n;
  build(&c.point_count, &c.segment_count, &c.points, &c.segments, a, b, cc, d);
  std::vector<bool> continues(c.point_count, false);
  for (uint32_t i = 0; i < c.segment_count; ++i) {
    const ContourSegment& s = c.segments[i];
    EXPECT_EQ(s.second, s.first + 1);
    EXPECT_LT(s.second, c.point_count);
    const ContourPoint& p = c.points[s.first];
    const ContourPoint& q = c.points[s.second];
    EXPECT_TRUE(p.x == q.x || p.y == q.y);
    EXPECT_TRUE(s.nx == p.dx && s.ny == p.dy && q.dx == p.dx && q.dy == p.dy);
    if (i + 1 < c.segment_count && c.segments[i + 1].first == s.second) {
      const ContourPoint& r = c.points[s.second + 1];
      const float gap = std::fabs(r.x - q.x) + std::fabs(r.y - q.y);
      EXPECT_NEAR(s.step, gap, 1e-3f * gap);
    }
    continues[s.first] = true;
  }
  std::vector<uint32_t> runs;
  uint32_t length = 0;
  for (uint32_t i = 0; i < c.point_count; ++i) {
    ++length;
    if (!continues[i]) {
      runs.push_back(length);
      length = 0;
    }
  }
  return runs;
}

TEST(LineContour, BottomOfFullHdFrame) {
  Contour c;
  EXPECT_EQ(Build(c, BuildLineContour, -960, 1920, 540, -1), std::vector<uint32_t>{16});
  ASSERT_EQ(c.segment_count, 15u);
  EXPECT_EQ(c.points[0].x, -960.0f);
  EXPECT_NEAR(c.points[1].x, -470.4f, 1e-3f);
  EXPECT_NEAR(c.points[15].x, 868.8f, 0.05f);
  for (uint32_t i = 0; i < 16; ++i) EXPECT_TRUE(c.points[i].y == 540 && c.points[i].dy == -1);
  // The stored step is the gap after the second point, not the segment's length.
  EXPECT_NEAR(c.segments[0].step, 244.8f, 1e-3f);
  EXPECT_NEAR(c.points[1].x - c.points[0].x, 489.6f, 1e-3f);
  EXPECT_GT(c.points[15].x + c.segments[14].step, 960.0f);
}

TEST(LineContour, OddWidthAndTwoLines) {
  Contour line, both;
  Build(line, BuildLineContour, -960, 1921, -540, 1);
  EXPECT_LE(line.points[line.point_count - 1].x, 960.5f);
  EXPECT_GT(line.points[line.point_count - 1].x + line.segments[line.segment_count - 1].step,
            960.5f);
  EXPECT_EQ(Build(both, BuildTopAndBottomContour, -960, 1920, -540, 540),
            (std::vector<uint32_t>{16, 16}));
  EXPECT_TRUE(both.points[0].y == -540 && both.points[0].dy == 1);
  EXPECT_TRUE(both.points[16].y == 540 && both.points[16].dy == -1);
}

TEST(FrameContour, PerimeterULikeAndWindow) {
  Contour perimeter, u, window, odd;
  EXPECT_EQ(Build(perimeter, BuildPerimeterContour, -960, -540, 1920, 1080),
            std::vector<uint32_t>(4, 16));
  EXPECT_EQ(perimeter.segment_count, 60u);
  for (uint32_t i = 0; i < 15; ++i) EXPECT_EQ(perimeter.segments[i].nx, 1.0f);  // left first
  EXPECT_EQ(perimeter.points[32].y, 540.0f);

  EXPECT_EQ(Build(u, BuildULikeContour, -960, -540, 1920, 1080, 6),
            (std::vector<uint32_t>{24, 24, 40}));
  EXPECT_EQ(u.points[0].y, -180.0f);  // sides start a third down, crowded at the top
  EXPECT_LT(u.points[1].y - u.points[0].y, u.points[23].y - u.points[22].y);

  EXPECT_EQ(Build(window, BuildWindowContour, -960, -540, 1920, 1080),
            std::vector<uint32_t>(16, 16));
  EXPECT_EQ(window.segment_count, 240u);
  EXPECT_TRUE(window.points[64].x == -960 && window.points[64].y == 0);    // bottom-left pane
  EXPECT_TRUE(window.points[192].x == 0 && window.points[192].y == -540);  // top-right pane

  Build(odd, BuildPerimeterContour, -960, -540, 1921, 1081);  // runs to x0 + w
  EXPECT_EQ(odd.points[odd.point_count / 4].x, 961.0f);
}

TEST(FrameContour, ZeroSizeTerminates) {
  Contour c;
  EXPECT_EQ(Build(c, BuildLineContour, 0, 0, 0, 1), std::vector<uint32_t>{1});
  EXPECT_EQ(c.segments, nullptr);
}

}  // namespace
