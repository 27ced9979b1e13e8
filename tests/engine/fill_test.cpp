#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "engine/fill.h"
#include "engine_state.h"

namespace {

using Pos = std::pair<int, int>;  // column, row
using Pixels = std::set<Pos>;

// What the shader received; the neighbour record as it stood at the call.
struct ShaderCall {
  Pos at;
  float x, y, z;
  __Point normal;
  unsigned char textures_on;
  float u, v;
  bool has_prev;
  __PrevInfo prev;
  float plane[4];
  const void* pointers[7];  // image, source, triangle, materials, textures, lights, glass
  float centre[2];
  int counts[2];  // materials, lights
};

std::vector<ShaderCall> g_calls;
float g_colour = 200.0f;
float g_opacity = 1.0f;

float Recorder(float cx, float cy, unsigned char* image, unsigned char* source, float x, float y,
               float z, __Triangle3ds* triangle, material3ds* materials, int material_count,
               float& r, float& g, float& b, __Point* normal, unsigned char textures_on, float u,
               float v, __Texture* textures, int light_count, light3ds* lights, __PrevInfo* prev,
               GlassProp* glass, float A, float B, float C, float D) {
  const Pos at(static_cast<int>(x + cx), static_cast<int>(y + cy));
  g_calls.push_back({at,
                     x,
                     y,
                     z,
                     *normal,
                     textures_on,
                     u,
                     v,
                     prev != nullptr,
                     prev != nullptr ? *prev : __PrevInfo{},
                     {A, B, C, D},
                     {image, source, triangle, materials, textures, lights, glass},
                     {cx, cy},
                     {material_count, light_count}});
  r = g = b = g_colour;
  return g_opacity;
}

// Colours a pixel by its neighbour record, so pictures show where the chain breaks.
float NeighbourPainter(float, float, unsigned char*, unsigned char*, float x, float, float,
                       __Triangle3ds*, material3ds*, int, float& r, float& g, float& b, __Point*,
                       unsigned char, float, float, __Texture*, int, light3ds*, __PrevInfo* prev,
                       GlassProp*, float, float, float, float) {
  const bool valid = prev != nullptr && prev->valid != 0;
  r = prev == nullptr ? 50.0f : (valid ? 200.0f : 100.0f);
  g = valid ? 100.0f + 10.0f * (x - prev->x) : 0.0f;
  b = 30.0f;
  return 1.0f;
}

__Point3ds Vertex(float x, float y, float z = 5.0f) {
  __Point3ds p{};
  p.x = x, p.y = y, p.z = z, p.nz = 1.0f;
  return p;
}

enum class Mode { Phong, Flat, Solid };
const Mode kModes[] = {Mode::Phong, Mode::Flat, Mode::Solid};

// Pixels (x, y) with first <= y <= last and from <= x <= end - y.
Pixels Staircase(int first, int last, int from, int end) {
  Pixels out;
  for (int y = first; y <= last; ++y)
    for (int x = from; x <= end - y; ++x) out.insert({x, y});
  return out;
}

Pixels Box(int x0, int y0, int x1, int y1, Pixels out = {}) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) out.insert({x, y});
  return out;
}

