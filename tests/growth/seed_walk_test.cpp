#include "growth/seed_walk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "growth/floral.h"
#include "growth/floral_pattern.h"

namespace {

// ---- The walk along the seed lines ----

// Ten seed segments in a row, each 8 pixels long with a step of 8, so that on
// a 400-pixel frame each is walked over 8 pixels; growth direction (-0.6, -0.8).
struct TenSegments {
  TenSegments() {
    for (uint32_t i = 0; i < 11; ++i) points.push_back({8.0f * i - 40, 20, 0, 0, 0, 0, 1});
    for (uint32_t i = 0; i < 10; ++i) segments.push_back({i, i + 1, -0.6f, -0.8f, 0, 8, 1});
  }
  SeedLines Seeds() const {
    SeedLines seeds;
    seeds.count = 10;
    seeds.points = points.data();
    seeds.segments = segments.data();
    return seeds;
  }
  std::vector<ContourPoint> points;
  std::vector<ContourSegment> segments;
};

// A build that keeps every step, sizing each segment as given: the Floral
// sizes when "Depend on interval" is 0.
class StepRecorder final : public SeedWalkBuild {
 public:
  explicit StepRecorder(float interval_divisor = 40, float step_divisor = 2)
      : SeedWalkBuild(interval_divisor, step_divisor) {}
  SegmentSizes SizeSegment(const SeedWalkValues& values, float v, float) const override {
    intervals.push_back(v);
    if (size_of) return size_of(values);
    return {values.length, values.width, values.turn, values.length, values.width};
  }
  void BeginSegment(int32_t i) override { begun.push_back(i); }
  void Grow(const GrowthStep& step) override { steps.push_back(step); }

  std::function<SegmentSizes(const SeedWalkValues&)> size_of;
  mutable std::vector<float> intervals;
  std::vector<int32_t> begun;
  std::vector<GrowthStep> steps;
};

class FloralWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    seeds = contour.Seeds();
    growth.walk.length = 100;
    growth.walk.width = 1;
    growth.walk.turn = 1;
    growth.walk.density = 2;  // steps of 1 pixel
    growth.walk.direction = 1;
    growth.walk.completeness = 100;
  }
  // Steps of every segment, in walking order.
  std::vector<std::vector<GrowthStep>> Walk() {
    StepRecorder recorder;
    WalkSeedLines(growth.walk, 400, 300, seeds, recorder);
    std::vector<std::vector<GrowthStep>> by_segment(10);
    for (const GrowthStep& step : recorder.steps)
      by_segment.at(size_t(step.segment)).push_back(step);
    return by_segment;
  }
  TenSegments contour;
  SeedLines seeds;
  FloralGrowth growth;
};

TEST_F(FloralWalk, NoCompletenessGrowsNothing) {
  growth.walk.completeness = 0;
  growth.walk.completenessDistance = 0;
  for (const auto& steps : Walk()) EXPECT_TRUE(steps.empty());
}

TEST_F(FloralWalk, WholeSegmentsStepAlongTheirLineAtFullSize) {
  growth.walk.completenessDistance = 10;
  const auto walk = Walk();
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(walk[i].size(), 8u) << "all ten grow, the count capped at n";
    for (int k = 0; k < 8; ++k) {
      EXPECT_FLOAT_EQ(walk[i][k].x, 8.0f * i - 40 + k);
      EXPECT_FLOAT_EQ(walk[i][k].y, 20);
      EXPECT_FLOAT_EQ(walk[i][k].length, 100);
      EXPECT_FLOAT_EQ(walk[i][k].width, 1);
      EXPECT_FLOAT_EQ(walk[i][k].turn, 1);
    }
  }
}

TEST_F(FloralWalk, PartOfTheLastSegmentIsWalkedWithShrinkingSizes) {
  growth.walk.completeness = 55;
  const auto walk = Walk();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(walk[i].size(), 8u) << i;
  for (int i = 6; i < 10; ++i) EXPECT_TRUE(walk[i].empty()) << i;
  // Walked while p <= 0.5, sized 1.25 - 2p at most 1.
  const float expected[] = {100, 100, 75, 50, 25};
  ASSERT_EQ(walk[5].size(), 5u);
  for (int k = 0; k < 5; ++k) {
    EXPECT_FLOAT_EQ(walk[5][k].length, expected[k]) << k;
    EXPECT_FLOAT_EQ(walk[5][k].width, expected[k] / 100) << k;
  }
}

