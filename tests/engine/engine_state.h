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
