// Barycentric interpolation of normals and texture coordinates.
#include "engine/interpolate.h"

#include <cmath>

#include "engine/perspective.h"

namespace {

// Barycentric weights of (x, y) against the triangle T (x0, x1, x2, y0, y1,
// y2): negatives become 0, and they are scaled to sum 1 when that is possible.
// Weight i is __Det3 of the rows (xp, xq, x), (yp, yq, y), (1, 1, 1) over
// area, for the vertices p, q after i; its products by 1 are left out, as
// they are exact.
inline void Weights(const float* T, float area, float x, float y, float* w,
                    bool normalise_when_positive) {
  const float x0 = T[0], x1 = T[1], x2 = T[2];
  const float y0 = T[3], y1 = T[4], y2 = T[5];
  float w0 = (x1 * (y2 - y) - x2 * (y1 - y) + x * (y1 - y2)) / area;
  float w1 = (x2 * (y0 - y) - x0 * (y2 - y) + x * (y2 - y0)) / area;
  float w2 = (x0 * (y1 - y) - x1 * (y0 - y) + x * (y0 - y1)) / area;
  if (w0 < 0.0f) w0 = 0.0f;
  if (w1 < 0.0f) w1 = 0.0f;
  if (w2 < 0.0f) w2 = 0.0f;
  const float sum = w0 + w1 + w2;
  if (normalise_when_positive ? sum > 0.0f : sum != 0.0f) {
    w0 /= sum;
    w1 /= sum;
    w2 /= sum;
  }
  w[0] = w0;
  w[1] = w1;
  w[2] = w2;
}

void TexCoords(const __Point3ds* vertices, const float* w, float x, float y, float z,
               const float* P, float area_p, unsigned char textures, float* u, float* v, float cx,
               float cy) {
  if (textures == 0) return;
  float weights[3] = {w[0], w[1], w[2]};
  if (_Persp_Val != 0.0f) {
    float qx, qy;
    __ProjectPersp(x - cx, y - cy, z, &qx, &qy);
    Weights(P, area_p, qx, qy, weights, false);
  }
  *u = weights[0] * vertices[0].u + weights[1] * vertices[1].u + weights[2] * vertices[2].u;
  *v = weights[0] * vertices[0].v + weights[1] * vertices[1].v + weights[2] * vertices[2].v;
}

}  // namespace

void UnitVertexNormals(const __Point3ds* vertices, float N[3][3]) {
  for (int i = 0; i < 3; ++i) {
    const __Point3ds& p = vertices[i];
    N[i][0] = p.nx;
    N[i][1] = p.ny;
    N[i][2] = p.nz;
    const float length = std::sqrt(p.nx * p.nx + p.ny * p.ny + p.nz * p.nz);
    if (length > 0.0f)
      for (int k = 0; k < 3; ++k) N[i][k] /= length;
  }
}

void __InterpNormalPersp(__Point* normal, const __Point3ds* vertices, float x, float y, float z,
                         const float* S, float area_s, const float* P, float area_p,
                         unsigned char textures, float* u, float* v, const float* M, float cx,
                         float cy) {
  float N[3][3];
  UnitVertexNormals(vertices, N);
  InterpUnitNormal(normal, N, vertices, x, y, z, S, area_s, P, area_p, textures, u, v, M, cx, cy);
}

void InterpUnitNormal(__Point* normal, const float N[3][3], const __Point3ds* vertices, float x,
                      float y, float z, const float* S, float area_s, const float* P, float area_p,
                      unsigned char textures, float* u, float* v, const float* M, float cx,
                      float cy) {
  float w[3];
  Weights(S, area_s, x, y, w, true);
  float R[3];
  if (_Quality != 0 && _UsePhong2 != 0) {
    for (int k = 0; k < 3; ++k)
      R[k] = w[0] * w[0] * N[0][k] + w[1] * w[1] * N[1][k] + w[2] * w[2] * N[2][k] +
             w[0] * w[1] * M[k] + 2.0f * w[1] * w[2] * M[3 + k] + w[2] * w[0] * M[6 + k];
  } else {
    for (int k = 0; k < 3; ++k) R[k] = w[0] * N[0][k] + w[1] * N[1][k] + w[2] * N[2][k];
  }
  normal->x = R[0];
  normal->y = R[1];
  normal->z = R[2];
  TexCoords(vertices, w, x, y, z, P, area_p, textures, u, v, cx, cy);
}

void __InterpTexCoords(__Point*, const __Point3ds* vertices, float x, float y, float z,
                       const float* S, float area_s, const float* P, float area_p,
                       unsigned char textures, float* u, float* v, const float*, float cx,
                       float cy) {
  if (textures == 0) return;
  float w[3];
  Weights(S, area_s, x, y, w, true);
  TexCoords(vertices, w, x, y, z, P, area_p, textures, u, v, cx, cy);
}
