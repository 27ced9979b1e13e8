// __RasterScene's passes, facing tests, buffers and default light, observed
// through a recording shader; __RasterSolid and the mode table.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/qf_engine.h"
#include "engine/scene_state.h"
#include "engine/scratch.h"
#include "engine_state.h"
#include "windows.h"

namespace {

constexpr int kSize = 24;
constexpr int kCentre = kSize / 2;

// What the recording shader saw, per pass (0 front, 1 back-face).
struct Seen {
  int calls[2] = {0, 0};
  light3ds light{};
  bool light_set = false;
  unsigned char back_pixel[4] = {};  // __BackImage at the centre, first front-pass call
  bool back_pixel_seen = false;
};
Seen g_seen;

float RecordingShader(float, float, unsigned char*, unsigned char*, float, float, float,
                      __Triangle3ds*, material3ds*, int, float& r, float& g, float& b, __Point*,
                      unsigned char, float, float, __Texture*, int, light3ds*, __PrevInfo*,
                      GlassProp*, float, float, float, float) {
  const int pass = _DrawBackFaces1 != 0 ? 1 : 0;
  ++g_seen.calls[pass];
  if (__LightDef) {
    g_seen.light = *__LightDef;
    g_seen.light_set = true;
  }
  if (pass == 0 && !g_seen.back_pixel_seen && __BackImage) {
    std::memcpy(g_seen.back_pixel, __BackImage + (kCentre * kSize + kCentre) * 4, 4);
    g_seen.back_pixel_seen = true;
  }
  // Back faces paint blue, front faces red.
  r = pass == 1 ? 0.0f : static_cast<float>(__MaxChannel);
  g = 0.0f;
  b = pass == 1 ? static_cast<float>(__MaxChannel) : 0.0f;
  return 1.0f;
}

// Triangles about the centre: one facing the viewer, one facing away.
const __Point3ds kFront[3] = {{-8, -8, 5, 0, 0, 0, 0, 0, 0, 1},
                              {8, -8, 5, 0, 0, 0, 0, 0, 0, 1},
                              {0, 8, 5, 0, 0, 0, 0, 0, 0, 1}};
const __Point3ds kBack[3] = {{-8, -8, 5, 0, 0, 0, 0, 0, 0, 1},
                             {0, 8, 5, 0, 0, 0, 0, 0, 0, 1},
                             {8, -8, 5, 0, 0, 0, 0, 0, 0, 1}};

class SceneTest : public EngineState {
 protected:
  void SetUp() override {
    EngineState::SetUp();
    g_seen = Seen{};
    _DrawBackFaces = 0;
    _DrawBackFaces1 = 0;
    _DubleSide = 0;
    _UseMultyRefract = 1;
    __LightDef = nullptr;
    __SetNewRenderOnePixel(RecordingShader);
    out_.assign(kSize * kSize * 4, 0);
    source_.assign(kSize * kSize * 4, 40);
  }
  void TearDown() override {
    __SetDefRenderOnePixel();
    EngineState::TearDown();
  }

  void Draw(const __Point3ds* vertices, int light_count = 0) {
    std::memcpy(points_, vertices, 3 * sizeof(__Point3ds));
    __RasterScene(out_.data(), source_.data(), kSize, kSize, kSize * 4, 3, 1, triangles_, points_,
                  kCentre, kCentre, 0, nullptr, nullptr, light_count,
                  light_count ? &light_ : nullptr, nullptr);
  }
  // Two triangles: the back face and the front face over it.
  void DrawBoth() {
    std::memcpy(points_, kBack, sizeof(kBack));
    std::memcpy(points_ + 3, kFront, sizeof(kFront));
    __Triangle3ds both[2] = {{0, 1, 2, 0, 0}, {3, 4, 5, 0, 0}};
    __RasterScene(out_.data(), source_.data(), kSize, kSize, kSize * 4, 6, 2, both, points_,
                  kCentre, kCentre, 0, nullptr, nullptr, 0, nullptr, nullptr);
  }
  const unsigned char* Centre() const { return &out_[(kCentre * kSize + kCentre) * 4]; }

