// Keeps the engine's process-wide switches, frame globals, per-call images
// and shader hook apart between tests: each test starts from the values the
// engine has at load and leaves them as it found them.
#pragma once

#include <gtest/gtest.h>

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
                     int materialCount, float& r, float& g, float& b, __Point* normal,
                     unsigned char texturesOn, float u, float v, __Texture* textures,
                     int lightCount, light3ds* lights, __PrevInfo* prev, GlassProp* glass, float pa,
                     float pb, float pc, float pd) {
  return __DefRenderOnePixel(cx, cy, image, source, x, y, z, triangle, materials, materialCount, r,
                             g, b, normal, texturesOn, u, v, textures, lightCount, lights, prev,
                             glass, pa, pb, pc, pd);
}

class EngineState : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Snapshot();
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
  void TearDown() override { Restore(saved_); }

 private:
  struct State {
    unsigned char switches[12];
    float wire, val, px, py, far_plane;
    float* zbuff;
    int zw, zh, rowBytes, maxChannel;
    light3ds* light;
    __RenderOnePixelFn hook;
    unsigned char *outImage, *backImage;
    float* backZBuff;
  };
  static unsigned char* Switch(int i) {
    static unsigned char* const all[12] = {
        &_DrawMode,       &_Quality,   &_Deep,     &_UseMultyRefract, &_DubleSide, &_DrawBackFaces,
        &_DrawBackFaces1, &_UsePhong2, &_UseGlass, &_UseCustomMats,   &_UsePersp,  &_UseReflection};
    return all[i];
  }
  static State Snapshot() {
    State s{};
    for (int i = 0; i < 12; ++i) s.switches[i] = *Switch(i);
    s.wire = _WireSize;
    s.val = _Persp_Val;
    s.px = _Persp_x;
    s.py = _Persp_y;
    s.far_plane = _Persp_Far;
    s.zbuff = ZBuff;
    s.zw = Zwidth;
    s.zh = Zheight;
    s.rowBytes = __RowBytes;
    s.maxChannel = __MaxChannel;
    s.light = __LightDef;
    s.hook = __RenderOnePixel;
    s.outImage = __OutImage;
    s.backImage = __BackImage;
    s.backZBuff = __BackZBuff;
    return s;
  }
  static void Restore(const State& s) {
    for (int i = 0; i < 12; ++i) *Switch(i) = s.switches[i];
    _WireSize = s.wire;
    _Persp_Val = s.val;
    _Persp_x = s.px;
    _Persp_y = s.py;
    _Persp_Far = s.far_plane;
    ZBuff = s.zbuff;
    Zwidth = s.zw;
    Zheight = s.zh;
    __RowBytes = s.rowBytes;
    __MaxChannel = s.maxChannel;
    __LightDef = s.light;
    __RenderOnePixel = s.hook;
    __OutImage = s.outImage;
    __BackImage = s.backImage;
    __BackZBuff = s.backZBuff;
  }
  State saved_{};
};
