// Keeps the engine's process-wide switches, frame globals, per-call images
// and shader hook apart between tests: each test starts from the values the
// engine has at load and leaves them as it found them.
#pragma once

#include <gtest/gtest.h>

#include <tuple>

#include "engine/qf_engine.h"
#include "engine/scene_state.h"

// A vertex at (x, y), every other field zero.
inline __Point3ds At(float x, float y) {
  __Point3ds p{};
  p.x = x;
  p.y = y;
  return p;
}

// The engine's own shader, installed as another: a draw then shades every
// pixel it examines, as it does for any installed shader.
inline float Forward(float cx, float cy, unsigned char* image, unsigned char* source, float x,
                     float y, float z, __Triangle3ds* triangle, material3ds* materials,
                     int material_count, float& r, float& g, float& b, __Point* normal,
                     unsigned char textures_on, float u, float v, __Texture* textures,
                     int light_count, light3ds* lights, __PrevInfo* prev, GlassProp* glass, float pa,
                     float pb, float pc, float pd) {
  return __DefRenderOnePixel(cx, cy, image, source, x, y, z, triangle, materials, material_count, r,
                             g, b, normal, textures_on, u, v, textures, light_count, lights, prev,
                             glass, pa, pb, pc, pd);
}

// Every global a test may change, as references: assigning a copy of their
// values back restores them all.
inline auto EngineGlobals() {
  return std::tie(_DrawMode, _Quality, _Deep, _UseMultyRefract, _DubleSide, _DrawBackFaces,
                  _DrawBackFaces1, _UsePhong2, _UseGlass, _UseCustomMats, _UsePersp, _UseReflection,
                  _WireSize, _Persp_Val, _Persp_x, _Persp_y, _Persp_Far, ZBuff, Zwidth, Zheight,
                  __RowBytes, __MaxChannel, __LightDef, __RenderOnePixel, __OutImage, __BackImage,
                  __BackZBuff);
}
template <typename... T>
std::tuple<T...> ValuesOf(std::tuple<T&...>);

class EngineState : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = EngineGlobals();
    _DrawMode = 6;
    _Quality = 1;
    _Deep = 0;
    _UseMultyRefract = 1;
    _DubleSide = 0;
    _DrawBackFaces = 0;
    _DrawBackFaces1 = 0;
    _UsePhong2 = 0;
    _Persp_Val = 0.0f;
    _Persp_x = 0.0f;
    _Persp_y = 0.0f;
    _Persp_Far = 1000.0f;
    ZBuff = nullptr;
    Zwidth = 0;
    Zheight = 0;
  }
  void TearDown() override { EngineGlobals() = saved_; }

 private:
  decltype(ValuesOf(EngineGlobals())) saved_;
};
