#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "engine/lines.h"
#include "engine_state.h"

namespace {

using Pos = std::pair<int, int>;
using Pixels = std::set<Pos>;

// What the shader hook received on one call: image position, the colour the
// line handed in, and the pass-through arguments worth checking.
struct ShaderCall {
  Pos at;
  float in_r, z, u, v;
  __Point normal;
  float plane[4];
  unsigned char textures_on;
  void *triangle, *lights, *prev, *glass;
};
std::vector<ShaderCall> g_calls;
float g_opacity = 1.0f;
bool g_counts = false;  // write the call number into red instead of grey 200

float Recorder(float cx, float cy, unsigned char*, unsigned char*, float x, float y, float z,
               __Triangle3ds* triangle, material3ds*, int, float& r, float& g, float& b,
               __Point* normal, unsigned char textures_on, float u, float v, __Texture*, int,
               light3ds* lights, __PrevInfo* prev, GlassProp* glass, float pa, float pb, float pc,
               float pd) {
  g_calls.push_back({{static_cast<int>(x + cx), static_cast<int>(y + cy)},
                     r,
                     z,
                     u,
                     v,
                     *normal,
                     {pa, pb, pc, pd},
                     textures_on,
                     triangle,
                     lights,
                     prev,
                     glass});
  if (g_counts)
    r = static_cast<float>(g_calls.size() - 1);
  else
    r = g = b = 200.0f;
  return g_opacity;
}

class Lines : public EngineState {
 protected:
  void SetUp() override {
    EngineState::SetUp();
    _DrawMode = 1;
    Resize(32, 32);
    g_calls.clear();
    g_opacity = 1.0f;
    g_counts = false;
    __SetNewRenderOnePixel(Recorder);
  }
  void TearDown() override {
    __SetDefRenderOnePixel();
    EngineState::TearDown();
  }
  void Resize(int w, int h) {
    w_ = Zwidth = w;
    h_ = Zheight = h;
    __RowBytes = 4 * w;
    __MaxChannel = 255;
    target_.assign(static_cast<size_t>(8 * w * h), 0);  // room for 16 bits
    source_.assign(target_.size(), 0);
  }
  void Use16Bit() {
    _Deep = 1;
    __MaxChannel = 32768;
  }
  uint32_t At(int x, int y, int c) { return __GetChannel(target_.data(), (y * w_ + x) * 4 + c); }
  void Fill(uint32_t value, uint32_t alpha) {
    for (int i = 0; i < 4 * w_ * h_; ++i)
      __SetChannel(target_.data(), i, i % 4 == 3 ? alpha : value);
  }
  Pixels Drawn() {  // pixels whose alpha is not 0
    Pixels out;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (At(x, y, 3) != 0) out.insert({x, y});
    return out;
  }
  static std::vector<Pos> Calls() {
    std::vector<Pos> out;
    for (const ShaderCall& call : g_calls) out.push_back(call.at);
    return out;
  }
  static int CallsAt(int x, int y) {
    int n = 0;
    for (const ShaderCall& call : g_calls) n += call.at == Pos(x, y);
    return n;
  }
  void Rough(float x0, float y0, float x1, float y1) {
    __DrawLineRough(x0, y0, x1, y1, target_.data(), source_.data(), w_, h_);
  }
  void Shaded(float x0, float y0, float x1, float y1, float width, int cx = 0, int cy = 0) {
    __DrawLineShaded(x0, x1, y0, y1, width, target_.data(), source_.data(), w_, h_, nullptr,
                     nullptr, 0, &triangle_, 3, nullptr, cx, cy, 0.25f, -0.5f, 0.75f, 2.0f, 1,
                     &light_, &glass_);
  }
  void Colour(uint32_t v, float x0, float y0, float x1, float y1, float width) {
    __DrawLineColor(v, v, v, x0, y0, x1, y1, width, target_.data(), source_.data(), w_, h_);
  }
  // Triangle (0, 0), (ax, ay), (bx, by) with its corners' depths, about the centre (5, 5).
  void TriangleLines(float ax, float ay, float bx, float by, float za = 0, float zb = 0) {
    __Point3ds v[3] = {};
    v[1].x = ax, v[1].y = ay, v[1].z = za, v[2].x = bx, v[2].y = by, v[2].z = zb;
    __DrawTriangleLines(target_.data(), source_.data(), w_, h_, nullptr, nullptr, 0, &triangle_, v,
                        5, 5, 0, nullptr, nullptr);
  }

