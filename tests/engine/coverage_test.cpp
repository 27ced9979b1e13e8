// Edge and segment coverage and the coverage plot, in 8-bit and 16-bit frames.
#include <cmath>
#include <cstring>

#include "engine/coverage.h"
#include "engine_state.h"

namespace {

// A 4 x 4 frame of either depth, the image helpers clipped to it.
class Frame : public EngineState {
 protected:
  void SetUp() override {
    EngineState::SetUp();
    Zwidth = 4;
    Zheight = 4;
    __RowBytes = 16;
    __MaxChannel = 255;
  }
  void Use16Bit() {
    _Deep = 1;
    __MaxChannel = 32768;
  }
  unsigned char* Pixel(int x, int y) { return image8 + 16 * y + 4 * x; }
  uint16_t* Pixel16(int x, int y) { return image16 + 16 * y + 4 * x; }
  void Set(int x, int y, int r, int g, int b, int a) {
    unsigned char* p = Pixel(x, y);
    p[0] = static_cast<unsigned char>(r);
    p[1] = static_cast<unsigned char>(g);
    p[2] = static_cast<unsigned char>(b);
    p[3] = static_cast<unsigned char>(a);
  }
  bool Is(int x, int y, int r, int g, int b, int a) {
    const unsigned char* p = Pixel(x, y);
    return p[0] == r && p[1] == g && p[2] == b && p[3] == a;
  }

  // Alpha left at pixel (px, py) of a clear image by the segment's coverage.
  int EdgeAlpha(float x1, float y1, float x2, float y2, float px, float py) {
    std::memset(image8, 0, sizeof image8);
    float a, b, c;
    __LineCoefs(x1, y1, x2, y2, &a, &b, &c);
    const float ab2 = a * a + b * b;
    __AAEdgePixel(1.0f, image8, nullptr, 0.0f, 0.0f, 0, 100.0f, 100.0f, 100.0f, a, b, c, ab2,
                  std::sqrt(ab2), px, py, 1.0f, x1, y1, x2, y2, nullptr);
    return Pixel(static_cast<int>(px), static_cast<int>(py))[3];
  }
  // The same for a vertical edge at column lineX whose inside is to its left.
  int VerticalEdgeAlpha(float line_x) {
    return EdgeAlpha(line_x, -10.0f, line_x, 10.0f, 2.0f, 1.0f);
  }

