// The curved wire over patches far larger than the frame: the wire steps over
// samples it proves lie beyond the frame, and must draw exactly the chords
// that evaluating every sample draws. The reference here evaluates every
// sample and keeps every chord within reach, as the wire's own rules say.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "engine/curved.h"
#include "engine/curved_patch.h"
#include "engine/geometry.h"
#include "engine/lines.h"
#include "engine/scene_state.h"
#include "engine_state.h"

namespace {

constexpr int kWidth = 48, kHeight = 32;
constexpr int kCentreX = 20, kCentreY = 14;

// Every shaded pixel in order: its position and the plane it is handed.
std::vector<float> g_seen;

float Recording(float cx, float cy, unsigned char*, unsigned char*, float x, float y, float,
                __Triangle3ds*, material3ds*, int, float& r, float& g, float& b, __Point*,
                unsigned char, float, float, __Texture*, int, light3ds*, __PrevInfo*, GlassProp*,
                float pa, float pb, float pc, float pd) {
  g_seen.insert(g_seen.end(), {x + cx, y + cy, pa, pb, pc, pd});
  r = g = b = 120.0f;
  return 1.0f;
}

class CurvedWire : public EngineState {
 protected:
  void SetUp() override {
    EngineState::SetUp();
    Zwidth = kWidth;
    Zheight = kHeight;
    __RowBytes = 4 * kWidth;
    __MaxChannel = 255;
    _DubleSide = 1;
    __SetNewRenderOnePixel(Recording);
    target_.assign(4 * kWidth * kHeight, 0);
    source_.assign(target_.size(), 50);
  }
  void TearDown() override {
    __SetDefRenderOnePixel();
    EngineState::TearDown();
  }

  // One edge as the wire draws it.
  std::vector<float> Wire(int edge, __Point3ds* v) {
    g_seen.clear();
    __DrawCurvedEdge(static_cast<uint8_t>(edge), target_.data(), source_.data(), kWidth, kHeight,
                     &triangle_, v, kCentreX, kCentreY, 0, nullptr, nullptr, 0, nullptr, nullptr);
    return g_seen;
  }

  // The same edge with every sample evaluated: chords of facing samples
  // whose ends are not both beyond one side of the frame widened by the
  // line's band and a whole frame.
  std::vector<float> Reference(int edge, __Point3ds* v) {
    g_seen.clear();
    CurvedPatch patch;
    if (!BuildCurvedPatch(&triangle_, v, false, &patch)) return g_seen;
    const double reach = std::fabs(_WireSize) + 5.0 + kWidth + kHeight;
    if (PatchMissesFrame(patch, kCentreX, kCentreY, reach)) return g_seen;
    const double d1 = __Distance3(v[0].x, v[0].y, v[0].z, v[2].x, v[2].y, v[2].z);
    const double d2 = __Distance3(v[1].x, v[1].y, v[1].z, v[2].x, v[2].y, v[2].z);
    const double step =
        std::max(4.0 * std::min(d1 > 0.0 ? 1.0 / d1 : 1.0, d2 > 0.0 ? 1.0 / d2 : 1.0),
                 1.0 / (16.0 * (kWidth + kHeight)));
    const auto beyond = [&](float a, float b, int size) {
      return (a < -reach && b < -reach) || (a >= size + reach && b >= size + reach);
    };
    const float cx = kCentreX, cy = kCentreY;
    float px = 0.0f, py = 0.0f;
    for (double p = 0.0;; p += step) {
      const bool last = !(p < 1.0);
      if (last) p = 1.0;
      const PatchWeights w = edge == 0   ? WeightsAt(0.0, p, 1.0 - p)
                             : edge == 1 ? WeightsAt(p, 0.0, 1.0 - p)
                                         : WeightsAt(1.0 - p, p, 0.0);
      double at[3], n[3];
      Evaluate(patch.position, w, at);
      Evaluate(patch.normal, w, n);
      const float x = static_cast<float>(at[0]), y = static_cast<float>(at[1]);
      const float nx = static_cast<float>(n[0]), ny = static_cast<float>(n[1]),
                  nz = static_cast<float>(n[2]);
      if (p > 0.0 && !beyond(px + cx, x + cx, kWidth) && !beyond(py + cy, y + cy, kHeight))
        __DrawLineShaded(
            px + cx, x + cx, py + cy, y + cy, _WireSize, target_.data(), source_.data(), kWidth,
            kHeight, nullptr, nullptr, 0, &triangle_, 3, v, kCentreX, kCentreY, -nx, -ny, -nz,
            (x + cx) * nx + (y + cy) * ny + static_cast<float>(at[2]) * nz, 0, nullptr, nullptr);
      px = x;
      py = y;
      if (last) break;
    }
    return g_seen;
  }

  std::vector<unsigned char> target_, source_;
  __Triangle3ds triangle_{0, 1, 2, 0, 0};
};

// Random patches from a few hundred pixels to 10^8 across (and some whose
// control values overflow), one corner often near the frame so that edges
// pass through it or just outside its reach: every edge traces the same
// shaded pixels, with the same planes, as the reference.
TEST_F(CurvedWire, SteppingOverFarSamplesDrawsTheSameChords) {
  uint32_t state = 2024u;
  const auto uniform = [&](float lo, float hi) {
    state = state * 1664525u + 1013904223u;
    return lo + (hi - lo) * static_cast<float>(state >> 8) / 16777216.0f;
  };
  const float spans[] = {300.0f, 1e4f, 1e6f, 1e8f, 3e38f};
  long drawn = 0;
  for (int i = 0; i < 400; ++i) {
    const float span = spans[i % 5];
    __Point3ds v[3];
    for (int k = 0; k < 3; ++k) {
      const bool near = k == 0 && i % 3 != 0;
      v[k] = At(near ? uniform(-40.0f, 40.0f) : uniform(-span, span),
                near ? uniform(-30.0f, 30.0f) : uniform(-span, span));
      v[k].z = uniform(-span, span) / 4.0f;
      v[k].nx = uniform(-1.0f, 1.0f);
      v[k].ny = uniform(-1.0f, 1.0f);
      v[k].nz = uniform(0.1f, 1.0f);
      v[k].hasNormal = 1;
    }
    for (int edge = 0; edge < 3; ++edge) {
      SCOPED_TRACE(testing::Message() << "patch " << i << " edge " << edge);
      const std::vector<float> want = Reference(edge, v);
      ASSERT_EQ(Wire(edge, v), want);
      drawn += !want.empty();
    }
  }
  EXPECT_GT(drawn, 300);
}

}  // namespace
