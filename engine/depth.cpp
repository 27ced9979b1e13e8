// The plane depth test against ZBuff.
#include "engine/depth.h"

#include <cmath>

float PlaneDepth(float x, float y, float d, float b, float a, float c, const __Point3ds* fallback) {
  // An edge-on plane gives no usable depth: the vertex's stands in.
  return std::fabs(c) < 0.01f ? fallback->z : -(b * y + a * x + d) / c;
}

bool __ZTestPlane(unsigned char, float x, float y, float d, float b, float a, float c,
                  const __Point3ds* fallback, float* depth, int cx, int cy, int* index,
                  float* old_depth) {
  const auto plane_depth = [&] { return PlaneDepth(x, y, d, b, a, c, fallback); };
  if (ZBuff == nullptr) {
    *depth = plane_depth();
    return true;
  }
  const int ix = static_cast<int>(x + static_cast<float>(cx));
  const int iy = static_cast<int>(y + static_cast<float>(cy));
  if (ix < 0 || iy < 0 || ix >= Zwidth || iy >= Zheight) return false;
  const float z = plane_depth();
  *depth = z;
  *index = ix + iy * Zwidth;
  if (!(z > ZBuff[*index])) return false;
  *old_depth = ZBuff[*index];
  ZBuff[*index] = z;
  return true;
}
