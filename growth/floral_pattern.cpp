#include "growth/floral_pattern.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "growth/floral.h"

namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kQuarterTurn = 1.5707963267948966;

class FloralWalk final : public SeedWalkBuild {
 public:
  FloralWalk(const FloralGrowth& growth, int32_t width, QFTrList& list)
      : SeedWalkBuild(40, 2), growth_(growth), hint_(-width), list_(list) {}

  // "Depend on interval": longer seed segments grow larger.
  SegmentSizes SizeSegment(const SeedWalkValues& values, float v, float w) const override {
    const float P = values.dependOnInterval;
    const float vw = v / w * 200;
    const float k = std::min(std::max(vw * P + (1 - P), 0.05f), 10.0f);
    SegmentSizes sizes;
    sizes.width = std::max(values.width * (vw * P / 4 + (1 - P / 4)), 0.01f);
    sizes.length = values.length * k;
    sizes.turn = values.turn * k;
    sizes.keptLength = sizes.length;
    sizes.keptWidth = sizes.width;
    return sizes;
  }

  void BeginSegment(int32_t) override {}

  void Grow(const GrowthStep& step) override {
    float heading = static_cast<float>(
        VectorAngleDegrees(step.nx, step.ny, 0, 0) * kDegreesToRadians - kQuarterTurn);
    // Reseeding from the previous draw makes what a step draws independent
    // of how many numbers the generators took before it. The seed is summed
    // unsigned, so that a large draw wraps instead of overflowing.
    std::srand(static_cast<unsigned>(previous_) + static_cast<unsigned>(step.segment) +
               static_cast<unsigned>(growth_.seed));
    const int r = std::rand();
    previous_ = r;
    const float u = static_cast<float>(r % 1000) / 1000.0f;
    heading = heading + growth_.dispersion * (u - 0.5f);
    float turn = step.turn * (0.5f + u * growth_.dispersion / 3);
    if (u < 0.5f) turn = -turn;
    const int iterations = r % growth_.maxIterations + 1;
    const float z = static_cast<float>(r % 50 + 20);
    float fern_turn = turn * 2.5f * (u - 0.5f) + (turn + growth_.dispersion);
    if (std::fabs(fern_turn) < 0.5f) fern_turn = fern_turn < 0 ? -0.5f : 0.5f;
    // "Floral 3" grows a fern on an even draw and a stronger-turning stem on an odd one.
    const bool fern = growth_.kind == 2 || (growth_.kind == 3 && r % 2 == 0);
    if (!(step.length > 0)) return;
    const uint8_t upper = u > 0.5f ? 1 : 0;
    if (fern) {
      GrowFloralFern(static_cast<uint8_t>(2 + upper), list_, step.x, step.y, z, heading, turn,
                     step.length, step.width, growth_.maxTriangles, hint_, 0.5f, fern_turn, 0.0f);
    } else {
      GrowFloralStem(iterations, list_, step.x, step.y, z, heading,
                     growth_.kind == 3 ? turn * 1.5f : turn, step.length, step.width, upper, hint_);
    }
  }

 private:
  const FloralGrowth& growth_;
  const int hint_;
  QFTrList& list_;
  int previous_ = 0;  // the previous step's draw, carried across segments
};

}  // namespace

void GrowFloralPattern(const FloralGrowth& growth, int32_t width, int32_t height,
                       const SeedLines& seeds, QFTrList& list) {
  FloralWalk walk(growth, width, list);
  WalkSeedLines(growth.walk, width, height, seeds, walk);
}
