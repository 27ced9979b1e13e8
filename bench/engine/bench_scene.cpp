// Milliseconds per scene and shaded pixels per second for a fixed scene of
// 20,000 small lit triangles over a 1920 x 1080 frame, in every draw mode, 8
// and 16 bits, with and without anti-aliasing; next to the time of
// one plain copy of a frame of the same size, the memory-bandwidth floor.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/qf_engine.h"
#include "engine/scene_state.h"
#include "counting_shader.h"

namespace {

using qfbench::CountingShader;
using qfbench::g_shaded;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kTriangles = 20000;

struct FixedScene {
  std::vector<__Point3ds> points;
  std::vector<__Triangle3ds> triangles;
  material3ds material{};
  light3ds light{};

  FixedScene() {
    uint32_t state = 12345;
    auto next = [&state]() {
      state = state * 1664525u + 1013904223u;
      return static_cast<float>(state >> 8) / 16777216.0f;
    };
    for (int i = 0; i < kTriangles; ++i) {
      const float cx = (next() - 0.5f) * kWidth;
      const float cy = (next() - 0.5f) * kHeight;
      const float size = 6.0f + next() * 14.0f;
      const float z = 20.0f + next() * 50.0f;
      for (int k = 0; k < 3; ++k) {
        const float angle = static_cast<float>(k) * 2.0943951f + next();
        __Point3ds p{};
        p.x = cx + size * std::cos(angle);
        p.y = cy + size * std::sin(angle);
        p.z = z + next() * 10.0f;
        p.hasNormal = 1;
        p.nx = next() - 0.5f;
        p.ny = next() - 0.5f;
        p.nz = 1.0f;
        points.push_back(p);
      }
      // Wound to face the viewer.
      const int a = 3 * i;
      triangles.push_back({a, a + 1, a + 2, 0, 0});
    }
    material.diffuse[0] = 0.7f;
    material.diffuse[1] = 0.8f;
    material.diffuse[2] = 0.9f;
    material.specular[0] = material.specular[1] = material.specular[2] = 1.0f;
    material.shininess = 0.3f;
    material.shininessStrength = 0.5f;
    light.x = 1000.0f;
    light.y = -1000.0f;
    light.z = 2000.0f;
    light.color[0] = light.color[1] = light.color[2] = 1.0f;
    light.intensity = 1.0f;
  }
};

const FixedScene& Scene() {
  static const FixedScene scene;
  return scene;
}

struct Frame {
  std::vector<unsigned char> out, source;
  explicit Frame(bool deep)
      : out(static_cast<size_t>(kWidth) * kHeight * 4 * (deep ? 2 : 1), 0),
        source(out.size(), 90) {}
};

void DrawScene(Frame& frame) {
  FixedScene& s = const_cast<FixedScene&>(Scene());
  __Texture textures[4] = {};
  __RasterScene(frame.out.data(), frame.source.data(), kWidth, kHeight, kWidth * 4,
                static_cast<int>(s.points.size()), kTriangles, s.triangles.data(), s.points.data(),
                kWidth / 2, kHeight / 2, 1, &s.material, textures, 1, &s.light, nullptr);
}

// Arguments: draw mode, 16-bit, quality.
void BM_Scene(benchmark::State& state) {
  __SetDrawMode(static_cast<unsigned char>(state.range(0)));
  __SetDeep(static_cast<unsigned char>(state.range(1)));
  __SetQuality(static_cast<unsigned char>(state.range(2)));
  Frame frame(state.range(1) != 0);

  g_shaded = 0;
  __SetNewRenderOnePixel(CountingShader);
  DrawScene(frame);
  __SetDefRenderOnePixel();
  const long shaded_per_scene = g_shaded;

  for (auto _ : state) {
    DrawScene(frame);
    benchmark::DoNotOptimize(frame.out.data());
  }
  state.counters["shaded_px"] = static_cast<double>(shaded_per_scene);
  state.counters["shaded_px/s"] = benchmark::Counter(
      static_cast<double>(shaded_per_scene) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Scene)
    ->ArgNames({"mode", "deep", "quality"})
    ->ArgsProduct({{0, 1, 2, 3, 6, 8, 9, 10}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The floor: one copy of a full frame of the same depth.
void BM_FrameCopy(benchmark::State& state) {
  Frame frame(state.range(0) != 0);
  for (auto _ : state) {
    std::memcpy(frame.out.data(), frame.source.data(), frame.out.size());
    benchmark::DoNotOptimize(frame.out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(frame.out.size()) * state.iterations());
}
BENCHMARK(BM_FrameCopy)->ArgName("deep")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