// A frame of w x h pixels about the centre (cx, cy) with the recording shader.
class Fill : public EngineState {
 protected:
  void SetUp() override {
    EngineState::SetUp();
    _DrawMode = 3;
    _Quality = 0;
    Resize(16, 16);
    __SetNewRenderOnePixel(Recorder);
    g_calls.clear();
    g_colour = 200.0f;
    g_opacity = 1.0f;
  }
  void TearDown() override {
    __SetDefRenderOnePixel();
    EngineState::TearDown();
  }
  void Resize(int w, int h) {
    w_ = w, h_ = h, Zwidth = w, Zheight = h, __RowBytes = 4 * w;
    image_.assign(static_cast<size_t>(8 * w * h), 0);  // room for 16 bits
    g_calls.clear();
  }
  void UseDepth(unsigned char byte) {
    depth_.assign(static_cast<size_t>(w_ * h_), 0.0f);
    std::memset(depth_.data(), byte, depth_.size() * sizeof(float));
    ZBuff = depth_.data();
  }
  float Depth(int x, int y) const { return depth_[static_cast<size_t>(y * w_ + x)]; }
  uint32_t At(int x, int y, int c) { return __GetChannel(image_.data(), (y * w_ + x) * 4 + c); }
  Pixels Drawn() {
    Pixels out;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (At(x, y, 3) != 0) out.insert({x, y});
    return out;
  }
  static Pixels Shaded(bool boxes) {
    Pixels out;
    for (const ShaderCall& call : g_calls)
      if (call.has_prev != boxes) out.insert(call.at);
    return out;
  }
  void Draw(Mode mode, __Point3ds* v, int a = 0, int b = 1, int c = 2) {
    triangle_ = {a, b, c, 0, 0};
    if (mode == Mode::Phong)
      __SetupTrianglePhong(image_.data(), source_, w_, h_, textures_, materials_, 2, &triangle_, v,
                           cx_, cy_, 1, &light_, glass_);
    else if (mode == Mode::Flat)
      __SetupTriangleFlat(image_.data(), source_, w_, h_, textures_, materials_, 2, &triangle_, v,
                          cx_, cy_, 1, &light_, glass_);
    else
      __SetupTriangleSolid(image_.data(), w_, h_, &triangle_, v, cx_, cy_, g_colour, g_colour,
                           g_colour, g_opacity);
  }
  // (1.5, 9.5), (1.5, 1.5), (9.5, 1.5) in image coordinates: the left edge
  // is x = 1.5 and the right edge crosses row y at x = 11 - y.
  void RightTriangle() {
    right_[0] = Vertex(1.5f - cx_, 9.5f - cy_);
    right_[1] = Vertex(1.5f - cx_, 1.5f - cy_);
    right_[2] = Vertex(9.5f - cx_, 1.5f - cy_);
  }
  void DrawRightTriangle(Mode mode) {
    RightTriangle();
    Draw(mode, right_);
  }

  int w_ = 0, h_ = 0, cx_ = 3, cy_ = 2;
  std::vector<unsigned char> image_;
  std::vector<float> depth_;
  unsigned char source_[4] = {};
  __Point3ds right_[3] = {};
  __Triangle3ds triangle_{0, 1, 2, 0, 0};
  __Texture textures_[8] = {};
  material3ds materials_[2] = {};
  light3ds light_{};
  GlassProp glass_[2] = {};
};

using PlainFill = Fill;

TEST_F(PlainFill, InteriorSpansOnlyFromTopRowToJustAboveTheLowest) {
  // Rows 9 (trunc of the top y) down to 2; Flat and Solid end at column
  // <= xR, Phong below it; each pixel is shaded once and no box is drawn.
  DrawRightTriangle(Mode::Flat);
  EXPECT_EQ(Drawn(), Staircase(2, 9, 1, 11));
  EXPECT_EQ(g_calls.size(), Staircase(2, 9, 1, 11).size());
  Resize(16, 16);
  DrawRightTriangle(Mode::Phong);
  EXPECT_EQ(Drawn(), Staircase(2, 9, 1, 10));
  EXPECT_EQ(g_calls.size(), Staircase(2, 9, 1, 10).size());
  Resize(16, 16);
  DrawRightTriangle(Mode::Solid);
  EXPECT_EQ(Drawn(), Staircase(2, 9, 1, 11));

  // A left corner on the whole row 5: Flat scans that row with both left
  // edges, Phong only with the lower one.
  __Point3ds bent[3] = {Vertex(5.5f, 9.5f), Vertex(1.5f, 5.0f), Vertex(7.5f, 1.5f)};
  cx_ = cy_ = 0;
  for (Mode mode : {Mode::Flat, Mode::Phong}) {
    g_calls.clear();
    Draw(mode, bent);
    std::map<Pos, int> count;
    for (const ShaderCall& call : g_calls) ++count[call.at];
    for (const auto& entry : count)
      EXPECT_EQ(entry.second, mode == Mode::Flat && entry.first.second == 5 ? 2 : 1);
  }
}

