// Reference renders: small fixed scenes whose output hashes are kept here, so
// that any change to the engine that alters a pixel is noticed. A deliberate
// change of output updates these hashes in the same commit, with the reason.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/qf_engine.h"
#include "engine_state.h"
#include "reference_scene.h"

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 64;

// A dome of triangles: a fan of rings around the centre, vertex normals
// pointing away from a sphere centre below the frame. A tilt leans its depth
// along x (not its normals), tilt units a pixel.
struct Dome {
  std::vector<__Point3ds> points;
  std::vector<__Triangle3ds> triangles;

  explicit Dome(float tilt = 0.0f) {
    constexpr int kRings = 4;
    constexpr int kSectors = 9;
    points.push_back(Vertex(0.0f, 0.0f, tilt));
    for (int ring = 1; ring <= kRings; ++ring)
      for (int s = 0; s < kSectors; ++s) {
        const float angle =
            (static_cast<float>(s) + 0.5f * static_cast<float>(ring % 2)) * 6.2831853f / kSectors;
        const float radius = 7.0f * static_cast<float>(ring);
        points.push_back(Vertex(radius * std::cos(angle), radius * 0.8f * std::sin(angle), tilt));
      }
    auto index = [&](int ring, int s) { return 1 + (ring - 1) * kSectors + (s % kSectors); };
    for (int s = 0; s < kSectors; ++s) Add(0, index(1, s + 1), index(1, s));
    for (int ring = 1; ring < kRings; ++ring)
      for (int s = 0; s < kSectors; ++s) {
        Add(index(ring, s), index(ring, s + 1), index(ring + 1, s));
        Add(index(ring, s + 1), index(ring + 1, s + 1), index(ring + 1, s));
      }
  }
  static __Point3ds Vertex(float x, float y, float tilt) {
    const float r = 40.0f;
    const float z = std::sqrt(std::fmax(r * r - x * x - y * y, 1.0f));
    __Point3ds p{};
    p.x = x;
    p.y = y;
    p.z = z + tilt * x;
    p.hasNormal = 1;
    p.nx = x / r;
    p.ny = y / r;
    p.nz = z / r;
    return p;
  }
  // Wound to face the viewer.
  void Add(int a, int b, int c) { triangles.push_back({a, c, b, 0, 0}); }
};

// What lies behind the dome's glass, if it has any.
enum Behind {
  kNoGlass,
  kSource,     // glass reading the source image
  kLayers,     // glass reading and writing the layers behind (_UseMultyRefract 1)
  kBackFaces,  // both sides drawn, the back faces first, glass over them
};

struct Case {
  const char* name;
  unsigned char mode, deep, quality;
  Behind behind;
  uint64_t hash;
  // Glass that throws its samples past the frame's edges and spreads them
  // over wide footprints, over an opaque source (whose alpha lets the layers
  // take up the output).
  bool edges = false;
};

// The dome drawn over a patterned source with the case's switches.
std::vector<unsigned char> RenderDome(const Case& c) {
  _DrawMode = c.mode;
  _Deep = c.deep;
  _Quality = c.quality;
  _UseMultyRefract = c.behind == kLayers ? 1 : 0;
  _DubleSide = c.behind == kBackFaces ? 1 : 0;
  _DrawBackFaces = c.behind == kBackFaces ? 1 : 0;

  Dome dome(c.edges ? 2.0f : 0.0f);
  const size_t value_bytes = c.deep ? 2 : 1;
  std::vector<unsigned char> out(kWidth * kHeight * 4 * value_bytes);
  std::vector<unsigned char> source(out.size());
  for (size_t i = 0; i < out.size(); ++i) source[i] = static_cast<unsigned char>(i * 7 / 5);
  if (c.deep)  // keep 16-bit values within 0..32768
    for (size_t i = 1; i < source.size(); i += 2) source[i] &= 0x7F;
  if (c.edges)
    for (size_t i = 3 * value_bytes; i < source.size(); i += 4 * value_bytes) {
      source[i] = c.deep ? 0 : 255;
      if (c.deep) source[i + 1] = 0x80;  // 32768
    }
  out = source;

  material3ds material = ReferenceMaterial();
  light3ds light = ReferenceLight();
  __Texture textures[4] = {};
  // Strong refraction with aberration, so that neighbouring pixels read far
  // apart and the footprints come into play.
  GlassProp glass{1, 2.5f, c.edges ? -40.0f : 18.0f, 30.0f};

  __RasterScene(out.data(), source.data(), kWidth, kHeight, kWidth * 4,
                static_cast<int>(dome.points.size()), static_cast<int>(dome.triangles.size()),
                dome.triangles.data(), dome.points.data(), kWidth / 2, kHeight / 2, 1, &material,
                textures, 1, &light, c.behind == kNoGlass ? nullptr : &glass);
  EXPECT_TRUE(out != source) << "nothing drawn";
  return out;
}

class ReferenceRender : public EngineState, public ::testing::WithParamInterface<Case> {};

