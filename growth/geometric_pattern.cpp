#include "growth/geometric_pattern.h"

#include <algorithm>
#include <cstdlib>

#include "growth/geometric.h"

namespace {

// The smallest spread and size a segment walked whole keeps.
constexpr float kSmallestSize = 0.01f;

class GeometricWalk final : public SeedWalkBuild {
 public:
  GeometricWalk(const GeometricGrowth& growth, QFTrList& list)
      : SeedWalkBuild(10, 5), growth_(growth), list_(list) {}

  SegmentSizes SizeSegment(const SeedWalkValues& values, float v, float) const override {
    return GeometricSegmentSizes(values, v);
  }

  // The draws of segment i depend only on i + S. The sum is taken unsigned
  // so that no seed value can overflow it.
  void BeginSegment(int32_t i) override {
    std::srand(static_cast<unsigned>(i) + static_cast<unsigned>(growth_.seed) + 1212u);
  }

  void Grow(const GrowthStep& step) override {
    if (!(step.length > 0)) return;
    GrowGeometricSeed(list_, step.x, step.y, step.nextX, step.nextY, step.nx, step.ny,
                      step.step / 2, 1.0f);
    GrowGeometricBranches(step.segment, static_cast<uint8_t>(growth_.kind), list_, 0, step.x,
                          step.y, 0.0f, step.nx, step.ny, step.width, step.length,
                          growth_.proportionLength, growth_.proportionWidth, growth_.dispersion,
                          growth_.loseDirection, growth_.maxTriangles, growth_.maxIterations);
  }

 private:
  const GeometricGrowth& growth_;
  QFTrList& list_;
};

}  // namespace

SegmentSizes GeometricSegmentSizes(const SeedWalkValues& values, float v) {
  const float P = values.dependOnInterval;
  SegmentSizes sizes;
  sizes.width = values.width * (v * P / 4 + (1 - P / 4));
  sizes.length = values.length * (v * P + (1 - P));
  sizes.keptLength = std::max(sizes.length, kSmallestSize);
  sizes.keptWidth = std::max(sizes.width, kSmallestSize);
  return sizes;
}

void GrowGeometricPattern(const GeometricGrowth& growth, int32_t width, int32_t height,
                          const SeedLines& seeds, QFTrList& list) {
  GeometricWalk walk(growth, list);
  WalkSeedLines(growth.walk, width, height, seeds, walk);
}