TEST_F(PlainFill, EitherWindingFillsTheSame) {
  __Point3ds v[3] = {Vertex(-1.25f, 8.5f, 4.0f), Vertex(9.75f, -1.5f, 6.0f),
                     Vertex(4.5f, 12.25f, 2.0f)};
  for (unsigned char quality : {0, 1}) {
    _Quality = quality;
    for (Mode mode : kModes) {
      Resize(16, 16);
      Draw(mode, v, 0, 1, 2);
      const std::vector<unsigned char> first = image_;
      const std::vector<ShaderCall> first_calls = g_calls;
      Resize(16, 16);
      Draw(mode, v, 0, 2, 1);
      EXPECT_FALSE(Drawn().empty());
      EXPECT_EQ(image_, first) << static_cast<int>(mode) << " quality " << int(quality);
      ASSERT_EQ(g_calls.size(), first_calls.size());
      for (size_t i = 0; i < g_calls.size() && mode == Mode::Flat; ++i) {
        EXPECT_GE(g_calls[i].normal.z, 0.0f);
        EXPECT_NEAR(g_calls[i].normal.z, first_calls[i].normal.z, 1e-6f);
      }
    }
  }
}

TEST_F(PlainFill, DegenerateTrianglesDrawNothing) {
  __Point3ds collinear[3] = {Vertex(1, 1), Vertex(5, 5), Vertex(9, 9)};
  __Point3ds repeated[3] = {Vertex(2, 3), Vertex(2, 3), Vertex(9, 12)};
  __Point3ds point[3] = {Vertex(1, 1), Vertex(1, 1), Vertex(1, 1)};
  // On one row, with the top vertex (the later of equal y) in the middle.
  __Point3ds row[3] = {Vertex(0.5f, 4), Vertex(10.5f, 4), Vertex(5.5f, 4)};
  __Point3ds broken[3] = {Vertex(1.5f, 1.5f), Vertex(std::nanf(""), 9), Vertex(9.5f, 1.5f)};
  for (unsigned char quality : {0, 1}) {
    _Quality = quality;
    for (Mode mode : kModes)
      for (__Point3ds* v : {collinear, repeated, point, row, broken}) Draw(mode, v);
  }
  EXPECT_TRUE(g_calls.empty());
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(PlainFill, FarAwayCornersAreClippedToTheFrame) {
  // Corners beyond the range of an int: only the frame is scanned.
  const float far = 1e15f;
  __Point3ds v[3] = {Vertex(-far, -far), Vertex(far, -far), Vertex(0.0f, far)};
  for (unsigned char quality : {0, 1}) {
    _Quality = quality;
    for (Mode mode : kModes) {
      Resize(16, 16);
      Draw(mode, v);
      EXPECT_EQ(Drawn(), Box(0, 0, 15, 15));
    }
  }
}

TEST_F(PlainFill, CornersBeyondTheRangeOfAnIntKeepTheirRows) {
  // The right side runs from (0, 0) up to (2^32, 2^32), so it crosses row y
  // at x = y; the corner above it lies beyond the range of an int.
  cx_ = cy_ = 0;
  __Point3ds v[3] = {Vertex(0.0f, 8589934592.0f), Vertex(0.0f, 0.0f),
                     Vertex(4294967296.0f, 4294967296.0f)};
  for (Mode mode : kModes) {
    Resize(16, 16);
    Draw(mode, v);
    Pixels expected;  // columns up to xR (Flat, Solid) or below it (Phong)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x <= (mode == Mode::Phong ? y - 1 : y); ++x) expected.insert({x, y});
    EXPECT_EQ(Drawn(), expected) << static_cast<int>(mode);
  }
}

using ShaderArguments = Fill;

TEST_F(ShaderArguments, FlatHandsOverThePlaneAndANeighbourThatIsNeverValid) {
  const auto z = [](float x, float y) { return 4.0f + 0.25f * x - 0.5f * y; };
  const float px[3] = {2.0f, 13.0f, 6.0f}, py[3] = {1.0f, 3.0f, 14.0f};
  __Point3ds v[3];
  for (int i = 0; i < 3; ++i) v[i] = Vertex(px[i] - cx_, py[i] - cy_, z(px[i], py[i]));
  Draw(Mode::Flat, v);
  ASSERT_FALSE(g_calls.empty());
  const float* plane = g_calls.front().plane;
  EXPECT_NEAR(std::hypot(plane[0], plane[1], plane[2]), 1.0f, 1e-6f);
  const void* pointers[7] = {image_.data(), source_, &triangle_, materials_,
                             textures_,     &light_, glass_};
  for (const ShaderCall& call : g_calls) {
    const float X = static_cast<float>(call.at.first), Y = static_cast<float>(call.at.second);
    EXPECT_EQ(call.x, X - 3.0f);
    EXPECT_EQ(call.y, Y - 2.0f);
    EXPECT_NEAR(call.z, z(X, Y), 1e-4f);
    EXPECT_NEAR(call.z, -(plane[3] + plane[0] * X + plane[1] * Y) / plane[2], 1e-5f);
    EXPECT_TRUE(call.normal.x == -plane[0] && call.normal.y == -plane[1] &&
                call.normal.z == -plane[2]);
    EXPECT_TRUE(call.textures_on == 0 && call.u == 0.0f && call.v == 0.0f);
    EXPECT_TRUE(call.has_prev && call.prev.valid == 0);
    EXPECT_EQ(0, std::memcmp(call.plane, plane, sizeof call.plane));
    EXPECT_EQ(0, std::memcmp(call.pointers, pointers, sizeof pointers));
    EXPECT_TRUE(call.centre[0] == 3.0f && call.centre[1] == 2.0f);
    EXPECT_TRUE(call.counts[0] == 2 && call.counts[1] == 1);
  }
}

TEST_F(ShaderArguments, BoxPixelsGetNoNeighbourAndLieInTheirBoxes) {
  _Quality = 1;
  // Flat boxes span their edge's end points: the left edge's, then in the
  // closing pass the bottom edge's, which is flat and ends the scan.
  DrawRightTriangle(Mode::Flat);
  EXPECT_EQ(Shaded(true), Box(0, 0, 3, 11, Box(0, 0, 11, 3)));
  for (const ShaderCall& call : g_calls) EXPECT_TRUE(!call.has_prev || call.prev.valid == 0);
  // Phong boxes sit around the left edge's upper end, then around the
  // bottom edge's lower end, reaching along the edge from its start.
  Resize(16, 16);
  DrawRightTriangle(Mode::Phong);
  EXPECT_EQ(Shaded(true), Box(1, 8, 3, 11, Box(0, 0, 11, 3)));
  // Left edges (5.5, 12.5) -> (1.5, 8.5) -> (9.5, 2.5), each boxed at its
  // upper end; the closing right edge is boxed at its lower end.
  Resize(16, 16);
  cx_ = cy_ = 0;
  __Point3ds v[3] = {Vertex(5.5f, 12.5f), Vertex(1.5f, 8.5f), Vertex(9.5f, 2.5f)};
  Draw(Mode::Phong, v);
  EXPECT_EQ(Shaded(true), Box(4, 11, 7, 14, Box(0, 7, 3, 10, Box(8, 1, 11, 4))));
}

TEST_F(ShaderArguments, PhongNormalBlendsTheUnitVertexNormals) {
  RightTriangle();
  right_[0].nx = 2.0f, right_[0].nz = 0.0f;
  right_[1].ny = 1.0f, right_[1].nz = 0.0f;
  right_[2].nz = 3.0f;
  Draw(Mode::Phong, right_);
  ASSERT_FALSE(g_calls.empty());
  for (const ShaderCall& call : g_calls) {
    const float X = static_cast<float>(call.at.first), Y = static_cast<float>(call.at.second);
    if (X < 2.0f) continue;  // column 1 lies outside the edge: its weights are clamped
    const float w0 = (Y - 1.5f) / 8.0f, w2 = (X - 1.5f) / 8.0f;
    EXPECT_NEAR(call.normal.x, w0, 1e-6f);
    EXPECT_NEAR(call.normal.y, 1.0f - w0 - w2, 1e-6f);
    EXPECT_NEAR(call.normal.z, w2, 1e-6f);
  }
}

TEST_F(ShaderArguments, PhongChainsEachPixelToThePreviousOneOnItsRow) {
  _Quality = 1;
  DrawRightTriangle(Mode::Phong);
  const ShaderCall* last = nullptr;  // the previous band or interior pixel
  int chained = 0;
  for (const ShaderCall& call : g_calls) {
    if (!call.has_prev) continue;  // box pixels neither read nor write the record
    if (last != nullptr && last->at.second == call.at.second) {
      ASSERT_EQ(call.prev.valid, 1);
      EXPECT_TRUE(call.prev.x == last->x && call.prev.y == last->y &&
                  call.prev.nz == last->normal.z);
      ++chained;
    } else {
      EXPECT_EQ(call.prev.valid, 0) << "a new row starts without a neighbour";
    }
    last = &call;
  }
  EXPECT_GT(chained, 30);

  // A hidden pixel is not shaded but still becomes the next one's neighbour.
  Resize(16, 16);
  _Quality = 0;
  UseDepth(0xFE);
  for (int y = 0; y < h_; ++y) depth_[static_cast<size_t>(y * w_ + 4)] = 1e30f;
  DrawRightTriangle(Mode::Phong);
  ASSERT_FALSE(g_calls.empty());
  for (const ShaderCall& call : g_calls) {
    EXPECT_NE(call.at.first, 4);
    EXPECT_TRUE(call.at.first != 5 || (call.prev.valid == 1 && call.prev.x == 4.0f - 3.0f));
  }
}

TEST_F(ShaderArguments, TexturesOnlyWhenEveryCornerHasThem) {
  _Persp_Val = 1.0f;
  RightTriangle();
  for (__Point3ds& p : right_) p.hasTexture = 1, p.u = 0.25f, p.v = 0.75f;
  right_[1].hasTexture = 0;
  for (Mode mode : {Mode::Phong, Mode::Flat}) Draw(mode, right_);
  ASSERT_FALSE(g_calls.empty());
  for (const ShaderCall& call : g_calls)
    EXPECT_TRUE(call.textures_on == 0 && call.u == 0.0f && call.v == 0.0f);
  g_calls.clear();
  right_[1].hasTexture = 1;  // perspective-correct now: a constant stays constant
  for (Mode mode : {Mode::Phong, Mode::Flat}) Draw(mode, right_);
  for (const ShaderCall& call : g_calls) {
    EXPECT_EQ(call.textures_on, 1);
    EXPECT_NEAR(call.u, 0.25f, 1e-6f);
    EXPECT_NEAR(call.v, 0.75f, 1e-6f);
  }
}

using EdgeDepth = Fill;

TEST_F(EdgeDepth, BandPixelsGiveTheirDepthBackInteriorPixelsKeepIt) {
  _Quality = 1;
  float empty;
  std::memset(&empty, 0xFE, sizeof empty);
  // The interior runs from trunc(xL + 1) = 2 to xR = 11 - y (Flat) or below it (Phong).
  const std::pair<Mode, Pixels> cases[] = {{Mode::Flat, Staircase(2, 9, 2, 11)},
                                           {Mode::Phong, Staircase(2, 8, 2, 10)}};
  for (const auto& c : cases) {
    Resize(16, 16);
    UseDepth(0xFE);
    g_colour = 200.0f;
    DrawRightTriangle(c.first);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        EXPECT_EQ(Depth(x, y), c.second.count({x, y}) ? 5.0f : empty) << x << "," << y;
    EXPECT_TRUE(At(1, 5, 0) == 200u && At(1, 5, 3) == 127u);  // half covered

    // The same triangle again in another colour: its interior loses the
    // depth test, its edge band draws again (twice in Flat, whose first
    // vertex box covers the band as well).
    g_colour = 100.0f;
    DrawRightTriangle(c.first);
    for (const Pos& p : c.second) EXPECT_EQ(At(p.first, p.second, 0), 200u);
    EXPECT_EQ(At(1, 5, 0), c.first == Mode::Flat ? 125u : 150u);
  }
}

TEST_F(EdgeDepth, SolidNeitherTestsNorStoresDepth) {
  _Quality = 1;
  UseDepth(0x7E);  // about 8e37: nearer than any triangle
  const std::vector<float> before = depth_;
  DrawRightTriangle(Mode::Flat);
  EXPECT_TRUE(Drawn().empty());
  DrawRightTriangle(Mode::Solid);
  EXPECT_EQ(depth_, before);
  EXPECT_TRUE(Drawn().count({2, 5}) && Drawn().count({1, 5}));  // interior and band
}

TEST_F(Fill, EightAndSixteenBitImages) {
  for (Mode mode : kModes) {
    Resize(16, 16);
    _Deep = 0, __MaxChannel = 255;
    g_colour = 255.0f;
    g_opacity = 0.5f;  // over an empty pixel the colour lands whole, alpha halves
    DrawRightTriangle(mode);
    EXPECT_TRUE(At(3, 5, 0) == 255u && At(3, 5, 3) == 127u);

    Resize(16, 16);
    _Deep = 1, __MaxChannel = 32768;
    g_colour = 32768.0f;
    g_opacity = 1.0f;
    DrawRightTriangle(mode);
    EXPECT_TRUE(At(3, 5, 0) == 32768u && At(3, 5, 3) == 32768u);
    EXPECT_EQ(Drawn(), Staircase(2, 9, 1, mode == Mode::Phong ? 10 : 11));
  }
}

TEST_F(Fill, AFrameCutsATriangleWithoutChangingWhatItShows) {
  // One triangle in a small frame that cuts it on every side and in a large
  // frame that holds it whole: the small frame shows exactly the matching
  // part, the neighbour records at its border included.
  __SetNewRenderOnePixel(NeighbourPainter);
  _Quality = 1;
  g_colour = 120.0f;
  __Point3ds v[3] = {Vertex(-2.5f, 13.5f), Vertex(-10.5f, 5.5f), Vertex(13.5f, -2.5f)};
  for (Mode mode : kModes) {
    Resize(64, 48);
    UseDepth(0xFE);
    cx_ = 32, cy_ = 16;
    Draw(mode, v);
    const std::vector<unsigned char> whole = image_;
    Resize(12, 10);
    UseDepth(0xFE);
    cx_ = 0, cy_ = 0;
    Draw(mode, v);
    bool chained_at_border = false;
    for (int y = 0; y < 10; ++y) {
      chained_at_border |= At(0, y, 0) == 200u;
      for (int x = 0; x < 12; ++x) {
        const size_t i = static_cast<size_t>(4 * ((y + 16) * 64 + x + 32));
        for (int c = 0; c < 4; ++c)
          ASSERT_EQ(At(x, y, c), whole[i + c]) << int(mode) << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(chained_at_border, mode == Mode::Phong);
  }
}

}  // namespace

namespace {

TEST_F(Fill, BoxesLeaveOutOnlyPixelsTheirEdgeCannotCover) {
  // The engine's shader skips the box pixels far from their edge; installed
  // as another shader, it shades every one of them. Both must give the same
  // image and depth: shallow edges whose boxes span the frame, edges that
  // cross it from far outside, and corners too far for exact float pixels.
  _Quality = 1;
  _UseMultyRefract = 0;  // glass reads the source alone: uncovered pixels change nothing
  materials_[0].diffuse[0] = 0.9f;
  materials_[0].diffuse[1] = 0.5f;
  materials_[0].diffuse[2] = 0.2f;
  materials_[0].shininess = 0.3f;
  materials_[0].shininessStrength = 0.7f;
  light_.x = -40.0f, light_.y = -60.0f, light_.z = 300.0f;
  light_.color[0] = light_.color[1] = light_.color[2] = 1.0f;
  light_.intensity = 1.0f;
  const float far = 3.0e7f;
  const float corners[][6] = {
      {-40.0f, -3.0f, 40.0f, 4.0f, 35.0f, -5.0f},     // shallow: boxes as wide as the frame
      {-300.0f, 20.0f, 310.0f, -18.0f, 5.0f, 21.0f},  // crosses the frame from far outside
      {-far, 2.5f, far, 7.5f, 0.25f, -far},           // corners far beyond exact pixels
      {-6.5f, -30.0f, 9.5f, 31.0f, -5.5f, 32.0f},     // steep
      {-30.0f, 10.2f, 30.0f, 10.7f, 20.0f, 10.9f},    // thinner than a row: boxes alone
      {-31.0f, -11.2f, 31.0f, -8.7f, 25.0f, -8.9f},   // a few rows, mostly boxes
  };
  for (Mode mode : {Mode::Flat, Mode::Phong}) {
    std::vector<unsigned char> images[2];
    std::vector<float> depths[2];
    for (int installed = 0; installed < 2; ++installed) {
      if (installed == 0)
        __SetDefRenderOnePixel();
      else
        __SetNewRenderOnePixel(Forward);
      Resize(64, 48);
      UseDepth(0xFE);
      cx_ = 32, cy_ = 24;
      float z = 10.0f;
      for (const auto& c : corners) {
        __Point3ds v[3] = {Vertex(c[0], c[1], z), Vertex(c[2], c[3], z), Vertex(c[4], c[5], z)};
        z += 5.0f;
        Draw(mode, v);
        Draw(mode, v, 0, 2, 1);  // the other winding
      }
      images[installed] = image_;
      depths[installed] = depth_;
    }
    EXPECT_GT(Drawn().size(), 400u);
    EXPECT_TRUE(images[0] == images[1]) << int(mode);
    EXPECT_TRUE(depths[0] == depths[1]) << int(mode);
  }
}

}  // namespace
