// The drawing budget, end to end through __RasterScene: thin slivers whose
// scratch rectangles each span the whole 640 x 360 frame use it up, and a
// small triangle after them is drawn while the budget lasts and left out
// once it is spent, the same with one drawing thread and with three. The
// shaded lines of the Line and Wire modes, counted through a shader hook,
// stop at the line that would exceed theirs.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "engine/budget.h"
#include "engine/qf_engine.h"
#include "engine_state.h"
#include "reference_scene.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 360;
static_assert(kWidth * kHeight == kBudgetLeastPixels, "the frame the budget counts at least");

__Point3ds Vertex(float x, float y, float z) {
  __Point3ds p = At(x, y);
  p.z = z;
  p.hasNormal = 1;
  p.nz = 1.0f;
  return p;
}

// Vertices 0 to 2: a sliver along the frame's diagonal whose bounds, widened
// by the 3-pixel margin, reach beyond every side of the frame, so that each
// copy counts exactly one visit per frame pixel. Vertices 3 to 5: a small
// triangle nearer the viewer in the lower left, far from the sliver.
// Vertices 6 to 8: a triangle above the frame whose three edges, across,
// along and aslant, each walk kLeg + 1 steps.
constexpr int kLeg = 1000;
const __Point3ds kPoints[9] = {
    Vertex(-330, -190, 5),  Vertex(330, 190, 5),           Vertex(-322, -190, 5),
    Vertex(-290, 110, 50),  Vertex(-270, 110, 50),         Vertex(-280, 130, 50),
    Vertex(-320, -1280, 5), Vertex(-320 + kLeg, -1280, 5), Vertex(-320, -1280 + kLeg, 5)};
constexpr __Triangle3ds kSliver{0, 1, 2, 0, 0}, kSmall{3, 4, 5, 0, 0}, kAbove{6, 7, 8, 0, 0};
constexpr int kSmallX0 = 320 - 290, kSmallX1 = 320 - 270, kSmallY0 = 180 + 110,
              kSmallY1 = 180 + 130;

// A shader hook that counts the pixels it shades and shades them grey.
long g_shaded = 0;
float CountingGrey(float, float, unsigned char*, unsigned char*, float, float, float,
                   __Triangle3ds*, material3ds*, int, float& r, float& g, float& b, __Point*,
                   unsigned char, float, float, __Texture*, int, light3ds*, __PrevInfo*, GlassProp*,
                   float, float, float, float) {
  ++g_shaded;
  r = g = b = 200.0f;
  return 1.0f;
}

class DrawBudgetTest : public EngineState {
 protected:
  void TearDown() override {
    putenv(const_cast<char*>("QF_THREADS="));
    __SetDefRenderOnePixel();
    EngineState::TearDown();
  }

  // `copies` copies of the large triangle (the sliver unless told), then the
  // small triangle when asked for, drawn over a grey frame.
  std::vector<unsigned char> Render(int copies, bool small, bool threeWorkers = false) {
    putenv(const_cast<char*>(threeWorkers ? "QF_THREADS=3" : "QF_THREADS=1"));
    _DubleSide = 1;
    _UseMultyRefract = 0;
    std::vector<__Triangle3ds> triangles(copies, large_);
    if (small) triangles.push_back(kSmall);
    std::vector<__Point3ds> points(kPoints, kPoints + 9);
    std::vector<unsigned char> out(kWidth * kHeight * 4, 90);
    const std::vector<unsigned char> source = out;
    __Texture textures[4] = {};
    __RasterScene(out.data(), const_cast<unsigned char*>(source.data()), kWidth, kHeight,
                  kWidth * 4, 6, static_cast<int>(triangles.size()), triangles.data(),
                  points.data(), kWidth / 2, kHeight / 2, 1, &material_, textures, 0, nullptr,
                  nullptr);
    return out;
  }

  // The small triangle's rectangle (with its edges' margin) of two frames.
  static bool SmallAreaSame(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b) {
    for (int y = kSmallY0 - 3; y <= kSmallY1 + 3; ++y)
      for (int x = kSmallX0 - 3; x <= kSmallX1 + 3; ++x)
        for (int k = 0; k < 4; ++k)
          if (a[(y * kWidth + x) * 4 + k] != b[(y * kWidth + x) * 4 + k]) return false;
    return true;
  }