// Run by CTest with QF_THREADS 1, 2, 3 and unset (the machine's threads).
TEST_P(ReferenceRender, KeepsEveryPixel) {
  const Case& c = GetParam();
  const uint64_t hash = Fnv1a(RenderDome(c));
  EXPECT_EQ(hash, c.hash) << c.name << ": 0x" << std::hex << hash;
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, ReferenceRender,
    ::testing::Values(Case{"phong8", 6, 0, 1, kNoGlass, 0xfeec2a6404db8cf6ull},
                      Case{"phong8_plain", 6, 0, 0, kNoGlass, 0xf2f990bc80b31c40ull},
                      Case{"phong16", 6, 1, 1, kNoGlass, 0x6afcf815ab0f0f5full},
                      Case{"flat8", 3, 0, 1, kNoGlass, 0x129b88e00f8f5d99ull},
                      Case{"flat16_plain", 3, 1, 0, kNoGlass, 0xa65ac175222aff6eull},
                      Case{"phong8_glass", 6, 0, 1, kSource, 0x54cd8ef1fa5f3b53ull},
                      Case{"flat16_glass", 3, 1, 1, kSource, 0x4811271cb93d8301ull},
                      Case{"phong8_glass_plain", 6, 0, 0, kSource, 0x5dcf2c181a72e40cull},
                      Case{"phong8_layers", 6, 0, 1, kLayers, 0x127df272bbb071a2ull},
                      Case{"phong16_back_faces", 6, 1, 1, kBackFaces, 0xc33bed23b8b48484ull},
                      Case{"flat8_back_faces", 3, 0, 1, kBackFaces, 0x2bfd24b9582d4237ull},
                      Case{"phong8_glass_edges", 6, 0, 1, kSource, 0xddb6ddcee87ffcedull, true},
                      Case{"phong16_glass_edges", 6, 1, 1, kSource, 0x76ad421670780affull, true},
                      Case{"phong8_layers_edges", 6, 0, 1, kLayers, 0xe5071c7ea8568250ull, true},
                      Case{"phong16_layers_edges", 6, 1, 1, kLayers, 0x3ba15ccdebabd86aull, true},
                      Case{"line8", 1, 0, 1, kNoGlass, 0x220e3a3c982ceaeaull},
                      Case{"line8_glass_edges", 1, 0, 1, kSource, 0xd81f08b55002c5e8ull, true},
                      Case{"line16_glass_plain", 1, 1, 0, kSource, 0xce33118f8e3f6910ull},
                      Case{"line8_layers", 1, 0, 1, kLayers, 0x88de4a2be11353fcull},
                      Case{"wire8_glass", 2, 0, 1, kSource, 0xa86c64a418b49339ull},
                      Case{"wire16_glass_edges", 2, 1, 1, kSource, 0x4a4c67c7d545ce41ull, true},
                      Case{"wire8_plain", 2, 0, 0, kNoGlass, 0xa87934551b83e61bull},
                      Case{"wire8_back_faces", 2, 0, 1, kBackFaces, 0x7d5577b1ec8bd1e3ull}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// A caller's shader hook gets every call the default shader would, in the
// same order, on the caller's thread, whatever the number of workers.
struct HookCalls {
  std::thread::id caller;
  long count = 0;
  long elsewhere = 0;  // calls on another thread
  uint64_t hash = 1469598103934665603ull;
  void Add(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int k = 0; k < 4; ++k) hash = (hash ^ ((bits >> (8 * k)) & 0xFF)) * 1099511628211ull;
  }
};
HookCalls gCalls;

float RecordingHook(float cx, float cy, unsigned char* image, unsigned char* source, float x,
                    float y, float z, __Triangle3ds* triangle, material3ds* materials,
                    int material_count, float& r, float& g, float& b, __Point* normal,
                    unsigned char textures_on, float u, float v, __Texture* textures,
                    int light_count, light3ds* lights, __PrevInfo* prev, GlassProp* glass,
                    float plane_a, float plane_b, float plane_c, float plane_d) {
  ++gCalls.count;
  if (std::this_thread::get_id() != gCalls.caller) ++gCalls.elsewhere;
  for (float value : {x, y, z, normal->x, normal->y, normal->z}) gCalls.Add(value);
  gCalls.Add(prev == nullptr ? -1.0f : static_cast<float>(prev->valid));
  return __DefRenderOnePixel(cx, cy, image, source, x, y, z, triangle, materials, material_count, r,
                             g, b, normal, textures_on, u, v, textures, light_count, lights, prev,
                             glass, plane_a, plane_b, plane_c, plane_d);
}

class CallerShaderHook : public EngineState {};

TEST_F(CallerShaderHook, GetsEveryCallInOrderOnTheCallersThread) {
  struct Expected {
    Case scene;
    long calls;
    uint64_t hash;
  };
  const Expected expected[] = {
      {{"phong8", 6, 0, 1, kNoGlass, 0xfeec2a6404db8cf6ull}, 9228, 0xece8dfd5a1aaae80ull},
      {{"flat8", 3, 0, 1, kNoGlass, 0x129b88e00f8f5d99ull}, 21455, 0xb67849b29476d763ull},
      {{"line8_glass", 1, 0, 1, kSource, 0x88de4a2be11353fcull}, 24744, 0xb1d09bf3d5920b35ull},
      {{"wire16_glass", 2, 1, 1, kSource, 0x4018d7fa9ad037aeull}, 57354, 0xdc4415a49dcd8715ull},
  };
  putenv(const_cast<char*>("QF_THREADS=4"));
  for (const Expected& e : expected) {
    gCalls = HookCalls{};
    gCalls.caller = std::this_thread::get_id();
    __SetNewRenderOnePixel(RecordingHook);
    const uint64_t pixels = Fnv1a(RenderDome(e.scene));
    EXPECT_EQ(pixels, e.scene.hash) << e.scene.name;
    EXPECT_EQ(gCalls.elsewhere, 0) << e.scene.name;
    EXPECT_EQ(gCalls.count, e.calls) << e.scene.name;
    EXPECT_EQ(gCalls.hash, e.hash) << e.scene.name << ": 0x" << std::hex << gCalls.hash;
  }
  putenv(const_cast<char*>("QF_THREADS="));
}

}  // namespace