TEST_F(FloralWalk, DistanceFadesTheSegmentAfterTheCompleteOnes) {
  growth.walk.completeness = 50;
  growth.walk.completenessDistance = 10;
  const auto walk = Walk();
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(walk[i].size(), 8u) << i;
    EXPECT_FLOAT_EQ(walk[i][7].length, 100) << i;
  }
  ASSERT_EQ(walk[5].size(), 8u);
  for (int k = 0; k < 8; ++k) EXPECT_FLOAT_EQ(walk[5][k].length, 100 * (1 - k / 8.0f)) << k;
  for (int i = 6; i < 10; ++i) EXPECT_TRUE(walk[i].empty()) << i;
}

TEST_F(FloralWalk, DirectionRulesTurnTheSeedDirection) {
  struct Direction {
    float nx, ny;
  };
  // "ALL directions": rules 0 to 6 in turn, so rule 7 never shows.
  growth.walk.direction = 8;
  const Direction all[10] = {{-0.6f, -0.8f}, {-0.6f, -0.8f}, {0.6f, 0.8f},  {0.6f, 0.8f},
                             {0.6f, -0.8f},  {-0.6f, 0.8f},  {0.6f, -0.8f}, {-0.6f, -0.8f},
                             {-0.6f, -0.8f}, {0.6f, 0.8f}};
  auto walk = Walk();
  for (int i = 0; i < 10; ++i) {
    ASSERT_FALSE(walk[i].empty());
    EXPECT_EQ(walk[i][0].nx, all[i].nx) << i;
    EXPECT_EQ(walk[i][0].ny, all[i].ny) << i;
  }
  for (const auto& [rule, nx, ny] :
       {std::tuple<int, float, float>{1, -0.6f, -0.8f}, {7, -0.6f, 0.8f}, {9, -0.6f, -0.8f}}) {
    growth.walk.direction = rule;
    walk = Walk();
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(walk[i][0].nx, nx) << rule;
      EXPECT_EQ(walk[i][0].ny, ny) << rule;
    }
  }
}

TEST_F(FloralWalk, CustomPathIsWalkedByArcLength) {
  // An open straight path from (0, 0) to (100, 0) in layer pixels on a
  // 200 x 100 frame: its first segment has the whole length, its second none.
  const PathVertexRecord vertices[2] = {{0, 0, -5, 0, 100.0 / 3, 0},
                                        {100, 0, 200.0 / 3, 0, 120, 0}};
  const double fractions[2] = {1, 0};
  SeedLines on_path;
  on_path.count = 2;
  on_path.path = {2, vertices, fractions};
  growth.walk.density = 20;  // steps of 2 pixels along 200
  StepRecorder recorder;
  WalkSeedLines(growth.walk, 200, 100, on_path, recorder);
  const std::vector<GrowthStep>& steps = recorder.steps;
  ASSERT_EQ(steps.size(), 100u);
  for (size_t k = 0; k < steps.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(steps[k].segment, 0);
    EXPECT_NEAR(steps[k].x, float(k) - 100, 100.0 / 1024);
    EXPECT_FLOAT_EQ(steps[k].y, -50);
    EXPECT_FLOAT_EQ(steps[k].ny, 1);
    EXPECT_EQ(steps[k].nx, 0);
  }
}

