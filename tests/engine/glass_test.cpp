#include "engine/glass.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine_state.h"

namespace {

// A 40 x 4 frame of 8-bit images: the source holds 5 * column + row in every
// colour channel; the output, the layer behind and its depth buffer are
// filled per test. Unless a test says otherwise only the source is read. Each image ends with its
// last pixel, so a read past it shows under the sanitizers.
class Glass : public EngineState {
 protected:
  static constexpr int kWidth = 40, kHeight = 4, kValues = kWidth * kHeight * 4;

  void SetUp() override {
    EngineState::SetUp();
    _Quality = 0;
    _UseMultyRefract = 0;
    Zwidth = kWidth;
    Zheight = kHeight;
    __RowBytes = 4 * kWidth;
    __MaxChannel = 255;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        for (int c = 0; c < 4; ++c) source_[Index(x, y, c)] = Value(x, y);
    __OutImage = out_.data();
    __BackImage = back_.data();
    __BackZBuff = depth_.data();
  }
  static int Index(int x, int y, int c) { return 4 * x + y * 4 * kWidth + c; }
  static uint8_t Value(int x, int y) { return static_cast<uint8_t>(5 * x + y); }
  static float Read(int x, int y) { return Value(x, y) / 255.0f; }

  // Refracts the grey pixel at (px, py) with the normal n; returns the pixel.
  PixelShade Refract(float px, float py, float nx, float ny, float nz,
                     const __PrevInfo* prev = nullptr, float plane_c = 0.0f, float plane_d = 0.0f) {
    PixelShade p{{diffuse_[0], diffuse_[1], diffuse_[2]}, 1.0f, {nx, ny, nz}};
    ShadeGlass(glass_, p, 0.0f, 0.0f, px, py, pz_, source_.data(), prev, 0.0f, 0.0f, plane_c,
               plane_d);
    return p;
  }