  int w_ = 0, h_ = 0;
  std::vector<unsigned char> target_, source_;
  __Triangle3ds triangle_{0, 1, 2, 0, 0};
  light3ds light_{};
  GlassProp glass_{};
};

using RoughLine = Lines;

TEST_F(RoughLine, WalksFromTheSmallerEndAndStopsShortOfAWholeEnd) {
  for (int x = 0; x < 4; ++x) __SetChannel(source_.data(), 4 * x, 10u * x);
  Rough(3.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(Drawn(), (Pixels{{0, 0}, {1, 0}, {2, 0}}));
  for (int x = 0; x < 3; ++x)
    EXPECT_TRUE(At(x, 0, 0) == 255u - 10u * x && At(x, 0, 1) == 255u && At(x, 0, 3) == 255u);
  Fill(0, 0);
  Rough(0.0f, 0.0f, 4.0f, 2.0f);  // a fractional slope, truncated
  EXPECT_EQ(Drawn(), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  Fill(0, 0);
  Rough(5.0f, 2.0f, 2.0f, 5.0f);  // equal magnitudes are y-major
  EXPECT_EQ(Drawn(), (Pixels{{5, 2}, {4, 3}, {3, 4}}));
  Fill(0, 0);
  Rough(2.0f, 5.0f, 2.0f, 5.9f);
  Rough(7.0f, 7.0f, 7.0f, 7.0f);
  EXPECT_EQ(Drawn(), (Pixels{{2, 5}}));
}

TEST_F(RoughLine, SixteenBitInvertsAgainst32768AndNeverAboveIt) {
  Use16Bit();
  __SetChannel(source_.data(), 0, 1000);
  __SetChannel(source_.data(), 1, 40000);  // out of range: inverts to 0, not a wrapped value
  Rough(0.0f, 0.0f, 0.5f, 0.0f);
  EXPECT_TRUE(At(0, 0, 0) == 31768u && At(0, 0, 1) == 0u && At(0, 0, 3) == 32768u);
}

TEST_F(RoughLine, PixelsOutsideTheImageAreSkipped) {
  Resize(8, 4);
  __PlotInverted(target_.data(), source_.data(), 8, 4, -0.5f, 1.0f);  // truncates to column 0
  __PlotInverted(target_.data(), source_.data(), 8, 4, -1.0f, 2.0f);
  __PlotInverted(target_.data(), source_.data(), 8, 4, 2.0f, 4.0f);
  EXPECT_EQ(Drawn(), (Pixels{{0, 1}}));
  // From far left, the positions unit steps reach: -0.25, 0.75, 1.75.
  Rough(-10.25f, 2.0f, 2.0f, 2.0f);
  EXPECT_EQ(Drawn(), (Pixels{{0, 1}, {0, 2}, {1, 2}}));
  Rough(-1e30f, 3.0f, 1e30f, 3.0f);  // finishes; the whole row
  Rough(NAN, 0.0f, 3.0f, 0.0f);
  EXPECT_EQ(Drawn().size(), 3u + 8u);
}

TEST_F(RoughLine, TriangleOutlinesItsEdgesAboutTheCentre) {
  __Point3ds v[3] = {};
  v[1].x = v[2].y = 3.0f;
  __DrawTriangleRough(target_.data(), source_.data(), w_, h_, nullptr, nullptr, 0, &triangle_, v, 2,
                      2, 0, nullptr, nullptr);
  EXPECT_EQ(Drawn(), (Pixels{{2, 2}, {3, 2}, {4, 2}, {5, 2}, {4, 3}, {3, 4}, {2, 3}, {2, 4}}));
}

using WideLine = Lines;

TEST_F(WideLine, WidthOneExaminesSixAcrossAndTwoSixBySixCaps) {
  Shaded(10.0f, 10.0f, 14.0f, 10.0f, 1.0f);
  const std::vector<Pos> calls = Calls();
  ASSERT_EQ(calls.size(), 36u + 5u * 6u + 36u);
  EXPECT_EQ(calls[0], Pos(7, 7));       // start cap: rows and columns 7..12 forwards
  EXPECT_EQ(calls[36], Pos(10, 7));     // walk: rows 7..12 at columns 10..14
  EXPECT_EQ(calls[66], Pos(18, 13));    // end cap about (15, 10) runs backwards...
  EXPECT_EQ(calls.back(), Pos(13, 8));  // ...to row 8, column 13
  EXPECT_EQ(CallsAt(11, 10), 2);        // start cap and walk
  EXPECT_EQ(CallsAt(13, 10), 2);        // walk and end cap
  g_calls.clear();
  Shaded(10.0f, 10.0f, 10.0f, 11.0f, 1.5f);  // W = 4
  EXPECT_EQ(g_calls.size(), 64u + 2u * 8u + 64u);
}

TEST_F(WideLine, OverlapsAreBlendedEachTime) {
  Fill(0, 255);
  Colour(200, 10.0f, 10.0f, 14.0f, 10.0f, 1.5f);
  EXPECT_EQ(At(11, 11, 0), 150u);  // coverage 0.5, by start cap and walk: 100, then 150
  EXPECT_EQ(At(12, 11, 0), 175u);  // and by the end cap too
  EXPECT_EQ(At(12, 12, 0), 0u);    // two off: no coverage
  EXPECT_TRUE(At(12, 10, 0) == 200u && At(12, 10, 3) == 255u);
}

TEST_F(WideLine, QualityZeroIsABresenhamLineBlendedOnce) {
  _Quality = 0;
  Fill(0, 255);
  g_opacity = 0.5f;
  Shaded(0.0f, 0.0f, 5.0f, 2.0f, 1.0f);
  EXPECT_EQ(Calls(), (std::vector<Pos>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
  for (const Pos& p : Calls()) EXPECT_EQ(At(p.first, p.second, 0), 100u);
  g_calls.clear();
  Shaded(3.0f, 6.0f, 1.0f, 1.0f, 1.0f);  // y-major, up and to the left
  EXPECT_EQ(Calls(), (std::vector<Pos>{{3, 6}, {3, 5}, {2, 4}, {2, 3}, {1, 2}, {1, 1}}));
}

TEST_F(WideLine, WholeDifferencesOfZeroDrawNothing) {
  Shaded(2.0f, 5.0f, 2.0f, 5.9f, 1.0f);
  Colour(200, 0.6f, 3.0f, 1.4f, 3.0f, 1.0f);  // the difference is truncated, not the ends
  EXPECT_TRUE(g_calls.empty() && Drawn().empty());
}

TEST_F(WideLine, ShaderReceivesThePixelThePlaneAndTheColourSoFar) {
  g_counts = true;
  Shaded(10.0f, 10.0f, 12.0f, 10.0f, 1.0f, 3, 4);
  const ShaderCall& first = g_calls.at(0);
  EXPECT_EQ(first.at, Pos(7, 7));
  EXPECT_TRUE(first.z == 0.0f && first.u == 0.0f && first.v == 0.0f && first.textures_on == 0);
  EXPECT_TRUE(first.normal.x == -0.25f && first.normal.y == 0.5f && first.normal.z == -0.75f);
  EXPECT_TRUE(first.plane[0] == 0.25f && first.plane[1] == -0.5f && first.plane[2] == 0.75f &&
              first.plane[3] == 2.0f);
  EXPECT_TRUE(first.triangle == &triangle_ && first.lights == &light_ && first.glass == &glass_ &&
              first.prev == nullptr);
  EXPECT_EQ(first.in_r, 255.0f);  // red at the start, then what the shader wrote
  for (size_t i = 1; i < g_calls.size(); ++i) EXPECT_EQ(g_calls[i].in_r, float(i - 1));
  Use16Bit();
  g_calls.clear();
  Shaded(10.0f, 10.0f, 12.0f, 10.0f, 1.0f);
  EXPECT_EQ(g_calls.at(0).in_r, 32768.0f);
}

TEST_F(WideLine, SixteenBitColour) {
  Use16Bit();
  __DrawLineColor(30000, 100, 0, 4.0f, 4.0f, 9.0f, 4.0f, 1.5f, target_.data(), source_.data(), w_,
                  h_);
  EXPECT_TRUE(At(6, 4, 0) == 30000u && At(6, 4, 1) == 100u && At(6, 4, 3) == 32768u);
  EXPECT_EQ(At(6, 5, 3), 16384u);  // half covered
}

TEST_F(WideLine, OutsideTheFrameTheShaderRunsButNothingIsDrawn) {
  Resize(16, 8);
  Shaded(-20.0f, 3.0f, 40.0f, 3.0f, 1.0f);
  // Every examined pixel is shaded, those off the frame included.
  const std::vector<Pos> calls = Calls();
  ASSERT_EQ(calls.size(), 36u + 61u * 6u + 36u);
  EXPECT_TRUE(calls.front() == Pos(-23, 0) && calls.back() == Pos(39, 1));
  EXPECT_EQ(CallsAt(-5, 3), 1);
  EXPECT_EQ(Drawn().size(), 16u);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(At(x, 3, 0), 200u);
  g_calls.clear();
  Fill(0, 0);
  _Quality = 0;
  Shaded(-2.0f, 3.0f, 1.0f, 3.0f, 1.0f);
  EXPECT_EQ(Calls(), (std::vector<Pos>{{-2, 3}, {-1, 3}, {0, 3}, {1, 3}}));
  EXPECT_EQ(Drawn(), (Pixels{{0, 3}, {1, 3}}));
  _Quality = 1;
  Fill(0, 0);
  Colour(70, -20.0f, 3.0f, 40.0f, 3.0f, 1.0f);
  const std::vector<unsigned char> near = target_;
  Fill(0, 0);
  Colour(70, -1e12f, 3.0f, 1e12f, 3.0f, 1.0f);  // far-flung ends draw the same row
  EXPECT_EQ(target_, near);
  Fill(0, 0);
  Colour(70, 2.0f, 2.0f, 5.0f, 2.0f, 1e12f);  // a band wider than the frame covers it
  EXPECT_EQ(Drawn().size(), 16u * 8u);
  Fill(0, 0);
  g_calls.clear();
  Shaded(2.0f, 2.0f, 9.0f, 2.0f, -10.0f);  // negative and broken widths examine nothing
  Shaded(2.0f, 2.0f, 9.0f, 2.0f, NAN);
  Colour(70, INFINITY, 2.0f, 9.0f, 2.0f, 1.0f);
  EXPECT_TRUE(g_calls.empty() && Drawn().empty());
}

// Far-flung lines for the checks that a clipped draw matches the whole one:
// random ends around a frame of w x h, ends far out on both sides whose line
// crosses the frame, and lines that pass just outside it.
struct Segment {
  float x0, y0, x1, y1, width;
};
std::vector<Segment> FarFlungSegments(int w, int h, int count, float farthest) {
  uint32_t state = 12345u;
  const auto uniform = [&](float lo, float hi) {
    state = state * 1664525u + 1013904223u;
    return lo + (hi - lo) * static_cast<float>(state >> 8) / 16777216.0f;
  };
  std::vector<Segment> out;
  for (int i = 0; i < count; ++i) {
    const float width = uniform(0.3f, 4.0f);
    // A point in or near the frame and a direction; the ends lie along it.
    const float px = uniform(-12.0f, w + 12.0f), py = uniform(-12.0f, h + 12.0f);
    const float angle = uniform(0.0f, 6.2831853f);
    const float dx = std::cos(angle), dy = std::sin(angle);
    float before, after;
    switch (i % 4) {
      case 0:
        before = uniform(0.0f, 3.0f * w), after = uniform(0.0f, 3.0f * w);
        break;
      case 1:
        before = uniform(0.0f, 20.0f), after = uniform(farthest / 2, farthest);
        break;
      default:
        before = uniform(farthest / 4, farthest), after = uniform(farthest / 4, farthest);
    }
    out.push_back({px - before * dx, py - before * dy, px + after * dx, py + after * dy, width});
  }
  return out;
}

float Grey90(float, float, unsigned char*, unsigned char*, float, float, float, __Triangle3ds*,
             material3ds*, int, float& r, float& g, float& b, __Point*, unsigned char, float, float,
             __Texture*, int, light3ds*, __PrevInfo*, GlassProp*, float, float, float, float) {
  r = g = b = 90.0f;
  return 1.0f;
}

// The one-colour line visits only the frame; a shader of that one colour
// makes the same line visit every pixel it examines. The two must agree to
// the bit, so skipping to the steps that reach the frame loses no pixel.
TEST_F(WideLine, ClippedWalkDrawsWhatTheWholeWalkDraws) {
  Resize(40, 24);
  __SetNewRenderOnePixel(Grey90);
  for (unsigned char quality : {1, 0}) {
    _Quality = quality;
    std::vector<Segment> lines = FarFlungSegments(w_, h_, 120, 3e4f);
    // Walks of more than 2^23 steps, whose error term rounds: at step
    // 2461538 of these, column (or row) 19, the float walk is one further
    // across than whole numbers would put it, and the walk into the frame
    // at step 2461519 gets there only from the rounded error.
    if (quality == 0) {
      lines.push_back({-2461519.0f, -461526.0f, 13538482.0f, 2538475.0f, 1.0f});
      lines.push_back({-461526.0f, -2461519.0f, 2538475.0f, 13538482.0f, 1.0f});
    }
    for (const Segment& l : lines) {
      SCOPED_TRACE(testing::Message() << "quality " << int(quality) << " (" << l.x0 << ", " << l.y0
                                      << ") - (" << l.x1 << ", " << l.y1 << ") " << l.width);
      Fill(7, 0);
      Colour(90, l.x0, l.y0, l.x1, l.y1, l.width);
      const std::vector<unsigned char> clipped = target_;
      Fill(7, 0);
      Shaded(l.x0, l.y0, l.x1, l.y1, l.width);
      ASSERT_EQ(target_, clipped);
    }
  }
  EXPECT_FALSE(Drawn().empty());
}

// The engine's own shader changes nothing outside the frame except the
// layers behind, which its glass samples up to its largest shift away: the
// line skips it beyond that and draws the same pixels and layers as when
// it shades every pixel.
TEST_F(WideLine, EngineShaderIsLeftOutOnlyWhereItChangesNothing) {
  Resize(40, 24);
  for (size_t i = 0; i < source_.size(); ++i) source_[i] = static_cast<unsigned char>(i * 37 % 251);
  light_.z = 300.0f;
  light_.x = -40.0f;
  light_.color[0] = light_.color[1] = light_.color[2] = 1.0f;
  light_.intensity = 1.0f;
  glass_ = {1, 0.6f, 20.0f, 30.0f};
  std::vector<unsigned char> back(target_.size());
  std::vector<float> depth(static_cast<size_t>(w_ * h_));
  __OutImage = target_.data();
  __BackImage = back.data();
  __BackZBuff = depth.data();
  const auto draw = [&](const Segment& l, __RenderOnePixelFn shader, int k) {
    __SetNewRenderOnePixel(shader);
    Fill(0, 255);
    for (size_t i = 0; i < back.size(); ++i) back[i] = static_cast<unsigned char>(i * 11 % 253);
    depth.assign(depth.size(), -1e38f);
    // A normal leaning by a different amount for every line.
    const float nx = 0.2f + 0.07f * (k % 9), ny = -0.5f + 0.11f * (k % 7);
    __DrawLineShaded(l.x0, l.x1, l.y0, l.y1, l.width, target_.data(), source_.data(), w_, h_,
                     nullptr, nullptr, 0, &triangle_, 3, nullptr, 20, 12, -nx, -ny, -0.6f, 3.0f, 1,
                     &light_, &glass_);
  };
  int layers_touched = 0;
  for (unsigned char layers : {1, 0})
    for (unsigned char quality : {1, 0}) {
      _UseMultyRefract = layers;
      _Quality = quality;
      int k = 0;
      for (const Segment& l : FarFlungSegments(w_, h_, 60, 3000.0f)) {
        SCOPED_TRACE(testing::Message()
                     << "layers " << int(layers) << " quality " << int(quality) << " line " << k);
        draw(l, Forward, k);
        const std::vector<unsigned char> image = target_, layer = back;
        const std::vector<float> layer_depth = depth;
        draw(l, __DefRenderOnePixel, k++);
        ASSERT_EQ(target_, image);
        ASSERT_EQ(back, layer);
        ASSERT_EQ(depth, layer_depth);
        for (float d : depth) layers_touched += d == 0.0f;
      }
    }
  EXPECT_GT(layers_touched, 0);
}

using TriangleOutline = Lines;

// Outlines of triangles whose corners lie millions of pixels out, on all
// sides of a small frame, through the engine's own shader: the work follows
// the frame, not the lines (the whole walks would shade some 10^10 pixels),
// and what is drawn covers exactly the pixels the one-colour outline covers.
TEST_F(TriangleOutline, FarFlungCornersCostTheFrameNotTheLines) {
  Resize(48, 30);
  __SetDefRenderOnePixel();
  __LightDef = nullptr;
  uint32_t state = 99u;
  const auto uniform = [&](float lo, float hi) {
    state = state * 1664525u + 1013904223u;
    return lo + (hi - lo) * static_cast<float>(state >> 8) / 16777216.0f;
  };
  std::vector<unsigned char> shaded(target_.size()), outlined(target_.size());
  for (int i = 0; i < 300; ++i) {
    // The first edge passes through the frame, from far out on one side to
    // far out on the other; the third corner lies anywhere far out.
    const float px = uniform(-24.0f, 24.0f), py = uniform(-15.0f, 15.0f);
    const float angle = uniform(0.0f, 6.2831853f), dx = std::cos(angle), dy = std::sin(angle);
    const float before = uniform(1e5f, 4e6f), after = uniform(1e5f, 4e6f);
    __Point3ds v[3] = {::At(px - before * dx, py - before * dy),
                       ::At(px + after * dx, py + after * dy),
                       ::At(uniform(-2.5e6f, 2.5e6f), uniform(-2.5e6f, 2.5e6f))};
    target_.swap(shaded);
    __DrawTriangleLines(target_.data(), source_.data(), w_, h_, nullptr, nullptr, 0, &triangle_, v,
                        24, 15, 0, nullptr, nullptr);
    target_.swap(shaded);
    target_.swap(outlined);
    __DrawTriangleLineColor(_WireSize, 200, 200, 200, target_.data(), source_.data(), w_, h_,
                            &triangle_, v, 24, 15);
    target_.swap(outlined);
  }
  int drawn = 0;
  for (size_t i = 3; i < shaded.size() / 2; i += 4) {
    ASSERT_EQ(shaded[i], outlined[i]) << "pixel " << i / 4;
    drawn += shaded[i] != 0;
  }
  EXPECT_GT(drawn, 100);
}

TEST_F(TriangleOutline, EdgesRunInOrderFromEachCorner) {
  _Quality = 0;
  TriangleLines(4.0f, 0.0f, 0.0f, 4.0f);
  const std::vector<Pos> calls = Calls();
  ASSERT_EQ(calls.size(), 15u);
  EXPECT_TRUE(calls[0] == Pos(5, 5) && calls[5] == Pos(9, 5) && calls[10] == Pos(5, 9));
}

TEST_F(TriangleOutline, PlaneIsTheUnitNormalInImageCoordinates) {
  TriangleLines(4.0f, 0.0f, 0.0f, 4.0f, 4.0f, 0.0f);  // depth z = x - 5 across the image
  const float* p = g_calls.at(0).plane;
  EXPECT_NEAR(p[0] * p[0] + p[1] * p[1] + p[2] * p[2], 1.0f, 1e-6f);
  EXPECT_NEAR(-(p[3] + p[0] * 9.0f + p[1] * 7.0f) / p[2], 4.0f, 1e-5f);
  EXPECT_TRUE(g_calls[0].normal.x == -p[0] && g_calls[0].normal.z == -p[2]);
}

TEST_F(TriangleOutline, WireSizeSetsTheWidth) {
  _WireSize = 1.0f;
  TriangleLines(8.0f, 0.0f, 0.0f, 8.0f);
  EXPECT_EQ(At(9, 7, 3), 0u);  // two rows below the first edge
  _WireSize = 3.0f;
  TriangleLines(8.0f, 0.0f, 0.0f, 8.0f);
  EXPECT_EQ(At(9, 7, 3), 255u);
}

TEST_F(TriangleOutline, CollinearCornersStillDrawWithAZeroNormal) {
  TriangleLines(4.0f, 0.0f, 8.0f, 0.0f);
  ASSERT_FALSE(g_calls.empty());
  for (const ShaderCall& c : g_calls)
    EXPECT_TRUE(c.normal.x == 0.0f && c.normal.y == 0.0f && c.normal.z == 0.0f &&
                c.plane[3] == 0.0f);
  for (int x = 5; x <= 13; ++x) EXPECT_EQ(At(x, 5, 0), 200u);
}

TEST_F(TriangleOutline, OneColourOutlinesAllThreeEdges) {
  __Point3ds v[3] = {};
  v[1].x = v[2].y = 8.0f;
  __DrawTriangleLineColor(1.0f, 40, 50, 60, target_.data(), source_.data(), w_, h_, &triangle_, v,
                          5, 5);
  EXPECT_TRUE(g_calls.empty());
  for (const Pos& p : {Pos(9, 5), Pos(9, 9), Pos(5, 9)})
    EXPECT_TRUE(At(p.first, p.second, 0) == 40u && At(p.first, p.second, 2) == 60u &&
                At(p.first, p.second, 3) == 255u);
  EXPECT_EQ(At(7, 7, 3), 0u);
}

}  // namespace
