// Process-wide switches, their setters and getters, the depth-buffer
// hand-over, the default light, the perspective warp and the depth sort.
#include <cmath>
#include <cstdlib>

#include "engine/qf_engine.h"
#include "engine/scene_state.h"

unsigned char _DrawMode = 6;
unsigned char _Quality = 1;
unsigned char _Deep = 0;
unsigned char _UseMultyRefract = 1;
unsigned char _DubleSide = 0;
unsigned char _DrawBackFaces = 0;
unsigned char _DrawBackFaces1 = 0;
unsigned char _UsePhong2 = 0;
unsigned char _UseGlass = 0;
unsigned char _UseCustomMats = 1;
unsigned char _UsePersp = 0;
unsigned char _UseReflection = 0;
float _WireSize = 1.0f;
float _Persp_Val = 0.0f;
float _Persp_x = 0.0f;
float _Persp_y = 0.0f;
float _Persp_Far = 1000.0f;
float* ZBuff = nullptr;
int Zwidth = 0;
int Zheight = 0;

light3ds* __LightDef = nullptr;

// Each switch's setter stores its value unchanged and its getter returns it.
#define QF_SWITCH(name)                                      \
  void __Set##name(unsigned char value) { _##name = value; } \
  unsigned char __Get##name() { return _##name; }

QF_SWITCH(DrawMode)
QF_SWITCH(Deep)
QF_SWITCH(UseMultyRefract)
QF_SWITCH(DubleSide)
QF_SWITCH(DrawBackFaces)
QF_SWITCH(UsePhong2)
QF_SWITCH(UseGlass)
QF_SWITCH(UseCustomMats)
QF_SWITCH(UsePersp)
QF_SWITCH(UseReflection)

#undef QF_SWITCH

void __SetQuality(unsigned char value) { _Quality = value >= 2 ? 1 : value; }
unsigned char __GetQuality() { return _Quality; }

void __SetZBuff(float* buffer, int width, int height) {
  if (buffer != nullptr && width >= 1 && height >= 1) {
    ZBuff = buffer;
    Zwidth = width;
    Zheight = height;
  } else {
    ZBuff = nullptr;
    Zwidth = 0;
    Zheight = 0;
  }
}

void __GetZBuff(float*& buffer, int& width, int& height) {
  buffer = ZBuff;
  width = Zwidth;
  height = Zheight;
}

void __SetLightDef(light3ds* light) { __LightDef = light; }

void __AddPersp(int point_count, __Point3ds* points, float value, float x, float y, float far) {
  _Persp_x = x;
  _Persp_y = y;
  _Persp_Far = far;
  _Persp_Val = value;
  if (far == 0.0f || value == 0.0f) return;
  for (int i = 0; i < point_count; ++i) {
    __Point3ds& p = points[i];
    float k = 1.0f - p.z / far;
    // A vertex at the vanishing depth goes far out rather than to infinity.
    if (std::fabs(k) < 1e-8f) k = k < 0.0f ? -1e-8f : 1e-8f;
    p.x = (p.x - _Persp_x) / k + _Persp_x;
    p.y = (p.y - _Persp_y) / k + _Persp_y;
  }
}

namespace {

// The vertices of the triangles being sorted, for the comparison only.
const __Point3ds* SortPoints = nullptr;

float DepthSum(const __Triangle3ds& t) {
  return SortPoints[t.a].z + SortPoints[t.b].z + SortPoints[t.c].z;
}

int CompareDepth(const void* left, const void* right) {
  const float l = DepthSum(*static_cast<const __Triangle3ds*>(left));
  const float r = DepthSum(*static_cast<const __Triangle3ds*>(right));
  return l < r ? -1 : (l > r ? 1 : 0);
}

}  // namespace

void __Sort(int triangle_count, __Triangle3ds* triangles, __Point3ds* points) {
  if (triangle_count <= 0) return;
  SortPoints = points;
  std::qsort(triangles, static_cast<size_t>(triangle_count), sizeof(__Triangle3ds), CompareDepth);
  SortPoints = nullptr;
}

unsigned char __mmx_present() { return 1; }
