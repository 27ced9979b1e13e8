// The curved draws (modes 9, 8, 2 and 10) drawn through __RasterScene as a
// host draws, observed through a recording shader and the output image.
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/qf_engine.h"
#include "engine/scene_state.h"
#include "engine_state.h"
#include "windows.h"

namespace {

constexpr int kSize = 32;
constexpr int kCentre = kSize / 2;
constexpr size_t kGuard = 256;  // bytes after the frame that nothing may touch

struct Call {
  float x, y, z;
  __Point normal;
  float plane[4];
  int material;
};
std::vector<Call> g_calls;
float g_opacity = 1.0f;

float RecordingShader(float, float, unsigned char*, unsigned char*, float x, float y, float z,
                      __Triangle3ds* triangle, material3ds*, int, float& r, float& g, float& b,
                      __Point* normal, unsigned char, float, float, __Texture*, int, light3ds*,
                      __PrevInfo*, GlassProp*, float pa, float pb, float pc, float pd) {
  g_calls.push_back({x, y, z, *normal, {pa, pb, pc, pd}, triangle->material});
  r = static_cast<float>(__MaxChannel);
  g = 0.0f;
  b = 0.0f;
  return g_opacity;
}

__Point3ds V(float x, float y, float z, float nx, float ny, float nz) {
  __Point3ds p{};
  p.x = x;
  p.y = y;
  p.z = z;
  p.nx = nx;
  p.ny = ny;
  p.nz = nz;
  p.hasNormal = 1;
  return p;
}

class Curved : public EngineState {
 protected:
  void SetUp() override {
    EngineState::SetUp();
    g_calls.clear();
    g_opacity = 1.0f;
    __LightDef = nullptr;
    __SetNewRenderOnePixel(RecordingShader);
    out.assign(kSize * kSize * 8 + kGuard, 0);
    source.assign(kSize * kSize * 8 + kGuard, 40);
  }
  void TearDown() override {
    __SetDefRenderOnePixel();
    if (depth) {
      ZBuff = nullptr;
      VirtualFree(depth, 0, MEM_RELEASE);
    }
    EngineState::TearDown();
  }
  // A caller's depth buffer of the frame's size, every entry at value.
  void KeepDepth(float value) {
    depth = static_cast<float*>(
        VirtualAlloc(nullptr, kSize * kSize * sizeof(float), MEM_COMMIT, PAGE_READWRITE));
    for (int i = 0; i < kSize * kSize; ++i) depth[i] = value;
    __SetZBuff(depth, kSize, kSize);
  }
  void Draw(int mode, __Point3ds a, __Point3ds b, __Point3ds c, int material = 0,
            int material_count = 0, material3ds* materials = nullptr) {
    _DrawMode = static_cast<unsigned char>(mode);
    points[0] = a;
    points[1] = b;
    points[2] = c;
    triangle = {0, 1, 2, 0, static_cast<uint16_t>(material)};
    __RasterScene(out.data(), source.data(), kSize, kSize, kSize * 4, 3, 1, &triangle, points,
                  kCentre, kCentre, material_count, materials, nullptr, 0, nullptr, nullptr);
  }
  const unsigned char* Pixel(int x, int y) const { return &out[(y * kSize + x) * 4]; }
  bool GuardUntouched() const {
    const size_t frame = kSize * kSize * (_Deep ? 8 : 4);
    for (size_t i = frame; i < out.size(); ++i)
      if (out[i] != 0) return false;
    return true;
  }
  bool AnyDrawn() const {
    for (int i = 0; i < kSize * kSize; ++i)
      if (out[i * 4 + 3] != 0) return true;
    return false;
  }