  GlassProp glass_{1, 3.0f, 2.0f, 0.0f};  // normal (1, 0, 0) shifts by 2 * offset
  float diffuse_[3] = {0.5f, 0.5f, 0.5f};
  float pz_ = 0.0f;
  std::vector<uint8_t> source_ = std::vector<uint8_t>(kValues);
  std::vector<uint8_t> out_ = std::vector<uint8_t>(kValues);
  std::vector<uint8_t> back_ = std::vector<uint8_t>(kValues);
  std::vector<float> depth_ = std::vector<float>(kWidth * kHeight, -1.6947395e38f);
};

TEST_F(Glass, NoShiftReadsThePixelItself) {
  PixelShade p = Refract(7.5f, 2.5f, 0.0f, 0.0f, 1.0f);  // whatever the coefficient
  EXPECT_FLOAT_EQ(p.diffuse[0], Read(7, 2));
  glass_.offset = 0.0f;
  p = Refract(7.5f, 2.5f, 1.0f, 0.0f, 0.0f);
  EXPECT_FLOAT_EQ(p.diffuse[2], Read(7, 2));
  EXPECT_EQ(p.opacity, 1.0f);
}

TEST_F(Glass, AberrationSplitsTheShiftPerChannel) {
  glass_.offset = 16.0f;  // red shifts 32 columns
  PixelShade p = Refract(0.5f, 1.0f, 1.0f, 0.0f, 0.0f);
  for (int j = 0; j < 3; ++j) EXPECT_FLOAT_EQ(p.diffuse[j], Read(32, 1)) << j;
  glass_.aberration = 50.0f;  // green 0.75 and blue 0.5625 of it
  p = Refract(0.5f, 1.0f, 1.0f, 0.0f, 0.0f);
  EXPECT_FLOAT_EQ(p.diffuse[0], Read(32, 1));
  EXPECT_FLOAT_EQ(p.diffuse[1], Read(24, 1));
  EXPECT_FLOAT_EQ(p.diffuse[2], Read(18, 1));
}

TEST_F(Glass, DiffuseColourTintsAroundMidGrey) {
  diffuse_[0] = 1.0f;
  diffuse_[1] = 0.0f;
  diffuse_[2] = 0.75f;
  const PixelShade p = Refract(20.5f, 1.0f, 0.0f, 0.0f, 1.0f);  // reads 101 / 255
  EXPECT_FLOAT_EQ(p.diffuse[0], static_cast<float>(0.5 + 101.0 / 255.0));
  EXPECT_EQ(p.diffuse[1], 0.0f);
  EXPECT_FLOAT_EQ(p.diffuse[2], static_cast<float>(0.25 + 101.0 / 255.0));
  diffuse_[0] = 1.0f;
  EXPECT_EQ(Refract(39.5f, 3.0f, 0.0f, 0.0f, 1.0f).diffuse[0], 1.0f);  // 0.5 + 198 / 255
  // The tint is added in doubles: in floats 0.2 - 0.5 + 101 / 255 gives 0.0960784256.
  diffuse_[1] = 0.2f;
  EXPECT_EQ(
      Refract(20.5f, 1.0f, 0.0f, 0.0f, 1.0f).diffuse[1],
      static_cast<float>(static_cast<double>(0.2f) - 0.5 + static_cast<double>(101.0f / 255.0f)));
}

TEST_F(Glass, SamplesLeavingTheImageFallBackPerAxis) {
  // Shift (4, 2): the column leaves the image, the row does not.
  PixelShade p = Refract(38.5f, 1.0f, 1.0f, 0.5f, 0.0f);
  EXPECT_FLOAT_EQ(p.diffuse[0], Read(38, 3));
  // A shift to -0.5 truncates to column 0, which lies in the image.
  p = Refract(3.5f, 1.0f, -1.0f, 0.0f, 0.0f);
  EXPECT_FLOAT_EQ(p.diffuse[0], Read(0, 1));
  // A shift that is not finite reads the pixel's own place.
  glass_.offset = INFINITY;
  p = Refract(3.5f, 1.0f, 1.0f, 0.0f, 0.0f);
  EXPECT_FLOAT_EQ(p.diffuse[0], Read(3, 1));
  _Quality = 1;
  glass_.offset = NAN;
  p = Refract(3.0f, 1.0f, 1.0f, 0.0f, 0.0f);
  EXPECT_FLOAT_EQ(p.diffuse[0], (4.0f * 16 + 17 + 21) / (6.0f * 255.0f));
  EXPECT_EQ(p.opacity, 1.0f);
}

TEST_F(Glass, DirectSampleOutsideMakesThePixelTransparent) {
  const PixelShade p = Refract(45.0f, 1.0f, 1.0f, 0.0f, 0.0f);
  EXPECT_EQ(p.opacity, 0.0f);
  EXPECT_EQ(p.diffuse[0], 0.0f);
  EXPECT_EQ(p.diffuse[2], 0.0f);
}

TEST_F(Glass, QualityBlendsTwoByTwoClampedAtTheLastColumnAndRow) {
  _Quality = 1;
  // At a whole position the weights are 4, 0, 1, 1 of 6.
  PixelShade p = Refract(10.0f, 1.0f, 0.0f, 0.0f, 1.0f);
  EXPECT_FLOAT_EQ(p.diffuse[0], (4.0f * 51 + 52 + 56) / (6.0f * 255.0f));
  p = Refract(39.0f, 3.0f, 0.0f, 0.0f, 1.0f);
  EXPECT_FLOAT_EQ(p.diffuse[0], Read(39, 3));
  // Half way the four corners weigh the same.
  p = Refract(10.5f, 1.5f, 0.0f, 0.0f, 1.0f);
  EXPECT_FLOAT_EQ(p.diffuse[0], (51.0f + 57 + 52 + 56) / (4.0f * 255.0f));
}

TEST_F(Glass, WithoutLayersOnlyTheSourceIsRead) {
  const std::vector<uint8_t> back = back_;
  const std::vector<float> depth = depth_;
  __OutImage = nullptr;
  const PixelShade p = Refract(7.5f, 2.5f, 0.0f, 0.0f, 1.0f);
  EXPECT_FLOAT_EQ(p.diffuse[0], Read(7, 2));
  EXPECT_EQ(back_, back);
  EXPECT_EQ(depth_, depth);
}

TEST_F(Glass, FrontPassAfterBackFacesBlendsTheirImageByCoverage) {
  _DrawBackFaces = 1;
  back_[Index(7, 2, 0)] = 200;
  out_[Index(7, 2, 3)] = 51;
  EXPECT_FLOAT_EQ(Refract(7.5f, 2.5f, 0.0f, 0.0f, 1.0f).diffuse[0], Read(7, 2));
  back_[Index(7, 2, 3)] = 1;
  EXPECT_FLOAT_EQ(Refract(7.5f, 2.5f, 0.0f, 0.0f, 1.0f).diffuse[0],
                  (0.2f * 200.0f + 0.8f * 37.0f) / 255.0f);
}

TEST_F(Glass, LayersFollowTheDepthOfEachGlassSurface) {
  _UseMultyRefract = 1;
  for (int c = 0; c < 3; ++c) {
    back_[Index(7, 2, c)] = 90;
    out_[Index(7, 2, c)] = 170;
  }
  out_[Index(7, 2, 3)] = 255;
  // First surface: the empty depth keeps the layer and records the depth.
  pz_ = 100.0f;
  EXPECT_FLOAT_EQ(Refract(7.5f, 2.5f, 0.0f, 0.0f, 1.0f).diffuse[1], 90.0f / 255.0f);
  EXPECT_EQ(depth_[2 * kWidth + 7], 100.0f);
  // Within 30 of it: the same surface.
  pz_ = 129.0f;
  EXPECT_FLOAT_EQ(Refract(7.5f, 2.5f, 0.0f, 0.0f, 1.0f).diffuse[1], 90.0f / 255.0f);
  EXPECT_EQ(depth_[2 * kWidth + 7], 100.0f);
  // A new surface behind fully covered output: the output becomes the layer.
  pz_ = 130.0f;
  EXPECT_FLOAT_EQ(Refract(7.5f, 2.5f, 0.0f, 0.0f, 1.0f).diffuse[1], 170.0f / 255.0f);
  EXPECT_EQ(back_[Index(7, 2, 0)], 170);
  EXPECT_EQ(back_[Index(7, 2, 3)], 0);
  EXPECT_EQ(depth_[2 * kWidth + 7], 130.0f);
}

TEST_F(Glass, FootprintSpansTheNeighboursRefractionAndCountsCoverage) {
  _Quality = 1;
  // This pixel does not shift; the neighbour's normal (2, 0, 0) counts as
  // (1, 0, 0) and shifts by this pixel's factor, -2, times the offset.
  __PrevInfo prev{2.0f, 0.0f, 0.0f, 1, 20.5f, 1.0f, 0.0f, 0.0f};
  glass_.refraction = 1.0f;
  glass_.offset = 3.0f;
  PixelShade p = Refract(20.5f, 1.0f, 0.0f, 0.0f, 1.0f, &prev);
  // Five samples from 20.5 towards 14.5: columns 20, 19, 18, 16, 15 of row 1.
  EXPECT_FLOAT_EQ(p.diffuse[0], (5.0f * (20 + 19 + 18 + 16 + 15) + 5.0f) / (5.0f * 255.0f));
  EXPECT_EQ(p.opacity, 1.0f);

  // From beyond the last column: two samples fall outside and are not counted.
  prev = {0.0f, 0.0f, 1.0f, 1, 37.0f, 1.0f, 0.0f, 0.0f};
  p = Refract(41.0f, 1.0f, 0.0f, 0.0f, 1.0f, &prev);
  EXPECT_FLOAT_EQ(p.diffuse[0], (5.0f * (39 + 38 + 37) + 3.0f) / (5.0f * 255.0f));
  EXPECT_FLOAT_EQ(p.opacity, 0.6f);

  // The layers take each sample's depth from the triangle's plane.
  _UseMultyRefract = 1;
  Refract(41.0f, 1.0f, 0.0f, 0.0f, 1.0f, &prev, 1.0f, -100.0f);
  EXPECT_EQ(depth_[kWidth + 38], 100.0f);
  EXPECT_EQ(depth_[kWidth + 36], -1.6947395e38f);

  _DrawBackFaces = 1;  // no footprint: the own column lies outside
  EXPECT_EQ(Refract(41.0f, 1.0f, 0.0f, 0.0f, 1.0f, &prev).opacity, 0.0f);
}

TEST_F(Glass, BackFaceSwitchOtherThanOneKeepsTheFootprint) {
  _Quality = 1;
  _DrawBackFaces = 2;  // back faces drawn first, yet not the value that stops footprints
  glass_.refraction = 1.0f;
  glass_.offset = 3.0f;
  __PrevInfo prev{2.0f, 0.0f, 0.0f, 1, 20.5f, 1.0f, 0.0f, 0.0f};
  back_[Index(18, 1, 0)] = 200;
  back_[Index(18, 1, 3)] = 1;
  out_[Index(18, 1, 3)] = 51;
  // Columns 20, 19, 18, 16, 15 of row 1; at 18 the back faces' image over the source.
  const float at18 = 0.2f * 200.0f + 0.8f * 91.0f;
  PixelShade p = Refract(20.5f, 1.0f, 0.0f, 0.0f, 1.0f, &prev);
  EXPECT_FLOAT_EQ(p.diffuse[0], (101.0f + 96.0f + at18 + 81.0f + 76.0f) / (5.0f * 255.0f));
  // In the back-face pass itself only the source is read.
  _DrawBackFaces1 = 1;
  _UseMultyRefract = 0;
  p = Refract(20.5f, 1.0f, 0.0f, 0.0f, 1.0f, &prev);
  EXPECT_FLOAT_EQ(p.diffuse[0], (101.0f + 96.0f + 91.0f + 81.0f + 76.0f) / (5.0f * 255.0f));
}

TEST_F(Glass, SixteenBitLayersCountFullCoverageAt32768) {
  _Deep = 1;
  _UseMultyRefract = 1;
  __MaxChannel = 32768;
  __RowBytes = 4;
  Zwidth = Zheight = 1;
  uint16_t out[4] = {1000, 2000, 3000, 32768}, back[4] = {4000, 5000, 6000, 0};
  float depth = 0.0f;
  __OutImage = reinterpret_cast<unsigned char*>(out);
  __BackImage = reinterpret_cast<unsigned char*>(back);
  __BackZBuff = &depth;
  pz_ = 50.0f;
  const PixelShade p = Refract(0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
  EXPECT_FLOAT_EQ(p.diffuse[1], 2000.0f / 32768.0f);
  EXPECT_EQ(back[2], 3000);
  EXPECT_EQ(depth, 50.0f);
}

// Every path of the stage, bit for bit: pixels inside and beyond the frame,
// shifts that stay, leave or are not numbers, no neighbour or one near or
// far, over each image behind, at both depths and qualities. The hash takes
// each result and, per setting, the layer and depth buffers as left.
TEST_F(Glass, SweepKeepsEveryBit) {
  uint64_t hash = 1469598103934665603ull;
  auto add = [&hash](const void* data, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
      hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ull;
  };
  const GlassProp records[] = {
      {1, 1.5f, 6.0f, 40.0f}, {1, -2.0f, -13.0f, 0.0f}, {1, 0.7f, INFINITY, 20.0f}};
  const float normals[][3] = {{0.0f, 0.0f, 1.0f}, {0.6f, -0.3f, 0.74f}, {-0.8f, 0.5f, 0.3f}};
  for (int setting = 0; setting < 12; ++setting) {
    _Deep = setting & 1;
    _Quality = (setting >> 1) & 1;
    _UseMultyRefract = setting >> 2 == 1;
    _DrawBackFaces = setting >> 2 == 2 ? 2 : 0;  // the back faces' image over the source
    __MaxChannel = _Deep ? 32768 : 255;
    const size_t bytes = kValues * (_Deep ? 2 : 1);
    std::vector<unsigned char> source(bytes), out(bytes), back(bytes);
    for (int i = 0; i < kValues; ++i) {
      const uint32_t v = (static_cast<uint32_t>(i) * 2654435761u >> 9) % (__MaxChannel + 1);
      SetChannelAt(source.data(), i, v, _Deep);
      SetChannelAt(out.data(), i, i % 8 == 3 ? __MaxChannel : v / 3, _Deep);
      SetChannelAt(back.data(), i, (v * 7) % (__MaxChannel + 1), _Deep);
    }
    std::vector<float> depth(kWidth * kHeight, -1.6947395e38f);
    __OutImage = out.data();
    __BackImage = back.data();
    __BackZBuff = depth.data();
    for (const GlassProp& record : records)
      for (const float* n : normals)
        for (float px : {-3.5f, 0.2f, 7.5f, 20.25f, 38.7f, 41.0f})
          for (float py : {-1.5f, 0.5f, 2.25f, 3.9f})
            for (float far : {0.0f, 1.0f, 9.0f, 30.0f}) {
              const __PrevInfo prev{n[1], n[0], n[2], far != 0.0f, px - far, py + far / 4, 0, 0};
              PixelShade p{{0.3f, 0.5f, 0.9f}, 0.8f, {n[0], n[1], n[2]}};
              ShadeGlass(record, p, 1.0f, -0.5f, px, py, 40.0f + px, source.data(), &prev, 0.3f,
                         -2.0f, far == 9.0f ? 0.0f : 0.5f, -40.0f);
              add(&p, sizeof p);
            }
    add(back.data(), bytes);
    add(depth.data(), depth.size() * sizeof(float));
  }
  EXPECT_EQ(hash, 0xc376b49ab7c866bdull) << "0x" << std::hex << hash;
}

}  // namespace
