#include "growth/contours.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Owns the two arrays a builder hands out.
struct Contour {
    uint32_t pointCount = 0;
    uint32_t segmentCount = 0;
    ContourPoint* points = nullptr;
    ContourSegment* segments = nullptr;

    Contour() = default;
    Contour(const Contour&) = delete;
    Contour& operator=(const Contour&) = delete;
    ~Contour() {
        if (points != nullptr) VirtualFree(points, 0, MEM_RELEASE);
        if (segments != nullptr) VirtualFree(segments, 0, MEM_RELEASE);
    }
};

// Frame builders called the way the render does, for a W x H frame.
void BuildBottom(Contour& c, int W, int H) {
    const float hw = static_cast<float>(W / 2), hh = static_cast<float>(H / 2);
    BuildLineContour(&c.pointCount, &c.segmentCount, &c.points, &c.segments, -hw,
                     static_cast<float>(W), static_cast<float>(H) - hh, -1);
}

using FrameBuilder = void (*)(uint32_t*, uint32_t*, ContourPoint**, ContourSegment**, float, float,
                              float, float);

void BuildFrame(Contour& c, FrameBuilder build, int W, int H, uint32_t n = 0) {
    c.pointCount = n;
    build(&c.pointCount, &c.segmentCount, &c.points, &c.segments, -static_cast<float>(W / 2),
          -static_cast<float>(H / 2), static_cast<float>(W), static_cast<float>(H));
}

// Splits the points into runs: a run ends where no segment starts at its last point.
std::vector<uint32_t> RunLengths(const Contour& c) {
    std::vector<bool> starts(c.pointCount, false);
    for (uint32_t i = 0; i < c.segmentCount; ++i) starts[c.segments[i].first] = true;
    std::vector<uint32_t> runs;
    uint32_t length = 0;
    for (uint32_t i = 0; i < c.pointCount; ++i) {
        ++length;
        if (!starts[i]) {
            runs.push_back(length);
            length = 0;
        }
    }
    return runs;
}

// Every segment joins consecutive points of one run, carries the run's
// direction and the distance from its second point to the next one.
void ExpectWellFormed(const Contour& c) {
    for (uint32_t i = 0; i < c.pointCount; ++i) {
        EXPECT_EQ(c.points[i].valid, 1);
        EXPECT_EQ(c.points[i].z, 0.0f);
    }
    for (uint32_t i = 0; i < c.segmentCount; ++i) {
        const ContourSegment& s = c.segments[i];
        ASSERT_LT(s.second, c.pointCount);
        EXPECT_EQ(s.second, s.first + 1);
        EXPECT_EQ(s.valid, 1);
        const ContourPoint& a = c.points[s.first];
        const ContourPoint& b = c.points[s.second];
        EXPECT_EQ(a.dx, b.dx);
        EXPECT_EQ(a.dy, b.dy);
        EXPECT_EQ(s.nx, a.dx);
        EXPECT_EQ(s.ny, a.dy);
        EXPECT_TRUE(a.x == b.x || a.y == b.y) << "segment " << i << " is not straight";
        if (i + 1 < c.segmentCount && c.segments[i + 1].first == s.second) {
            const ContourPoint& next = c.points[s.second + 1];
            const float gap = std::fabs(next.x - b.x) + std::fabs(next.y - b.y);
            EXPECT_NEAR(s.step, gap, 1e-3f * gap) << "segment " << i;
        }
    }
}

TEST(LineContour, BottomOfFullHdFrame) {
    Contour c;
    BuildBottom(c, 1920, 1080);
    ASSERT_EQ(c.pointCount, 16u);
    ASSERT_EQ(c.segmentCount, 15u);
    EXPECT_EQ(c.points[0].x, -960.0f);
    EXPECT_NEAR(c.points[1].x, -470.4f, 1e-3f);
    EXPECT_NEAR(c.points[2].x, -225.6f, 1e-3f);
    EXPECT_NEAR(c.points[15].x, 868.8f, 0.05f);
    float narrowest = 1e9f;
    float narrowestAt = 0;
    for (uint32_t i = 0; i < c.pointCount; ++i) {
        EXPECT_EQ(c.points[i].y, 540.0f);
        EXPECT_EQ(c.points[i].dx, 0.0f);
        EXPECT_EQ(c.points[i].dy, -1.0f);
        if (i > 0 && c.points[i].x - c.points[i - 1].x < narrowest) {
            narrowest = c.points[i].x - c.points[i - 1].x;
            narrowestAt = c.points[i].x;
        }
    }
    EXPECT_LT(std::fabs(narrowestAt), 20.0f) << "points crowd around x = 0";
    ExpectWellFormed(c);
}

TEST(LineContour, StoredStepIsTheSpacingAfterTheSecondPoint) {
    Contour c;
    BuildBottom(c, 1920, 1080);
    ASSERT_EQ(c.segmentCount, 15u);
    const ContourSegment& s = c.segments[0];
    const float ownLength = c.points[s.second].x - c.points[s.first].x;
    EXPECT_NEAR(s.step, 244.8f, 1e-3f);
    EXPECT_NEAR(ownLength, 489.6f, 1e-3f);
    // The last segment keeps the step that carried the sampler past the end.
    const float last = c.points[15].x;
    EXPECT_GT(last + c.segments[14].step, 960.0f);
}