  std::vector<unsigned char> out, source;
  __Point3ds points[3];
  __Triangle3ds triangle{};
  float* depth = nullptr;
};

// Mode 9 ------------------------------------------------------------------

TEST_F(Curved, NormalsAlongTheFaceNormalGiveTheFlatTriangle) {
  // A tilted plane z = 5 + 0.5 x; its normal (-0.5, 0, 1) at every corner.
  const float nx = -0.5f, nz = 1.0f;
  Draw(9, V(-8, -8, 1, nx, 0, nz), V(8, -8, 9, nx, 0, nz), V(0, 8, 5, nx, 0, nz));
  ASSERT_GT(g_calls.size(), 100u);
  for (const Call& c : g_calls) {
    EXPECT_NEAR(c.z, 5.0f + 0.5f * c.x, 1e-4f);
    EXPECT_NEAR(c.normal.x, nx, 1e-6f);
    EXPECT_NEAR(c.normal.z, nz, 1e-6f);
    // The plane is in image coordinates: at the sample's column and row
    // it gives the sample's depth.
    const float X = c.x + kCentre, Y = c.y + kCentre;
    EXPECT_NEAR(-(c.plane[3] + c.plane[0] * X + c.plane[1] * Y) / c.plane[2], c.z, 1e-3f);
  }
  EXPECT_TRUE(GuardUntouched());
}

TEST_F(Curved, CornerV1IsSampledAndV0NeverAndCoincidingV0V2GiveOneEdge) {
  // |V1 - V2| = 8: the steps of s are sixteenths and reach 1 exactly.
  Draw(9, V(-8, 6, 5, 0, 0, 1), V(8, -2, 5, 0, 0, 1), V(0, -2, 5, 0, 0, 1));
  bool v1 = false, v0 = false;
  for (const Call& c : g_calls) {
    v1 = v1 || (c.x == 8.0f && c.y == -2.0f);
    v0 = v0 || (c.x == -8.0f && c.y == 6.0f);
  }
  EXPECT_TRUE(v1);
  EXPECT_FALSE(v0);

  // V0 = V2: samples only along t = 0, the edge from V2 to V1.
  g_calls.clear();
  Draw(9, V(0, -8, 5, 0, 0, 1), V(8, 6, 5, 0, 0, 1), V(0, -8, 5, 0, 0, 1));
  ASSERT_FALSE(g_calls.empty());
  for (const Call& c : g_calls) EXPECT_NEAR(c.y + 8.0f, (c.x - 0.0f) * 14.0f / 8.0f, 1e-3f);
}

TEST_F(Curved, EqualDepthIsNotDrawnAndDepthIsWrittenAtCoverageZero) {
  // At depth 0 every control point, and so every sample, lies at exactly 0.
  KeepDepth(0.0f);
  Draw(9, V(-8, -8, 0, 0, 0, 1), V(8, -8, 0, 0, 0, 1), V(0, 8, 0, 0, 0, 1));
  EXPECT_TRUE(g_calls.empty());
  EXPECT_FALSE(AnyDrawn());

  VirtualFree(depth, 0, MEM_RELEASE);
  KeepDepth(-1.0f);
  g_opacity = 0.0f;
  Draw(9, V(-8, -8, 0, 0, 0, 1), V(8, -8, 0, 0, 0, 1), V(0, 8, 0, 0, 0, 1));
  EXPECT_FALSE(g_calls.empty());
  EXPECT_FALSE(AnyDrawn());
  EXPECT_EQ(depth[kCentre * kSize + kCentre], 0.0f);
}

TEST_F(Curved, GrazingSamplesFadeInEitherPass) {
  // Every control normal is the same, so every sample has nz 0.1.
  g_opacity = 0.5f;
  Draw(9, V(-8, -8, 5, 0.99f, 0, 0.1f), V(8, -8, 5, 0.99f, 0, 0.1f), V(0, 8, 5, 0.99f, 0, 0.1f));
  EXPECT_EQ(Pixel(kCentre, kCentre)[3], 31);  // 0.25 x 0.5 of 255
  EXPECT_EQ(Pixel(kCentre, kCentre)[0], 255);

  // nz -0.1: drawn in the back-face pass with the same fade, not in the front pass.
  out.assign(out.size(), 0);
  Draw(9, V(-8, -8, 5, 0.99f, 0, -0.1f), V(8, -8, 5, 0.99f, 0, -0.1f), V(0, 8, 5, 0.99f, 0, -0.1f));
  EXPECT_FALSE(AnyDrawn());
  _DrawBackFaces = 1;
  Draw(9, V(-8, -8, 5, 0.99f, 0, -0.1f), V(8, -8, 5, 0.99f, 0, -0.1f), V(0, 8, 5, 0.99f, 0, -0.1f));
  EXPECT_EQ(Pixel(kCentre, kCentre)[3], 31);
}

// Mode 8 ------------------------------------------------------------------

TEST_F(Curved, FlatSubdivisionCoversTheTriangleAsOneAndKeepsTheMaterial) {
  const __Point3ds a = V(-9, -7, 5, 0, 0, 1), b = V(9, -8, 5, 0, 0, 1), c = V(1, 9, 5, 0, 0, 1);
  Draw(6, a, b, c);
  const std::vector<unsigned char> whole = out;
  out.assign(out.size(), 0);
  g_calls.clear();
  Draw(8, a, b, c, 3);
  for (const Call& call : g_calls) EXPECT_EQ(call.material, 3);
  // Inside and on the outline the four parts give the whole triangle's
  // pixels; along the three inner seams a pixel may keep a partial coverage.
  int full = 0;
  for (int i = 0; i < kSize * kSize; ++i) {
    EXPECT_EQ(out[i * 4 + 3] != 0, whole[i * 4 + 3] != 0) << i % kSize << "," << i / kSize;
    EXPECT_EQ(out[i * 4], whole[i * 4]);
    full += out[i * 4 + 3] == 255;
  }
  EXPECT_GT(full, 100);
  EXPECT_TRUE(GuardUntouched());
}

// Mode 2 ------------------------------------------------------------------

// Normal z of the curved edge from corner normal a (p = 0) to b (p = 1),
// worked out from the cubic's control normals.
double EdgeNormal(double a, double b, double p) {
  const double q = 1.0 - p;
  return q * q * q * a + 3 * q * q * p * ((3 * a + b) / 4) + 3 * q * p * p * ((3 * b + a) / 4) +
         p * p * p * b;
}

TEST_F(Curved, WireStepsOfFourOverTheShorterEdgeEndingExactlyAtTheCorner) {
  // d1 = d2 = 10: step 0.4. Along edge V2 -> V1 the normal has no y part.
  const __Point3ds v0 = V(0, 10, 5, 0, 0.6f, 0.8f), v1 = V(10, 0, 5, 0.6f, 0, 0.8f),
                   v2 = V(0, 0, 5, 0, 0, 1);
  Draw(2, v0, v1, v2);
  std::vector<float> ends;
  for (const Call& c : g_calls) {
    if (c.plane[1] != 0.0f) continue;
    bool known = false;
    for (float e : ends) known = known || e == c.plane[0];
    if (!known) ends.push_back(c.plane[0]);
  }
  ASSERT_EQ(ends.size(), 3u);
  const double p[3] = {0.4, 0.8, 1.0};
  for (int k = 0; k < 3; ++k) {
    bool found = false;
    for (float e : ends) found = found || std::fabs(-e - EdgeNormal(0.0, 0.6, p[k])) < 1e-6;
    EXPECT_TRUE(found) << p[k];
  }

  // Edges no longer than 4 are one segment each.
  g_calls.clear();
  Draw(2, V(0, 3, 5, 0, 0.6f, 0.8f), V(3, 0, 5, 0.6f, 0, 0.8f), v2);
  ends.clear();
  for (const Call& c : g_calls)
    if (c.plane[1] == 0.0f && (ends.empty() || ends[0] != c.plane[0])) ends.push_back(c.plane[0]);
  EXPECT_EQ(ends.size(), 1u);
  EXPECT_NEAR(-ends[0], 0.6, 1e-6);
}

TEST_F(Curved, WireFrontPassDrawsSegmentsDownToMinusPointTwo) {
  Draw(2, V(-8, -8, 5, 0.99f, 0, -0.1f), V(8, -8, 5, 0.99f, 0, -0.1f), V(0, 8, 5, 0.99f, 0, -0.1f));
  EXPECT_FALSE(g_calls.empty());
  g_calls.clear();
  Draw(2, V(-8, -8, 5, 0.95f, 0, -0.3f), V(8, -8, 5, 0.95f, 0, -0.3f), V(0, 8, 5, 0.95f, 0, -0.3f));
  EXPECT_TRUE(g_calls.empty());
  _DubleSide = 1;
  Draw(2, V(-8, -8, 5, 0.95f, 0, -0.3f), V(8, -8, 5, 0.95f, 0, -0.3f), V(0, 8, 5, 0.95f, 0, -0.3f));
  EXPECT_FALSE(g_calls.empty());
}

// Mode 10 -----------------------------------------------------------------

class Silhouette : public Curved {
 protected:
  // Draws the triangle with every normal at (n, 0, nz) over an opaque grey output.
  void DrawAt(float n, float nz, int material = 0, int count = 0, material3ds* m = nullptr) {
    for (size_t i = 0; i < kSize * kSize * 4; ++i) out[i] = i % 4 == 3 ? 255 : 10;
    Draw(10, V(-8, -8, 5, n, 0, nz), V(8, -8, 5, n, 0, nz), V(0, 8, 5, n, 0, nz), material, count,
         m);
  }
  bool Unchanged() const {
    for (size_t i = 0; i < kSize * kSize * 4; ++i)
      if (out[i] != (i % 4 == 3 ? 255 : 10)) return false;
    return true;
  }
};

TEST_F(Silhouette, DotsPeakAtAGrazingAngleAndFacingPixelsShowTheSource) {
  DrawAt(0.99f, 0.15f);
  const unsigned char* p = Pixel(kCentre, kCentre);
  EXPECT_TRUE(p[0] == 255 && p[1] == 0 && p[2] == 0 && p[3] == 255);
  EXPECT_TRUE(g_calls.empty());  // no shader

  DrawAt(1.0f, 0.0f);
  EXPECT_TRUE(Unchanged());
  DrawAt(0.95f, 0.29999998f);
  EXPECT_TRUE(Unchanged());
  DrawAt(0.9f, -0.2f);
  EXPECT_TRUE(Unchanged());

  for (size_t i = 0; i < kSize * kSize * 4; ++i)
    source[i] = static_cast<unsigned char>(i % 7 + 3 * (i % 4));
  DrawAt(0.95f, 0.31f);
  EXPECT_EQ(std::memcmp(Pixel(kCentre, kCentre), &source[(kCentre * kSize + kCentre) * 4], 4), 0);
}

TEST_F(Silhouette, DotColourFromTheLastMaterialOrRedInEitherDepth) {
  material3ds materials[2] = {};
  materials[1].diffuse[0] = 0.0f;
  materials[1].diffuse[1] = 1.0f;
  materials[1].diffuse[2] = 0.5f;
  DrawAt(0.99f, 0.15f, 5, 2, materials);
  const unsigned char* p = Pixel(kCentre, kCentre);
  EXPECT_TRUE(p[0] == 0 && p[1] == 255 && p[2] == 127);

  _Deep = 1;
  std::vector<uint16_t> deep(kSize * kSize * 4, 0);
  points[0] = V(-8, -8, 5, 0.99f, 0, 0.15f);
  points[1] = V(8, -8, 5, 0.99f, 0, 0.15f);
  points[2] = V(0, 8, 5, 0.99f, 0, 0.15f);
  _DrawMode = 10;
  __RasterScene(reinterpret_cast<unsigned char*>(deep.data()), source.data(), kSize, kSize,
                kSize * 4, 3, 1, &triangle, points, kCentre, kCentre, 0, nullptr, nullptr, 0,
                nullptr, nullptr);
  const uint16_t* q = &deep[(kCentre * kSize + kCentre) * 4];
  EXPECT_TRUE(q[0] == 32768 && q[1] == 0 && q[2] == 0);
}

// Every curved mode ---------------------------------------------------------

TEST_F(Curved, ZeroNormalsAndFarVerticesStayInsideTheFrameAndFinish) {
  for (int mode : {2, 8, 9, 10}) {
    SCOPED_TRACE(mode);
    out.assign(out.size(), 0);
    g_calls.clear();
    Draw(mode, V(-8, -8, 5, 0, 0, 1), V(8, -8, 5, 0, 0, 0), V(0, 8, 5, 0, 0, 1));
    EXPECT_TRUE(g_calls.empty());
    EXPECT_FALSE(AnyDrawn());

    // Wholly beyond one side of the frame: nothing is sampled.
    Draw(mode, V(-1e6f, -8, 5, 0, 0, 1), V(-1e6f + 40, -8, 5, 0, 0, 1), V(-1e6f, 8e5f, 5, 0, 0, 1));
    EXPECT_TRUE(g_calls.empty());

    // One vertex far off across the frame: drawn within the sample cap.
    Draw(mode, V(-8, -8, 5, 0, 0, 1), V(3e7f, 1e7f, 5, 0, 0, 1), V(0, 8, 5, 0, 0, 1));
    EXPECT_TRUE(GuardUntouched());
    // The shaded wire calls the shader per line pixel, not per sample.
    if (mode != 2) {
      EXPECT_LE(g_calls.size(), 16u * kSize * kSize);
    }
  }
}

}  // namespace