TEST_F(FloralWalk, ABuildBringsItsOwnContourStepIntervalAndKeptSizes) {
  // A build that steps by D / 5, takes v = len / 10 and keeps sizes raised
  // to 0.01 on whole segments, while the fading last one starts from 0.
  growth.walk.density = 20;  // steps of 4 pixels along 8
  growth.walk.completeness = 55;
  StepRecorder recorder(10, 5);
  recorder.size_of = [](const SeedWalkValues&) { return SegmentSizes{0, 0, 0, 0.01f, 0.01f}; };
  WalkSeedLines(growth.walk, 400, 300, seeds, recorder);
  EXPECT_EQ(recorder.begun, (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
  for (float v : recorder.intervals) EXPECT_FLOAT_EQ(v, 0.8f);
  // Two steps on each segment, the half-walked sixth's sized from 0.
  ASSERT_EQ(recorder.steps.size(), 12u);
  for (size_t k = 0; k < recorder.steps.size(); ++k) {
    const GrowthStep& step = recorder.steps[k];
    SCOPED_TRACE(k);
    EXPECT_EQ(step.segment, int32_t(k / 2));
    EXPECT_FLOAT_EQ(step.x, 8.0f * (k / 2) - 40 + 4 * (k % 2));
    EXPECT_FLOAT_EQ(step.nextX, step.x + 4);
    EXPECT_FLOAT_EQ(step.nextY, 20);
    EXPECT_FLOAT_EQ(step.step, 4);
    EXPECT_FLOAT_EQ(step.length, k < 10 ? 0.01f : 0.0f);
    EXPECT_FLOAT_EQ(step.width, k < 10 ? 0.01f : 0.0f);
  }
}

std::vector<float> Corners(const QFTrList& list) {
  std::vector<float> corners;
  for (QFTrNode* node = list.first->next; node; node = node->next)
    for (const TriangleCorner& c : node->payload->corners)
      corners.insert(corners.end(), {c.x, c.y, c.z, c.nx, c.ny, c.nz});
  return corners;
}

TEST_F(FloralWalk, FloralPatternIsTheSameWhateverTheGeneratorStateBefore) {
  growth.kind = 3;
  growth.maxIterations = 3;
  growth.maxTriangles = 15;
  growth.dispersion = 0.4f;
  growth.walk.turn = 4.7f;
  growth.walk.length = 40;
  growth.walk.completenessDistance = 10;
  auto grow = [&](int extra_draws) {
    std::rand();
    for (int k = 0; k < extra_draws; ++k) std::rand();
    QFTrList list;
    TriangleCount = 0;
    GrowFloralPattern(growth, 400, 300, seeds, list);
    const std::vector<float> corners = Corners(list);
    EXPECT_EQ(corners.size(), size_t(TriangleCount) * 18);
    return corners;
  };
  const std::vector<float> first = grow(0);
  EXPECT_FALSE(first.empty());
  // Whatever the generator's state before, the render reseeds it.
  EXPECT_EQ(grow(17), first);
}

TEST_F(FloralWalk, EachStepCallsTheGeneratorOfItsDraw) {
  // One step on each of the first two segments (steps of 8 along 8 pixels).
  growth.walk.completeness = 20;
  growth.walk.density = 16;
  growth.maxIterations = 4;
  growth.maxTriangles = 12;
  growth.dispersion = 0.4f;
  growth.walk.length = 30;
  for (int kind = 1; kind <= 3; ++kind) {
    for (int seed = 0; seed < 4; ++seed) {
      SCOPED_TRACE("kind " + std::to_string(kind) + " seed " + std::to_string(seed));
      growth.kind = kind;
      growth.seed = seed;
      QFTrList grown;
      TriangleCount = 0;
      GrowFloralPattern(growth, 400, 300, seeds, grown);

      // The same steps, drawn and grown one by one.
      QFTrList expected;
      TriangleCount = 0;
      unsigned previous = 0;
      for (int i = 0; i < 2; ++i) {
        std::srand(previous + unsigned(i) + unsigned(seed));
        const int r = std::rand();
        previous = unsigned(r);
        const float u = float(r % 1000) / 1000.0f;
        const float heading = float(VectorAngleDegrees(-0.6f, -0.8f, 0, 0) * 0.017453292519943295 -
                                    1.5707963267948966) +
                              0.4f * (u - 0.5f);
        float turn = 1.0f * (0.5f + u * 0.4f / 3);
        if (u < 0.5f) turn = -turn;
        float fern_turn = turn * 2.5f * (u - 0.5f) + (turn + 0.4f);
        if (std::fabs(fern_turn) < 0.5f) fern_turn = fern_turn < 0 ? -0.5f : 0.5f;
        const float x = 8.0f * i - 40, z = float(r % 50 + 20);
        const uint8_t upper = u > 0.5f ? 1 : 0;
        if (kind == 2 || (kind == 3 && r % 2 == 0)) {
          GrowFloralFern(uint8_t(2 + upper), expected, x, 20, z, heading, turn, 30, 1, 12, -400,
                         0.5f, fern_turn, 0.0f);
        } else {
          GrowFloralStem(r % 4 + 1, expected, x, 20, z, heading, kind == 3 ? turn * 1.5f : turn, 30,
                         1, upper, -400);
        }
      }
      const std::vector<float> want = Corners(expected);
      ASSERT_FALSE(want.empty());
      EXPECT_EQ(Corners(grown), want);
    }
  }
}

}  // namespace
