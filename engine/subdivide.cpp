// The subdivided fill: one split of the triangle at the middles of its curved
// edges, each part filled by the smooth per-pixel filler.
#include "engine/curved.h"

#include "engine/curved_patch.h"
#include "engine/fill.h"
#include "engine/geometry.h"

namespace {

// p projected onto the tangent plane of corner c.
void OntoTangentPlane(const float p[3], const __Point3ds& c, float out[3]) {
  const float d = -(c.nx * c.x + c.ny * c.y + c.nz * c.z);
  __LinePlaneIntersect(p[0], p[1], p[2], c.nx, c.ny, c.nz, &out[0], &out[1], &out[2], c.nx * c.nx,
                       c.ny * c.ny, c.nz * c.nz, d);
}

// The vertex at the middle of the curved edge from a to b.
__Point3ds CurvedMidpoint(const __Point3ds& a, const __Point3ds& b, bool textured) {
  const float m[3] = {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f, (a.z + b.z) / 2.0f};
  float pa[3], pb[3];
  OntoTangentPlane(m, a, pa);
  OntoTangentPlane(m, b, pb);
  __Point3ds mid{};
  mid.x = (m[0] + (pa[0] + pb[0]) / 2.0f) / 2.0f;
  mid.y = (m[1] + (pa[1] + pb[1]) / 2.0f) / 2.0f;
  mid.z = (m[2] + (pa[2] + pb[2]) / 2.0f) / 2.0f;
  mid.nx = (a.nx + b.nx) / 2.0f;
  mid.ny = (a.ny + b.ny) / 2.0f;
  mid.nz = (a.nz + b.nz) / 2.0f;
  if (textured) {
    mid.hasTexture = 1;
    mid.u = (a.u + b.u) / 2.0f;
    mid.v = (a.v + b.v) / 2.0f;
  }
  return mid;
}

}  // namespace

void __SubdivideTriangleCurved(unsigned char* target, unsigned char* source, int width, int height,
                               __Texture* textures, material3ds* materials, int material_count,
                               __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                               int light_count, light3ds* lights, GlassProp* glass) {
  __Point3ds v[6];
  v[0] = vertices[triangle->a];
  v[1] = vertices[triangle->b];
  v[2] = vertices[triangle->c];
  for (int i = 0; i < 3; ++i)
    if (!UsableNormal(v[i])) return;
  const bool textured = v[0].hasTexture != 0 && v[1].hasTexture != 0 && v[2].hasTexture != 0;
  v[3] = CurvedMidpoint(v[0], v[1], textured);
  v[4] = CurvedMidpoint(v[1], v[2], textured);
  v[5] = CurvedMidpoint(v[0], v[2], textured);

  constexpr int kParts[4][3] = {{0, 3, 5}, {3, 1, 4}, {4, 2, 5}, {3, 4, 5}};
  for (const auto& part : kParts) {
    __Triangle3ds sub = *triangle;
    sub.a = part[0];
    sub.b = part[1];
    sub.c = part[2];
    float nx, ny, nz;
    __FaceNormal(&sub, v, &nx, &ny, &nz);
    if (!CurvedFillFaces(nz)) continue;
    __SetupTrianglePhong(target, source, width, height, textures, materials, material_count, &sub,
                         v, cx, cy, light_count, lights, glass);
  }
}
