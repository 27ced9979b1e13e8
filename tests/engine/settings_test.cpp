#include <windows.h>

#include <cstring>
#include <utility>

#include "engine_state.h"

namespace {

using Settings = EngineState;

// The test binary does not touch the switches outside fixtures that restore them.
TEST(EngineSwitches, ValuesAtLoad) {
  EXPECT_EQ(_DrawMode, 6);
  EXPECT_EQ(_Quality, 1);
  EXPECT_EQ(_Deep, 0);
  EXPECT_EQ(_UseMultyRefract, 1);
  EXPECT_EQ(_DubleSide, 0);
  EXPECT_EQ(_DrawBackFaces, 0);
  EXPECT_EQ(_DrawBackFaces1, 0);
  EXPECT_EQ(_UsePhong2, 0);
  EXPECT_EQ(_UseGlass, 0);
  EXPECT_EQ(_UseCustomMats, 1);
  EXPECT_EQ(_UsePersp, 0);
  EXPECT_EQ(_UseReflection, 0);
  EXPECT_EQ(_WireSize, 1.0f);
  EXPECT_EQ(_Persp_Val, 0.0f);
  EXPECT_EQ(_Persp_x, 0.0f);
  EXPECT_EQ(_Persp_y, 0.0f);
  EXPECT_EQ(_Persp_Far, 1000.0f);
  EXPECT_EQ(ZBuff, nullptr);
  EXPECT_EQ(Zwidth, 0);
  EXPECT_EQ(Zheight, 0);
  EXPECT_EQ(__mmx_present(), 1);
}

struct SwitchAccess {
  const char* name;
  unsigned char* variable;
  void (*set)(unsigned char);
  unsigned char (*get)();
};

const SwitchAccess kSwitches[] = {
    {"DrawMode", &_DrawMode, __SetDrawMode, __GetDrawMode},
    {"Deep", &_Deep, __SetDeep, __GetDeep},
    {"UseMultyRefract", &_UseMultyRefract, __SetUseMultyRefract, __GetUseMultyRefract},
    {"DubleSide", &_DubleSide, __SetDubleSide, __GetDubleSide},
    {"DrawBackFaces", &_DrawBackFaces, __SetDrawBackFaces, __GetDrawBackFaces},
    {"UsePhong2", &_UsePhong2, __SetUsePhong2, __GetUsePhong2},
    {"UseGlass", &_UseGlass, __SetUseGlass, __GetUseGlass},
    {"UseCustomMats", &_UseCustomMats, __SetUseCustomMats, __GetUseCustomMats},
    {"UsePersp", &_UsePersp, __SetUsePersp, __GetUsePersp},
    {"UseReflection", &_UseReflection, __SetUseReflection, __GetUseReflection},
};

TEST_F(Settings, EachSetterStoresItsOwnSwitchUnchanged) {
  for (const SwitchAccess& s : kSwitches) {
    for (const SwitchAccess& other : kSwitches) *other.variable = 0;
    _Quality = 0;
    s.set(200);
    EXPECT_EQ(*s.variable, 200) << s.name;
    EXPECT_EQ(s.get(), 200) << s.name;
    for (const SwitchAccess& other : kSwitches) {
      if (&other != &s) {
        EXPECT_EQ(*other.variable, 0) << s.name << " changed " << other.name;
      }
    }
    EXPECT_EQ(_Quality, 0) << s.name;
  }
}

TEST_F(Settings, QualityStoresTwoOrMoreAsOne) {
  const unsigned char given[] = {0, 1, 2, 7, 255};
  const unsigned char stored[] = {0, 1, 1, 1, 1};
  for (int i = 0; i < 5; ++i) {
    __SetQuality(given[i]);
    EXPECT_EQ(_Quality, stored[i]) << int{given[i]};
    EXPECT_EQ(__GetQuality(), stored[i]);
  }
}

TEST_F(Settings, DepthBufferHandOver) {
  float cells[6] = {};
  float* buffer = nullptr;
  int width = -1, height = -1;
  __SetZBuff(cells, 3, 2);
  __GetZBuff(buffer, width, height);
  EXPECT_TRUE(buffer == cells && width == 3 && height == 2);
  EXPECT_TRUE(ZBuff == cells && Zwidth == 3 && Zheight == 2);

  // A missing buffer or a size below 1 leaves no buffer set.
  const struct {
    float* buffer;
    int width, height;
  } refused[] = {{nullptr, 3, 2}, {cells, 0, 2}, {cells, 3, 0}, {cells, -1, 2}};
  for (const auto& r : refused) {
    __SetZBuff(cells, 3, 2);
    __SetZBuff(r.buffer, r.width, r.height);
    __GetZBuff(buffer, width, height);
    EXPECT_TRUE(buffer == nullptr && width == 0 && height == 0) << r.width << "x" << r.height;
  }
}

TEST_F(Settings, DefaultLightIsKeptByPointer) {
  light3ds light{};
  __SetLightDef(&light);
  EXPECT_EQ(__LightDef, &light);
  __SetLightDef(nullptr);
  EXPECT_EQ(__LightDef, nullptr);
}

__Point3ds Vertex(float x, float y, float z) {
  __Point3ds p{};
  p.x = x;
  p.y = y;
  p.z = z;
  p.u = 0.25f;
  p.v = 0.75f;
  p.nx = 1.0f;
  return p;
}

TEST_F(Settings, PerspectiveOffStoresItsValuesAndMovesNothing) {
  const struct { float value, far_plane; } off[] = {{1.0f, 0.0f}, {0.0f, 500.0f}};
  for (const auto& o : off) {
    __Point3ds p = Vertex(10.0f, 20.0f, 100.0f);
    __AddPersp(1, &p, o.value, 3.0f, 4.0f, o.far_plane);
    EXPECT_TRUE(_Persp_Val == o.value && _Persp_x == 3.0f && _Persp_y == 4.0f &&
                _Persp_Far == o.far_plane);
    EXPECT_TRUE(p.x == 10.0f && p.y == 20.0f && p.z == 100.0f);
  }
}

TEST_F(Settings, PerspectiveWarpsAboutItsCentreInPlace) {
  __Point3ds p[2] = {Vertex(11.0f, -3.0f, 500.0f), Vertex(7.0f, 7.0f, 0.0f)};
  __AddPersp(1, p, 1.0f, 1.0f, 2.0f, 1000.0f);
  // k = 0.5 doubles the distance from the centre; only the first vertex is counted.
  EXPECT_TRUE(p[0].x == 21.0f && p[0].y == -8.0f);
  EXPECT_TRUE(p[0].z == 500.0f && p[0].u == 0.25f && p[0].v == 0.75f && p[0].nx == 1.0f);
  EXPECT_TRUE(p[1].x == 7.0f && p[1].y == 7.0f);
  __AddPersp(1, p, 1.0f, 1.0f, 2.0f, 1000.0f);
  EXPECT_TRUE(p[0].x == 41.0f && p[0].y == -18.0f);
}

TEST_F(Settings, PerspectiveAtTheVanishingDepthClampsTheFactor) {
  __Point3ds at = Vertex(3.0f, 1.0f, 1000.0f);
  __AddPersp(1, &at, 1.0f, 1.0f, 1.0f, 1000.0f);
  EXPECT_FLOAT_EQ(at.x, 2e8f + 1.0f);
  EXPECT_EQ(at.y, 1.0f);
}

TEST_F(Settings, SortRunsBackToFront) {
  __Point3ds p[6] = {Vertex(0, 0, 5), Vertex(0, 0, -9), Vertex(0, 0, 1),
                     Vertex(0, 0, 2), Vertex(0, 0, 30), Vertex(0, 0, 0)};
  __Triangle3ds t[4] = {{0, 0, 0, 0, 1}, {1, 1, 2, 0, 2}, {4, 3, 0, 0, 3}, {5, 5, 5, 0, 4}};
  // Sums: 15, -17, 37, 0.
  __Sort(4, t, p);
  const int order[4] = {2, 4, 1, 3};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(t[i].material, order[i]) << i;

  std::swap(t[0], t[3]);
  __Triangle3ds before[4];
  std::memcpy(before, t, sizeof t);
  __Sort(0, t, p);
  EXPECT_EQ(std::memcmp(before, t, sizeof t), 0);
}

unsigned char* Pages(size_t bytes) {
  return static_cast<unsigned char*>(
      VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

TEST_F(Settings, DepthConversionsExactValues) {
  unsigned char* buffer = Pages(8 * 2);
  const uint16_t wide[8] = {32768, 16384, 128, 0, 127, 32767, 256, 1};
  std::memcpy(buffer, wide, sizeof wide);
  __ConvertBYTE16TO8(&buffer, 99, 1, 8);
  const unsigned char narrow[8] = {255, 128, 1, 0, 1, 255, 2, 0};
  EXPECT_EQ(std::memcmp(buffer, narrow, 8), 0);

  const unsigned char in[8] = {255, 128, 1, 0, 2, 254, 64, 200};
  std::memcpy(buffer, in, 8);
  __ConvertBYTE8TO16(&buffer, 99, 2, 4);
  const uint16_t out[8] = {32768, 16448, 129, 0, 257, 32640, 8224, 25700};
  EXPECT_EQ(std::memcmp(buffer, out, sizeof out), 0);
  VirtualFree(buffer, 0, MEM_RELEASE);
}

TEST_F(Settings, EightBitValuesSurviveTheRoundTrip) {
  unsigned char* buffer = Pages(256);
  for (int i = 0; i < 256; ++i) buffer[i] = static_cast<unsigned char>(i);
  __ConvertBYTE8TO16(&buffer, 0, 16, 16);
  __ConvertBYTE16TO8(&buffer, 0, 16, 16);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(buffer[i], i);
  VirtualFree(buffer, 0, MEM_RELEASE);
}

TEST_F(Settings, TextureFollowsTheEngineDepth) {
  __Texture texture{};
  texture.loaded = 1;
  texture.width = 2;
  texture.height = 1;
  texture.pixels = Pages(8);
  texture.pixels[0] = 255;
  texture.pixels[7] = 1;

  unsigned char* const original = texture.pixels;
  __ConvertText(&texture);  // 8-bit texels at 8-bit depth stay
  EXPECT_EQ(texture.pixels, original);

  _Deep = 1;
  __ConvertText(&texture);
  const uint16_t* wide = reinterpret_cast<const uint16_t*>(texture.pixels);
  EXPECT_TRUE(texture.is16Bit == 1 && wide[0] == 32768 && wide[7] == 129);
  unsigned char* const converted = texture.pixels;
  __ConvertText(&texture);
  EXPECT_EQ(texture.pixels, converted);

  _Deep = 0;
  __ConvertText(&texture);
  EXPECT_TRUE(texture.is16Bit == 0 && texture.pixels[0] == 255 && texture.pixels[7] == 1);

  // An empty slot is left alone whatever it claims.
  __Texture empty{};
  empty.is16Bit = 1;
  empty.pixels = reinterpret_cast<unsigned char*>(&empty);
  __ConvertText(&empty);
  EXPECT_TRUE(empty.is16Bit == 1 && empty.pixels == reinterpret_cast<unsigned char*>(&empty));
  VirtualFree(texture.pixels, 0, MEM_RELEASE);
}

}  // namespace