  std::vector<unsigned char> out_, source_;
  __Point3ds points_[6]{};
  __Triangle3ds triangles_[1] = {{0, 1, 2, 0, 0}};
  light3ds light_{};
};

TEST_F(SceneTest, ModesWithoutLoopLeaveTheOutputAndReleaseTheirBuffers) {
  for (unsigned char mode : {4, 5, 7, 11, 200}) {
    _DrawMode = mode;
    Draw(kFront);
    EXPECT_EQ(g_seen.calls[0], 0) << int(mode);
    EXPECT_EQ(Centre()[3], 0) << int(mode);
    EXPECT_EQ(ZBuff, nullptr);
    EXPECT_EQ(Zwidth, kSize);
    EXPECT_EQ(__LightDef, nullptr);
    EXPECT_EQ(__ScratchLayer, nullptr);
    EXPECT_EQ(__BackImage, nullptr);
  }
}

TEST_F(SceneTest, RoughModeClearsBackFacePassForGood) {
  _DrawMode = 0;
  _DrawBackFaces = 1;
  Draw(kFront);
  EXPECT_EQ(_DrawBackFaces, 0);
  EXPECT_EQ(_DrawBackFaces1, 0);
  EXPECT_EQ(ZBuff, nullptr);  // mode 0 takes no depth buffer
  EXPECT_EQ(Zwidth, 0);
}

TEST_F(SceneTest, FrontPassDrawsOnlyFrontFaces) {
  for (unsigned char mode : {3, 6}) {
    g_seen = Seen{};
    _DrawMode = mode;
    Draw(kFront);
    EXPECT_GT(g_seen.calls[0], 0) << int(mode);
    const int front = g_seen.calls[0];
    g_seen = Seen{};
    Draw(kBack);
    EXPECT_EQ(g_seen.calls[0] + g_seen.calls[1], 0) << int(mode);
    EXPECT_GT(front, 50);
  }
}

TEST_F(SceneTest, AFarVertexStillReachesTheFrameThroughTheScratchLayer) {
  // A strong perspective warp can throw a vertex beyond the range of an
  // int; the scratch rectangle then still spans the frame.
  __Point3ds distant[3] = {kFront[0], kFront[1], kFront[2]};
  distant[1].x = 1e10f;
  for (unsigned char mode : {3, 6}) {
    out_.assign(kSize * kSize * 4, 0);
    _DrawMode = mode;
    _Quality = 1;
    Draw(distant);
    EXPECT_TRUE(Centre()[0] == 255 && Centre()[3] == 255) << int(mode);
  }
}

TEST_F(SceneTest, BackFacePassRunsFirstAndBecomesTheBackground) {
  _DrawBackFaces = 1;
  _Quality = 0;
  DrawBoth();
  EXPECT_GT(g_seen.calls[1], 0);
  EXPECT_GT(g_seen.calls[0], 0);
  // The front pass saw the back face (blue) behind it, not the source.
  ASSERT_TRUE(g_seen.back_pixel_seen);
  EXPECT_EQ(g_seen.back_pixel[0], 0);
  EXPECT_EQ(g_seen.back_pixel[2], 255);
  EXPECT_EQ(g_seen.back_pixel[3], 255);
  // The call's own depth buffer started empty again, so the front face
  // (at the same depth) drew over the back face.
  EXPECT_EQ(Centre()[0], 255);
  EXPECT_EQ(Centre()[2], 0);
  EXPECT_EQ(_DrawBackFaces, 1);
  EXPECT_EQ(_DrawBackFaces1, 0);
}

TEST_F(SceneTest, DoubleSidedTrianglesDrawInBothPasses) {
  _DrawBackFaces = 1;
  _DubleSide = 1;
  Draw(kBack);
  EXPECT_GT(g_seen.calls[1], 0);
  EXPECT_EQ(g_seen.calls[0], g_seen.calls[1]);
}

TEST_F(SceneTest, MultipleRefractionDrawsBackFacesInFrontPassOfFilledModes) {
  _UseMultyRefract = 2;
  for (unsigned char mode : {3, 6}) {
    g_seen = Seen{};
    _DrawMode = mode;
    Draw(kBack);
    EXPECT_GT(g_seen.calls[0], 0) << int(mode);
  }
}

TEST_F(SceneTest, CallersDepthBufferOfFrameSizeIsKeptAndFilled) {
  const size_t bytes = kSize * kSize * sizeof(float);
  float* depth = static_cast<float*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
  std::memset(depth, 0xFE, bytes);
  __SetZBuff(depth, kSize, kSize);
  _Quality = 0;
  Draw(kFront);
  EXPECT_EQ(ZBuff, depth);
  EXPECT_FLOAT_EQ(depth[kCentre * kSize + kCentre], 5.0f);
  VirtualFree(depth, 0, MEM_RELEASE);
  __SetZBuff(nullptr, 0, 0);
}

TEST_F(SceneTest, CallersDepthBufferOfOtherSizeIsReplaced) {
  float* depth = static_cast<float*>(VirtualAlloc(nullptr, 64, MEM_COMMIT, PAGE_READWRITE));
  __SetZBuff(depth, 4, 4);
  Draw(kFront);
  EXPECT_EQ(ZBuff, nullptr);  // released, and the call's own freed at its end
  EXPECT_EQ(Zwidth, kSize);
  EXPECT_EQ(Zheight, kSize);
}

TEST_F(SceneTest, DefaultLightIsCreatedForTheCallAndFreed) {
  Draw(kFront);
  ASSERT_TRUE(g_seen.light_set);
  EXPECT_EQ(g_seen.light.x, 200.0f);
  EXPECT_EQ(g_seen.light.y, 200.0f);
  EXPECT_EQ(g_seen.light.z, 1000.0f);
  EXPECT_EQ(g_seen.light.color[1], 1.0f);
  EXPECT_EQ(g_seen.light.intensity, 1.0f);
  EXPECT_EQ(__LightDef, nullptr);

  // A scene with its own light, or a caller's default light, gets none.
  g_seen = Seen{};
  Draw(kFront, 1);
  EXPECT_FALSE(g_seen.light_set);
  light3ds mine{};
  __SetLightDef(&mine);
  Draw(kFront);
  EXPECT_EQ(__LightDef, &mine);
}

TEST_F(SceneTest, DegenerateTriangleCountsAsFrontFacing) {
  // Collinear: facing value 0, passed on (the filler then draws nothing).
  const __Point3ds line[3] = {{-8, 0, 5, 0, 0, 0, 0, 0, 0, 1},
                              {0, 0, 5, 0, 0, 0, 0, 0, 0, 1},
                              {8, 0, 5, 0, 0, 0, 0, 0, 0, 1}};
  _DrawMode = 0;
  Draw(line);
  // Rough mode draws its edges straight into the output.
  EXPECT_EQ(out_[(kCentre * kSize + kCentre) * 4 + 3], 255);
}

TEST_F(SceneTest, SolidFillUsesOneColourAndNoDepth) {
  float sentinel = 7.0f;
  ZBuff = &sentinel;  // never read or written: a 1x1 buffer would be overrun
  std::memcpy(points_, kFront, sizeof(kFront));
  _Quality = 0;
  __RasterSolid(out_.data(), kSize, kSize, kSize * 4, 3, 1, triangles_, points_, kCentre, kCentre,
                10.0f, 20.0f, 30.0f, 1.0f);
  EXPECT_EQ(Centre()[0], 10);
  EXPECT_EQ(Centre()[1], 20);
  EXPECT_EQ(Centre()[2], 30);
  EXPECT_EQ(Centre()[3], 255);
  EXPECT_EQ(sentinel, 7.0f);
  EXPECT_EQ(Zwidth, kSize);
  EXPECT_EQ(g_seen.calls[0], 0);
}

}  // namespace
