#include "engine/texture_stages.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine_state.h"

namespace {

// A texture of the current depth whose texels are set as 8-bit values (16-bit
// textures store value * 128). Its storage ends with its last texel, so a read
// past it shows under the sanitizers.
class TestTexture {
 public:
  TestTexture(int width, int height)
      : width_(width),
        height_(height),
        bytes_(static_cast<size_t>(width * height * 4) * (_Deep != 0 ? 2 : 1)) {}
  void Set(int x, int y, int b, int g, int r, int a = 255) {
    const int v[4] = {b, g, r, a};
    for (int c = 0; c < 4; ++c) {
      const int i = (x + y * width_) * 4 + c;
      if (_Deep != 0)
        reinterpret_cast<uint16_t*>(bytes_.data())[i] = static_cast<uint16_t>(v[c] * 128);
      else
        bytes_[i] = static_cast<uint8_t>(v[c]);
    }
  }
  __Texture Record() { return {1, width_, height_, bytes_.data(), _Deep}; }

 private:
  int width_, height_;
  std::vector<uint8_t> bytes_;
};

map3ds Map(float amount) {
  map3ds map{};
  map.amount = amount;
  map.scaleU = map.scaleV = 1.0f;
  return map;
}

PixelShade Grey() { return {{0.5f, 0.5f, 0.5f}, 1.0f, {0.0f, 0.0f, 1.0f}}; }

class TextureStages : public EngineState {
 protected:
  void SetUp() override {
    EngineState::SetUp();
    __MaxChannel = 255;
    _Quality = 0;
  }
  // Diffuse red after a colour map of amount 1 at (u, v).
  float RedAt(TestTexture& t, float u, float v = 0.0f, const __PrevInfo* prev = nullptr,
              map3ds map = Map(1.0f)) {
    PixelShade p = Grey();
    ShadeColourMap(map, t.Record(), u, v, prev, p);
    return p.diffuse[0];
  }
};

// A 41 x 1 texture whose red (and blue) holds the column.
TestTexture Ramp(int width = 41) {
  TestTexture t(width, 1);
  for (int x = 0; x < width; ++x) t.Set(x, 0, x, 0, x);
  return t;
}

TEST_F(TextureStages, PositionScalesOffsetsAndWraps) {
  TestTexture t = Ramp(40);
  EXPECT_EQ(RedAt(t, 1.25f), 8.0f / 255.0f);    // 48.75 wraps to 8.75
  EXPECT_EQ(RedAt(t, -0.1f), 36.0f / 255.0f);   // -3.9 wraps to 36.1
  EXPECT_EQ(RedAt(t, -1e-9f), 39.0f / 255.0f);  // rounds up to 40: the last texel
  map3ds map = Map(1.0f);
  map.scaleU = 2.0f;
  map.offsetU = 0.1f;
  EXPECT_EQ(RedAt(t, 0.25f, 0.0f, nullptr, map), 23.0f / 255.0f);  // 0.6 * 39 = 23.4
  _Quality = 1;
  EXPECT_NEAR(RedAt(t, 1.25f), 8.75f / 255.0f, 1e-6f);
  EXPECT_NEAR(RedAt(t, -0.1f), 36.1f / 255.0f, 1e-6f);
}

TEST_F(TextureStages, BilinearAtTheLastColumnAndRowStaysOnTheTexture) {
  _Quality = 1;
  TestTexture wide(4, 1), tall(1, 4);
  wide.Set(3, 0, 0, 0, 200);
  tall.Set(0, 3, 0, 0, 200);
  EXPECT_NEAR(RedAt(wide, 3.5f / 3.0f), 200.0f / 255.0f, 1e-6f);
  EXPECT_NEAR(RedAt(tall, 0.0f, 3.5f / 3.0f), 200.0f / 255.0f, 1e-6f);
}

TEST_F(TextureStages, FootprintAveragesAlongTheNeighboursMove) {
  _Quality = 1;
  TestTexture t = Ramp();
  __PrevInfo prev{0.0f, 0.0f, 1.0f, 1, 0.0f, 0.0f, 0.25f, 0.0f};    // texel 10
  EXPECT_NEAR(RedAt(t, 0.5f, 0.0f, &prev), 14.5f / 255.0f, 1e-6f);  // 10 .. 19
  prev.u = 0.0f;  // a move of 20 is sampled 10 times, every second texel
  EXPECT_NEAR(RedAt(t, 0.5f, 0.0f, &prev), 9.0f / 255.0f, 1e-6f);
  prev.u = 0.45f;  // 18: a move of 2 is no footprint
  EXPECT_NEAR(RedAt(t, 0.5f, 0.0f, &prev), 20.0f / 255.0f, 1e-6f);
  prev.u = 0.25f;
  prev.valid = 0;
  EXPECT_NEAR(RedAt(t, 0.5f, 0.0f, &prev), 20.0f / 255.0f, 1e-6f);

  TestTexture square(41, 41);
  for (int y = 0; y < 41; ++y)
    for (int x = 0; x < 41; ++x) square.Set(x, y, y, 0, x);
  prev = {0.0f, 0.0f, 1.0f, 1, 0.0f, 0.0f, 0.25f, 0.25f};
  PixelShade p = Grey();
  ShadeColourMap(Map(1.0f), square.Record(), 0.5f, 0.5f, &prev, p);
  EXPECT_NEAR(p.diffuse[0], 14.5f / 255.0f, 1e-6f);
  EXPECT_NEAR(p.diffuse[2], 14.5f / 255.0f, 1e-6f);
}

TEST_F(TextureStages, ColourMapBlendsByAmountAndAlpha) {
  TestTexture t(2, 1);
  t.Set(0, 0, 0, 51, 255);
  t.Set(1, 0, 0, 51, 255, 0);
  const float amounts[] = {1.0f, 0.5f, 2.0f, -1.0f};
  const float reds[] = {1.0f, 0.75f, 1.0f, 0.5f};
  const float greens[] = {0.2f, 0.35f, 0.2f, 0.5f};
  const float blues[] = {0.0f, 0.25f, 0.0f, 0.5f};
  for (int i = 0; i < 4; ++i) {
    PixelShade p = Grey();
    ShadeColourMap(Map(amounts[i]), t.Record(), 0.0f, 0.0f, nullptr, p);
    EXPECT_FLOAT_EQ(p.diffuse[0], reds[i]) << amounts[i];
    EXPECT_FLOAT_EQ(p.diffuse[1], greens[i]) << amounts[i];
    EXPECT_FLOAT_EQ(p.diffuse[2], blues[i]) << amounts[i];
  }
  EXPECT_EQ(RedAt(t, 1.0f), 0.5f);  // a transparent texel changes nothing
}

TEST_F(TextureStages, OpacityMapTakesTheBrightestChannel) {
  TestTexture t(1, 1);
  t.Set(0, 0, 102, 230, 51);
  PixelShade p = Grey();
  ShadeOpacityMap(Map(1.0f), t.Record(), 0.0f, 0.0f, nullptr, p);
  EXPECT_FLOAT_EQ(p.opacity, 230.0f / 255.0f);
  p.opacity = 0.2f;
  ShadeOpacityMap(Map(0.5f), t.Record(), 0.0f, 0.0f, nullptr, p);
  EXPECT_FLOAT_EQ(p.opacity, 0.5f * 230.0f / 255.0f + 0.1f);
}

TEST_F(TextureStages, UnreadableSlotsAreSkipped) {
  TestTexture t(2, 1);
  t.Set(1, 0, 255, 255, 255);
  __Texture records[5] = {t.Record(), t.Record(), t.Record(), t.Record(), t.Record()};
  records[0].loaded = 0;
  records[1].width = 0;
  records[2].height = 0;
  records[3].pixels = nullptr;
  for (int i = 0; i < 4; ++i) {
    PixelShade p = Grey();
    ShadeColourMap(Map(1.0f), records[i], 0.0f, 0.0f, nullptr, p);
    ShadeBumpMap(Map(100.0f), records[i], 0.0f, 0.0f, nullptr, p);
    EXPECT_EQ(p.diffuse[0], 0.5f) << i;
    EXPECT_EQ(p.normal[0], 0.0f) << i;
  }
  const float unusable[] = {NAN, INFINITY, 1e30f};
  for (float u : unusable) {
    PixelShade p = Grey();
    ShadeColourMap(Map(1.0f), records[4], u, 0.0f, nullptr, p);
    ShadeOpacityMap(Map(1.0f), records[4], u, 0.0f, nullptr, p);
    EXPECT_EQ(p.diffuse[0], 0.5f) << u;
    EXPECT_EQ(p.opacity, 1.0f) << u;
  }
}

// A 4 x 2 texture; brightness is the sum of blue, green and red.
class BumpMap : public TextureStages {
 protected:
  PixelShade Bend(float u, float v, float amount, const __PrevInfo* prev = nullptr) {
    TestTexture t(4, 2);
    t.Set(1, 0, 4, 3, 3, 0);   // 10
    t.Set(2, 0, 13, 0, 0, 0);  // 13
    t.Set(3, 0, 20, 0, 0);     // 20
    t.Set(1, 1, 1, 1, 2);      // 4
    t.Set(3, 1, 2, 0, 0);      // 2
    PixelShade p = Grey();
    ShadeBumpMap(Map(amount), t.Record(), u, v, prev, p);
    return p;
  }
};

TEST_F(BumpMap, BendsAlongTheBrightnessGradientWithoutRenormalising) {
  const PixelShade p = Bend(1.0f / 3.0f, 0.0f, 10.0f);  // texel (1, 0)
  EXPECT_FLOAT_EQ(p.normal[0], -3.0f);
  EXPECT_FLOAT_EQ(p.normal[1], 6.0f);
  EXPECT_EQ(p.normal[2], 1.0f);
  _Quality = 1;  // the three-texel form does not blend
  EXPECT_FLOAT_EQ(Bend(1.1f / 3.0f, 0.0f, 10.0f).normal[0], -3.0f);
}

TEST_F(BumpMap, StrengthAndBendAreWorkedOutInDoubles) {
  // A tenth of 0.1 in floats would bend by -0.0299999993 and 0.0599999987.
  const PixelShade p = Bend(1.0f / 3.0f, 0.0f, 0.1f);  // gradient (3, -6)
  const double k = static_cast<double>(0.1f) / 10.0;
  EXPECT_EQ(p.normal[0], static_cast<float>(-3.0 * k));
  EXPECT_EQ(p.normal[1], static_cast<float>(6.0 * k));
}

TEST_F(BumpMap, LastColumnAndRowHaveNoGradientAcross) {
  PixelShade p = Bend(1.0f, 0.0f, 10.0f);  // texel (3, 0)
  EXPECT_EQ(p.normal[0], 0.0f);
  EXPECT_FLOAT_EQ(p.normal[1], 18.0f);
  p = Bend(1.0f, 1.0f, 10.0f);  // texel (3, 1)
  EXPECT_EQ(p.normal[0], 0.0f);
  EXPECT_EQ(p.normal[1], 0.0f);
}

TEST_F(BumpMap, SixteenBitTextureBendsAsTheEightBitOne) {
  const PixelShade eight = Bend(1.0f / 3.0f, 0.0f, 0.7f);
  _Deep = 1;
  __MaxChannel = 32768;
  const PixelShade sixteen = Bend(1.0f / 3.0f, 0.0f, 0.7f);
  // 128 * 255 / 32768 of each 8-bit step.
  EXPECT_NEAR(sixteen.normal[0], eight.normal[0] * 0.99609375f, 1e-6f);
  EXPECT_NEAR(sixteen.normal[1], eight.normal[1] * 0.99609375f, 1e-6f);
}

TEST_F(BumpMap, FootprintComparesTexelsOneMoveApartWrappingToTheFirst) {
  _Quality = 1;
  TestTexture t = Ramp();                                          // brightness 2x
  __PrevInfo prev{0.0f, 0.0f, 1.0f, 1, 0.0f, 0.0f, 0.875f, 0.0f};  // texel 35
  PixelShade p = Grey();
  ShadeBumpMap(Map(1.0f), t.Record(), 0.5f, 0.0f, &prev, p);
  // Samples 35, 33, 32, 30, 29, 27, 26, 24, 23, 21; their right neighbours
  // 15 on, past the last column for all but the last three (39, 38, 36).
  EXPECT_NEAR(p.normal[0], -(2.0 * 113.0 / 10.0 - 2.0 * 280.0 / 10.0) * 0.1, 1e-5);
  EXPECT_EQ(p.normal[1], 0.0f);  // one row: the lower neighbour is row 0 again
}

class ReflectionMap : public TextureStages {
 protected:
  void SetUp() override {
    TextureStages::SetUp();
    _Quality = 1;
    Zwidth = 100;
    for (int x = 0; x < 201; ++x) ramp_.Set(x, 0, 0, 0, x);
  }
  // The sampled red scaled to a texel column of the 201-wide ramp, or -1.
  float Column(float nx, float ny, float nz, float px, float py, float pz, float amount = 1.0f) {
    const PixelShade p{{0.5f, 0.5f, 0.5f}, 1.0f, {nx, ny, nz}};
    ReflectionSample s{};
    if (!ShadeReflectionMap(Map(amount), ramp_.Record(), p, px, py, pz, s)) return -1.0f;
    amount_ = s.amount;
    return s.colour[0] * 255.0f;
  }
  TestTexture ramp_{201, 1};
  float amount_ = 0.0f;
};

TEST_F(ReflectionMap, FacingTheViewerLooksStraightUp) {
  EXPECT_NEAR(Column(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f), 100.0f, 1e-4f);
  EXPECT_NEAR(Column(0.0f, 0.0f, 1.0f, 50.0f, 0.0f, 0.0f), 150.0f, 1e-4f);
  _Quality = 0;
  EXPECT_NEAR(Column(0.0f, 0.0f, 1.0f, 50.5f, 0.0f, 0.0f), 150.0f, 1e-4f);
}

TEST_F(ReflectionMap, NearerOfTheDepthAndSideFaces) {
  // R = (0.199, 0, 0.980): the top z = 100 at x = 20.3.
  const double nz = std::sqrt(0.99), rx = 2.0 * nz * 0.1, rz = 2.0 * nz * nz - 1.0;
  EXPECT_NEAR(Column(0.1f, 0.0f, static_cast<float>(nz), 0.0f, 0.0f, 0.0f), 100.0 + 100.0 * rx / rz,
              1e-3);
  // R = (0.96, 0, 0.28): the side x = 100 is hit at z = 29.17, nearer than
  // the top z = 100 at x = 342.9.
  EXPECT_NEAR(Column(0.6f, 0.0f, 0.8f, 0.0f, 0.0f, 0.0f), 129.1667f, 1e-3f);
  // R = (0.96, 0, -0.28): the side x = 100 at z = -29.17.
  EXPECT_NEAR(Column(0.8f, 0.0f, 0.6f, 0.0f, 0.0f, 0.0f), 70.8333f, 1e-3f);
  // R along y: x across at the point itself.
  const float h = std::sqrt(0.5f);
  EXPECT_NEAR(Column(0.0f, h, h, 20.0f, 0.0f, 50.0f), 120.0f, 1e-3f);
}

TEST_F(ReflectionMap, AmountClampedAndNoBoxNoSample) {
  Column(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 2.0f);
  EXPECT_EQ(amount_, 1.0f);
  Column(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, -1.0f);
  EXPECT_EQ(amount_, 0.0f);
  PixelShade p = Grey();
  BlendReflection({{1.0f, 0.0f, 0.25f}, 0.25f}, p);
  EXPECT_FLOAT_EQ(p.diffuse[0], 0.625f);
  EXPECT_FLOAT_EQ(p.diffuse[1], 0.375f);
  EXPECT_FLOAT_EQ(p.diffuse[2], 0.4375f);
  Zwidth = 0;
  EXPECT_EQ(Column(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f), -1.0f);
}

}  // namespace
