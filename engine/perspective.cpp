// The inverse of the perspective warp.
#include "engine/perspective.h"

#include "engine/qf_engine.h"

void __ProjectPersp(float x, float y, float z, float* px, float* py) {
  const float k = 1.0f - z / _Persp_Far;
  *px = x * k + _Persp_x;
  *py = y * k + _Persp_y;
}