  unsigned char image8[64] = {};
  uint16_t image16[64] = {};
};

using Coverage = Frame;

TEST_F(Coverage, FilledModesCoverTheBandJustInsideOnly) {
  _DrawMode = 6;
  EXPECT_EQ(VerticalEdgeAlpha(2.0f), 255);  // on the line
  EXPECT_EQ(VerticalEdgeAlpha(2.4f), 255);  // 0.4 inside
  EXPECT_EQ(VerticalEdgeAlpha(2.6f), 0);    // 0.6 inside: the filler's span covers it
  EXPECT_EQ(VerticalEdgeAlpha(1.5f), 127);  // 0.5 outside
  _DrawMode = 3;
  EXPECT_EQ(VerticalEdgeAlpha(2.6f), 0);
}

TEST_F(Coverage, LineModesFadeWithDistanceOnBothSides) {
  _DrawMode = 1;
  EXPECT_EQ(VerticalEdgeAlpha(2.625f), 95);  // 0.625 inside gets 0.375
  EXPECT_EQ(VerticalEdgeAlpha(1.5f), 127);
  EXPECT_EQ(VerticalEdgeAlpha(2.0f), 255);
  _DrawMode = 2;
  EXPECT_EQ(VerticalEdgeAlpha(2.625f), 95);
}

TEST_F(Coverage, BeyondAnEndTheCapIsRound) {
  // The pixel is 0.375 beside the line but 0.625 from the end point (1.625, 2.5).
  EXPECT_EQ(EdgeAlpha(1.625f, -5.0f, 1.625f, 2.5f, 2.0f, 3.0f), 95);
  EXPECT_EQ(EdgeAlpha(1.625f, -5.0f, 1.625f, 3.5f, 2.0f, 3.0f), 159);
  // A horizontal segment ending 0.5 before the pixel.
  EXPECT_EQ(EdgeAlpha(-3.0f, 1.0f, 1.5f, 1.0f, 2.0f, 1.0f), 127);
}

TEST_F(Coverage, DepthLeftByTheEdgeBand) {
  float depths[16];
  for (float& d : depths) d = -5.0f;
  ZBuff = depths;
  float a, b, c;
  __LineCoefs(2.0f, -10.0f, 2.0f, 10.0f, &a, &b, &c);
  __AAEdgePixel(1.0f, image8, nullptr, 9.0f, 3.0f, 6, 50.0f, 50.0f, 50.0f, a, b, c, 400.0f, 20.0f,
                2.0f, 1.0f, 1.0f, 2.0f, -10.0f, 2.0f, 10.0f, nullptr);
  EXPECT_TRUE(depths[6] == 3.0f && Pixel(2, 1)[3] == 255);

  // A segment shorter than a tenth of a pixel draws nothing and still stores.
  __LineCoefs(2.0f, 2.0f, 2.05f, 2.05f, &a, &b, &c);
  __AAEdgePixel(1.0f, image8, nullptr, 9.0f, 4.0f, 10, 50.0f, 50.0f, 50.0f, a, b, c, a * a + b * b,
                std::sqrt(a * a + b * b), 2.0f, 2.0f, 1.0f, 2.0f, 2.0f, 2.05f, 2.05f, nullptr);
  EXPECT_TRUE(depths[10] == 4.0f && Pixel(2, 2)[3] == 0);

  // The store-less form plots the same coverage and leaves every entry.
  __LineCoefs(1.0f, -10.0f, 1.0f, 10.0f, &a, &b, &c);
  __AAEdgePixelNoDepth(1.0f, image8, nullptr, 50.0f, 50.0f, 50.0f, a, b, c, 400.0f, 20.0f, 1.0f,
                       3.0f, 1.0f, 1.0f, -10.0f, 1.0f, 10.0f, nullptr);
  EXPECT_EQ(Pixel(1, 3)[3], 255);
  for (int i = 0; i < 16; ++i) {
    if (i != 6 && i != 10) {
      EXPECT_EQ(depths[i], -5.0f) << i;
    }
  }
}

using Blend = Frame;

TEST_F(Blend, PixelsOutsideTheFrameAreLeft) {
  std::memset(image8, 7, sizeof image8);
  unsigned char before[64];
  std::memcpy(before, image8, sizeof before);
  const int outside[4][2] = {{4, 0}, {0, -1}, {-1, 2}, {1, 4}};
  for (const auto& xy : outside) __BlendPixel(1.0f, image8, nullptr, 9, 9, 9, xy[0], xy[1], 1.0f);
  EXPECT_EQ(std::memcmp(before, image8, sizeof before), 0);
}

TEST_F(Blend, FullCoverageStoresTheClampedColour) {
  Set(1, 2, 10, 10, 10, 10);
  __BlendPixel(1.0f, image8, nullptr, -3.0f, 300.0f, 127.9f, 1, 2, 1.0f);
  EXPECT_TRUE(Is(1, 2, 0, 255, 127, 255));
}

TEST_F(Blend, PartialCoverageOverEmptyAndOpaquePixels) {
  __BlendPixel(1.0f, image8, nullptr, 20.0f, 30.0f, 40.0f, 0, 0, 0.5f);
  EXPECT_TRUE(Is(0, 0, 20, 30, 40, 127));

  Set(3, 3, 100, 50, 0, 255);
  __BlendPixel(1.0f, image8, nullptr, 200.0f, 150.0f, 20.0f, 3, 3, 0.5f);
  EXPECT_TRUE(Is(3, 3, 150, 100, 10, 255));

  // Alpha only grows.
  Set(2, 0, 100, 100, 100, 100);
  __BlendPixel(1.0f, image8, nullptr, 0.0f, 0.0f, 0.0f, 2, 0, 0.5f);
  EXPECT_TRUE(Is(2, 0, 50, 50, 50, 127));
  Set(2, 1, 100, 100, 100, 200);
  __BlendPixel(1.0f, image8, nullptr, 0.0f, 400.0f, 0.0f, 2, 1, 0.5f);
  EXPECT_TRUE(Is(2, 1, 50, 250, 50, 200));
}

TEST_F(Blend, NoCoverageDrawsNothingAndTooMuchCountsAsFull) {
  Set(1, 1, 100, 50, 0, 255);
  __BlendPixel(1.0f, image8, nullptr, 200.0f, 150.0f, 20.0f, 1, 1, 0.0f);
  __BlendPixel(1.0f, image8, nullptr, 200.0f, 150.0f, 20.0f, 1, 1, -0.5f);
  EXPECT_TRUE(Is(1, 1, 100, 50, 0, 255));
  __BlendPixel(1.0f, image8, nullptr, 200.0f, 150.0f, 20.0f, 1, 1, 2.0f);
  EXPECT_TRUE(Is(1, 1, 200, 150, 20, 255));
}

TEST_F(Blend, SixteenBitChannels) {
  Use16Bit();
  __BlendPixel(1.0f, reinterpret_cast<unsigned char*>(image16), nullptr, 1000.0f, 40000.0f, -1.0f,
               1, 2, 0.5f);
  const uint16_t* p = Pixel16(1, 2);
  EXPECT_TRUE(p[0] == 1000 && p[1] == 32768 && p[2] == 0 && p[3] == 16384);

  uint16_t* q = Pixel16(3, 0);
  q[0] = 30000;
  q[3] = 32768;
  __BlendPixel(1.0f, reinterpret_cast<unsigned char*>(image16), nullptr, 10000.0f, 0.0f, 0.0f, 3, 0,
               0.25f);
  EXPECT_TRUE(q[0] == 25000 && q[3] == 32768);
  __BlendPixel(1.0f, reinterpret_cast<unsigned char*>(image16), nullptr, 5.0f, 6.0f, 7.0f, 0, 3,
               1.0f);
  const uint16_t* r = Pixel16(0, 3);
  EXPECT_TRUE(r[0] == 5 && r[1] == 6 && r[2] == 7 && r[3] == 32768);
  int touched = 0;
  for (uint16_t v : image16) touched += v != 0;
  EXPECT_EQ(touched, 3 + 2 + 4);
}

}  // namespace
