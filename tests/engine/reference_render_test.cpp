// Reference renders: small fixed scenes whose output hashes are kept here, so
// that any change to the engine that alters a pixel is noticed. A deliberate
// change of output updates these hashes in the same commit, with the reason.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

#include "engine/qf_engine.h"
#include "engine_state.h"

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 64;

// A dome of triangles: a fan of rings around the centre, vertex normals
// pointing away from a sphere centre below the frame.
struct Dome {
  std::vector<__Point3ds> points;
  std::vector<__Triangle3ds> triangles;

  Dome() {
    constexpr int kRings = 4;
    constexpr int kSectors = 9;
    points.push_back(Vertex(0.0f, 0.0f));
    for (int ring = 1; ring <= kRings; ++ring)
      for (int s = 0; s < kSectors; ++s) {
        const float angle =
            (static_cast<float>(s) + 0.5f * static_cast<float>(ring % 2)) * 6.2831853f / kSectors;
        const float radius = 7.0f * static_cast<float>(ring);
        points.push_back(Vertex(radius * std::cos(angle), radius * 0.8f * std::sin(angle)));
      }
    auto index = [&](int ring, int s) { return 1 + (ring - 1) * kSectors + (s % kSectors); };
    for (int s = 0; s < kSectors; ++s) Add(0, index(1, s + 1), index(1, s));
    for (int ring = 1; ring < kRings; ++ring)
      for (int s = 0; s < kSectors; ++s) {
        Add(index(ring, s), index(ring, s + 1), index(ring + 1, s));
        Add(index(ring, s + 1), index(ring + 1, s + 1), index(ring + 1, s));
      }
  }
  static __Point3ds Vertex(float x, float y) {
    const float r = 40.0f;
    const float z = std::sqrt(std::fmax(r * r - x * x - y * y, 1.0f));
    __Point3ds p{};
    p.x = x;
    p.y = y;
    p.z = z;
    p.hasNormal = 1;
    p.nx = x / r;
    p.ny = y / r;
    p.nz = z / r;
    return p;
  }
  // Wound to face the viewer.
  void Add(int a, int b, int c) { triangles.push_back({a, c, b, 0, 0}); }
};

uint64_t Fnv1a(const std::vector<unsigned char>& bytes) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

struct Case {
  const char* name;
  unsigned char mode, deep, quality;
  uint64_t hash;
};

class ReferenceRender : public EngineState, public ::testing::WithParamInterface<Case> {};

TEST_P(ReferenceRender, KeepsEveryPixel) {
  const Case& c = GetParam();
  _DrawMode = c.mode;
  _Deep = c.deep;
  _Quality = c.quality;
  _UseMultyRefract = 0;
  _DubleSide = 0;
  _DrawBackFaces = 0;

  Dome dome;
  const size_t valueBytes = c.deep ? 2 : 1;
  std::vector<unsigned char> out(kWidth * kHeight * 4 * valueBytes);
  std::vector<unsigned char> source(out.size());
  for (size_t i = 0; i < out.size(); ++i) source[i] = static_cast<unsigned char>(i * 7 / 5);
  if (c.deep)  // keep 16-bit values within 0..32768
    for (size_t i = 1; i < source.size(); i += 2) source[i] &= 0x7F;
  out = source;

  material3ds material{};
  material.diffuse[0] = 0.8f;
  material.diffuse[1] = 0.5f;
  material.diffuse[2] = 0.3f;
  material.specular[0] = material.specular[1] = material.specular[2] = 1.0f;
  material.shininess = 0.2f;
  material.shininessStrength = 0.6f;
  material.transparency = -0.2f;
  material.selfIllum = 0.1f;
  light3ds light{};
  light.x = -300.0f;
  light.y = -200.0f;
  light.z = 600.0f;
  light.color[0] = light.color[1] = light.color[2] = 1.0f;
  light.intensity = 0.9f;
  __Texture textures[4] = {};

  __RasterScene(out.data(), source.data(), kWidth, kHeight, kWidth * 4,
                static_cast<int>(dome.points.size()), static_cast<int>(dome.triangles.size()),
                dome.triangles.data(), dome.points.data(), kWidth / 2, kHeight / 2, 1, &material,
                textures, 1, &light, nullptr);
  EXPECT_TRUE(out != source) << "nothing drawn";
  const uint64_t hash = Fnv1a(out);
  EXPECT_EQ(hash, c.hash) << c.name << ": 0x" << std::hex << hash;
}

INSTANTIATE_TEST_SUITE_P(Scenes, ReferenceRender,
                         ::testing::Values(Case{"phong8", 6, 0, 1, 0xfeec2a6404db8cf6ull},
                                           Case{"phong8_plain", 6, 0, 0, 0xf2f990bc80b31c40ull},
                                           Case{"phong16", 6, 1, 1, 0x6afcf815ab0f0f5full},
                                           Case{"flat8", 3, 0, 1, 0x129b88e00f8f5d99ull},
                                           Case{"flat16_plain", 3, 1, 0, 0xa65ac175222aff6eull}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