  // Checks that the small triangle after `fit` slivers is drawn as it is
  // drawn alone, and after one sliver more is not drawn at all.
  void ExpectStopsAfter(int fit) {
    const std::vector<unsigned char> alone = Render(0, true);
    const std::vector<unsigned char> none = Render(0, false);
    ASSERT_FALSE(SmallAreaSame(alone, none)) << "the small triangle draws nothing";
    EXPECT_TRUE(SmallAreaSame(Render(fit - 1, true), alone)) << fit - 1 << " slivers";
    EXPECT_TRUE(SmallAreaSame(Render(fit, true), none)) << fit << " slivers";
  }

  // The pixels the hook shades in a render.
  long Shaded(int copies, bool small) {
    g_shaded = 0;
    Render(copies, small);
    return g_shaded;
  }

  __Triangle3ds large_ = kSliver;
  material3ds material_ = Orange();

 private:
  static material3ds Orange() {
    material3ds m{};
    m.diffuse[0] = 0.9f;
    m.diffuse[1] = 0.6f;
    m.diffuse[2] = 0.2f;
    return m;
  }
};

// The flat and Phong fills draw on several threads; where they stop must not
// depend on how many.
TEST_F(DrawBudgetTest, FlatAndPhongStopAtTheSameTriangleOnAnyNumberOfThreads) {
  _Quality = 0;  // no scratch layer: each sliver costs a few pixels a row
  const int fit = static_cast<int>(kFilledVisitsPerPixel);
  for (unsigned char mode : {3, 6}) {
    _DrawMode = mode;
    ExpectStopsAfter(fit);
    for (int slivers : {fit - 1, fit})
      EXPECT_EQ(Render(slivers, true), Render(slivers, true, true))
          << "mode " << int{mode} << ", " << slivers << " slivers";
  }
}

// The subdivided fill counts a triangle as the flat fills do and its wider
// scratch rectangle besides (a sliver's spans the frame too), at the curved
// modes' rate; the curved fill counts its samples and scratch rectangle, so
// fewer slivers than that rate exhaust it.
TEST_F(DrawBudgetTest, CurvedModesStopAtTheirLowerRate) {
  const int fit = static_cast<int>(kCurvedVisitsPerPixel);
  _DrawMode = 8;
  ExpectStopsAfter(fit / 2);
  _DrawMode = 9;
  const std::vector<unsigned char> alone = Render(0, true);
  const std::vector<unsigned char> none = Render(0, false);
  ASSERT_FALSE(SmallAreaSame(alone, none)) << "the small triangle draws nothing";
  EXPECT_TRUE(SmallAreaSame(Render(1, true), alone));
  EXPECT_TRUE(SmallAreaSame(Render(fit, true), none));
}

// The shaded lines of the Line and Wire modes take, before each line, what
// it will visit: with a hook installed, every pixel of its band and caps.
// Copies of a triangle above the frame, which draw nothing inside it, use
// the budget up; the lines drawn fill it as far as whole lines go, and
// nothing after the first line refused is drawn, the small triangle included.
TEST_F(DrawBudgetTest, LineAndWireStopAtTheLineThatWouldExceedTheBudget) {
  __SetNewRenderOnePixel(CountingGrey);
  large_ = kAbove;
  const double budget = kLineVisitsPerPixel * kWidth * kHeight;
  // A line of width 1 examines 6 pixels across at each step and two 6 x 6 caps.
  const long line = 6 * (kLeg + 1) + 2 * 36;
  for (unsigned char mode : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "mode " << int{mode});
    _DrawMode = mode;
    const std::vector<unsigned char> alone = Render(0, true);
    const std::vector<unsigned char> none = Render(0, false);
    ASSERT_FALSE(SmallAreaSame(alone, none)) << "the small triangle draws nothing";
    const long one = Shaded(1, false);
    ASSERT_GT(one, 0);
    if (mode == 1) {
      ASSERT_EQ(one, 3 * line);
    }
    ASSERT_EQ(Shaded(0, false), 0);  // the large triangle draws nothing in the frame
    const int fit = static_cast<int>(budget / one);
    g_shaded = 0;
    EXPECT_TRUE(SmallAreaSame(Render(fit + 1, true), none));
    EXPECT_LE(g_shaded, budget);
    EXPECT_GE(g_shaded, fit * one);
    // Equal lines: exactly as many as the budget holds.
    if (mode == 1) {
      EXPECT_EQ(g_shaded, static_cast<long>(std::floor(budget / line)) * line);
    }
  }
}