TEST(LineContour, OddWidthRunsToHalfWidth) {
    Contour line;
    BuildLineContour(&line.pointCount, &line.segmentCount, &line.points, &line.segments, -960,
                     1921, -540, 1);
    ASSERT_GT(line.pointCount, 1u);
    EXPECT_EQ(line.points[0].x, -960.0f);
    EXPECT_EQ(line.points[0].dy, 1.0f);
    EXPECT_LE(line.points[line.pointCount - 1].x, 960.5f);
    ExpectWellFormed(line);

    // The frame builders run from x0 to x0 + w instead: 961 on the right side.
    Contour frame;
    BuildFrame(frame, BuildPerimeterContour, 1921, 1081);
    bool rightSide = false;
    for (uint32_t i = 0; i < frame.pointCount; ++i)
        if (frame.points[i].dx == -1.0f) {
            EXPECT_EQ(frame.points[i].x, 961.0f);
            rightSide = true;
        }
    EXPECT_TRUE(rightSide);
}

TEST(LineContour, TopAndBottomRunsGrowTowardEachOther) {
    Contour c;
    BuildTopAndBottomContour(&c.pointCount, &c.segmentCount, &c.points, &c.segments, -960, 1920,
                             -540, 540);
    ASSERT_EQ(c.pointCount, 32u);
    ASSERT_EQ(c.segmentCount, 30u);
    EXPECT_EQ(RunLengths(c), (std::vector<uint32_t>{16, 16}));
    EXPECT_EQ(c.points[0].y, -540.0f);
    EXPECT_EQ(c.points[0].dy, 1.0f);
    EXPECT_EQ(c.points[16].y, 540.0f);
    EXPECT_EQ(c.points[16].dy, -1.0f);
    ExpectWellFormed(c);
}

TEST(FrameContour, PerimeterSidesInOrder) {
    Contour c;
    BuildFrame(c, BuildPerimeterContour, 1920, 1080);
    ASSERT_EQ(c.pointCount, 64u);
    ASSERT_EQ(c.segmentCount, 60u);
    EXPECT_EQ(RunLengths(c), (std::vector<uint32_t>{16, 16, 16, 16}));
    for (uint32_t i = 0; i < 15; ++i) EXPECT_EQ(c.segments[i].nx, 1.0f);  // left side first
    EXPECT_EQ(c.points[0].x, -960.0f);
    EXPECT_EQ(c.points[0].y, -540.0f);
    EXPECT_EQ(c.points[16].x, 960.0f);
    EXPECT_EQ(c.points[32].y, 540.0f);
    EXPECT_EQ(c.points[32].dy, -1.0f);
    EXPECT_EQ(c.points[48].y, -540.0f);
    EXPECT_EQ(c.points[48].dy, 1.0f);
    ExpectWellFormed(c);
}

TEST(FrameContour, ULikeWithSixGivesSidesFromAThirdDown) {
    Contour c;
    BuildFrame(c, BuildULikeContour, 1920, 1080, 6);
    ASSERT_EQ(c.pointCount, 88u);
    EXPECT_EQ(c.segmentCount, 85u);
    EXPECT_EQ(RunLengths(c), (std::vector<uint32_t>{24, 24, 40}));
    EXPECT_EQ(c.points[0].y, -180.0f);
    EXPECT_EQ(c.points[24].y, -180.0f);
    EXPECT_EQ(c.points[24].dx, -1.0f);
    // Crowded at the top of a side, thinning out downward.
    EXPECT_LT(c.points[1].y - c.points[0].y, c.points[23].y - c.points[22].y);
    EXPECT_EQ(c.points[48].y, 540.0f);
    ExpectWellFormed(c);
}

TEST(FrameContour, WindowHasSixteenSeparateRuns) {
    Contour c;
    BuildFrame(c, BuildWindowContour, 1920, 1080);
    ASSERT_EQ(c.pointCount, 256u);
    ASSERT_EQ(c.segmentCount, 240u);
    EXPECT_EQ(RunLengths(c), std::vector<uint32_t>(16, 16));
    for (uint32_t i = 0; i < c.segmentCount; ++i)
        EXPECT_NE(c.segments[i].second % 16, 0u) << "segment " << i << " joins two runs";
    // Second pane is the bottom-left one; the fourth the top-right one.
    EXPECT_EQ(c.points[64].x, -960.0f);
    EXPECT_EQ(c.points[64].y, 0.0f);
    EXPECT_EQ(c.points[192].x, 0.0f);
    EXPECT_EQ(c.points[192].y, -540.0f);
    ExpectWellFormed(c);
}

TEST(FrameContour, DegenerateSizeTerminates) {
    Contour c;
    BuildLineContour(&c.pointCount, &c.segmentCount, &c.points, &c.segments, 0, 0, 0, 1);
    EXPECT_EQ(c.pointCount, 1u);
    EXPECT_EQ(c.segmentCount, 0u);
    EXPECT_EQ(c.segments, nullptr);
}

}  // namespace
