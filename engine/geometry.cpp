// Face normals, line-plane feet, distances and determinants.
#include "engine/geometry.h"

#include <cmath>

float __Det3(const float* m) {
  return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
         m[2] * (m[3] * m[7] - m[4] * m[6]);
}

namespace {

void Cross(float ux, float uy, float uz, float vx, float vy, float vz, float* nx, float* ny,
           float* nz) {
  *nx = uy * vz - uz * vy;
  *ny = uz * vx - ux * vz;
  *nz = ux * vy - uy * vx;
}

}  // namespace

void __FaceNormal(const __Triangle3ds* triangle, const __Point3ds* vertices, float* nx, float* ny,
                  float* nz) {
  const __Point3ds& pa = vertices[triangle->a];
  const __Point3ds& pb = vertices[triangle->b];
  const __Point3ds& pc = vertices[triangle->c];
  Cross(pc.x - pb.x, pc.y - pb.y, pc.z - pb.z, pa.x - pb.x, pa.y - pb.y, pa.z - pb.z, nx, ny, nz);
}

void __TriangleNormal(const __Point3ds* vertices, float* nx, float* ny, float* nz) {
  const __Point3ds& v0 = vertices[0];
  const __Point3ds& v1 = vertices[1];
  const __Point3ds& v2 = vertices[2];
  Cross(v0.x - v1.x, v0.y - v1.y, v0.z - v1.z, v2.x - v1.x, v2.y - v1.y, v2.z - v1.z, nx, ny, nz);
}

void __LinePlaneIntersect(float px, float py, float pz, float nx, float ny, float nz, float* ox,
                          float* oy, float* oz, float nx2, float ny2, float nz2, float d) {
  const float s = nx2 + ny2 + nz2;
  if (std::fabs(ny) > std::fabs(nx)) {
    *oy = (py * (nx2 + nz2) - ny * (d + nx * px + nz * pz)) / s;
    *ox = nx * (*oy - py) / ny + px;
    *oz = nz * (*oy - py) / ny + pz;
  } else if (nx == 0.0f) {
    *oz = (pz * (nx2 + ny2) - nz * (d + nx * px + ny * py)) / s;
    *ox = nx * (*oz - pz) / nz + px;
    *oy = ny * (*oz - pz) / nz + py;
  } else {
    *ox = (px * (ny2 + nz2) - nx * (d + ny * py + nz * pz)) / s;
    *oy = ny * (*ox - px) / nx + py;
    *oz = nz * (*ox - px) / nx + pz;
  }
}

double __Distance3(float x1, float y1, float z1, float x2, float y2, float z2) {
  const float dx = x1 - x2, dy = y1 - y2, dz = z1 - z2;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}