class FarLinesTest : public EngineState {
 protected:
  void TearDown() override {
    putenv(const_cast<char*>("QF_THREADS="));
    EngineState::TearDown();
  }
};

// Wide lines just above a small frame through the engine's own shader, with
// glass reading the source: thin triangles whose bands reach the top row
// without covering it take most of the budget, and between them thin
// triangles that half cover pixels of the top row, each leaning its own
// way, show which were drawn. The pass runs out part way through the list;
// what is drawn is the same with one, two and three workers.
TEST_F(FarLinesTest, LineAndWireStopAtTheSameLineOnAnyNumberOfThreads) {
  constexpr int kW = 96, kH = 64, kTriangles = 4000;
  _DubleSide = 1;
  _UseMultyRefract = 0;
  _WireSize = 29.5f;
  std::vector<__Point3ds> points;
  std::vector<__Triangle3ds> triangles;
  for (int i = 0; i < kTriangles; ++i) {
    const int first = static_cast<int>(points.size());
    if (i % 2 == 0) {  // 31 rows above the frame: covers nothing in it
      points.push_back(Vertex(-58, -63, 5));
      points.push_back(Vertex(53, -63, 5));
      points.push_back(Vertex(0, -62.9f, 5));
    } else {  // 29 rows above: half covers a few pixels of the top row
      const float x = static_cast<float>((i * 37) % 100 - 50);
      points.push_back(Vertex(x, -61, 5));
      points.push_back(Vertex(x + 3, -61, 5 + static_cast<float>(i % 13)));
      points.push_back(Vertex(x + 1.5f, -60.9f, 5 + static_cast<float>(i % 7)));
      // The wire shades by the vertex normals.
      for (int k = 1; k <= 3; ++k) points.end()[-k].nx = 0.1f * static_cast<float>((i + k) % 9 - 4);
    }
    triangles.push_back({first, first + 1, first + 2, 0, 0});
  }
  material3ds material = ReferenceMaterial();
  light3ds light = ReferenceLight();
  __Texture textures[4] = {};
  GlassProp glass{1, 2.5f, 18.0f, 30.0f};
  std::vector<unsigned char> source(kW * kH * 4);
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<unsigned char>(i * 7 / 5);

  const auto render = [&](int count) {
    std::vector<unsigned char> out = source;
    __RasterScene(out.data(), source.data(), kW, kH, kW * 4, static_cast<int>(points.size()), count,
                  triangles.data(), points.data(), kW / 2, kH / 2, 1, &material, textures, 1,
                  &light, &glass);
    return out;
  };
  const struct {
    unsigned char mode;
    uint64_t hash;
  } cases[] = {{1, 0xec85e8701387a1a7ull}, {2, 0x61eff4f4181869e8ull}};
  for (const auto& c : cases) {
    _DrawMode = c.mode;
    for (const char* workers : {"QF_THREADS=1", "QF_THREADS=2", "QF_THREADS=3"}) {
      SCOPED_TRACE(testing::Message() << "mode " << int{c.mode} << ", " << workers);
      putenv(const_cast<char*>(workers));
      const std::vector<unsigned char> all = render(kTriangles);
      EXPECT_EQ(Fnv1a(all), c.hash) << "0x" << std::hex << Fnv1a(all);
    }
    EXPECT_NE(render(kTriangles), render(kTriangles / 20)) << "the pass stops later";
    EXPECT_EQ(render(kTriangles), render(kTriangles - 2)) << "the pass stops earlier";
  }
}

}  // namespace
