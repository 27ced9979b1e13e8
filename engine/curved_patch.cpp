// Construction of the curved patch and the sampling steps over it.
#include "engine/curved_patch.h"

#include <algorithm>

#include "engine/geometry.h"

namespace {

struct Corner {
  float p[3];
  float n[3];
  float uv[2];
  float n2[3];  // squares of the normal's components
  float d;      // tangent plane n.X + d = 0
};

Corner CornerOf(const __Point3ds& v) {
  Corner c{{v.x, v.y, v.z}, {v.nx, v.ny, v.nz}, {v.u, v.v}, {}, 0.0f};
  for (int k = 0; k < 3; ++k) c.n2[k] = c.n[k] * c.n[k];
  c.d = static_cast<float>(-(static_cast<double>(c.n[0]) * c.p[0] +
                             static_cast<double>(c.n[1]) * c.p[1] +
                             static_cast<double>(c.n[2]) * c.p[2]));
  return c;
}

// The edge point one third of the way from corner i to corner j, projected
// onto i's tangent plane; q receives the point before the projection.
void EdgePoint(const Corner& i, const Corner& j, float e[3], float q[3]) {
  for (int k = 0; k < 3; ++k) q[k] = static_cast<float>(kPatchF * i.p[k] + kPatchG * j.p[k]);
  __LinePlaneIntersect(q[0], q[1], q[2], i.n[0], i.n[1], i.n[2], &e[0], &e[1], &e[2], i.n2[0],
                       i.n2[1], i.n2[2], i.d);
}

}  // namespace

bool UsableNormal(const __Point3ds& p) {
  const float squared = p.nx * p.nx + p.ny * p.ny + p.nz * p.nz;
  return squared > 0.0f && std::isfinite(squared);
}

bool BuildCurvedPatch(const __Triangle3ds* triangle, const __Point3ds* vertices, bool with_texture,
                      CurvedPatch* patch) {
  const __Point3ds* v[3] = {&vertices[triangle->a], &vertices[triangle->b], &vertices[triangle->c]};
  for (const __Point3ds* p : v)
    if (!UsableNormal(*p)) return false;
  const Corner c[3] = {CornerOf(*v[0]), CornerOf(*v[1]), CornerOf(*v[2])};
  patch->textured =
      with_texture && v[0]->hasTexture != 0 && v[1]->hasTexture != 0 && v[2]->hasTexture != 0;

  // Edge points in the order of their construction, and where each sits in
  // the evaluation's sum.
  constexpr int kFrom[6] = {0, 0, 2, 2, 1, 1};
  constexpr int kTo[6] = {2, 1, 0, 1, 2, 0};
  constexpr int kSlot[6] = {3, 5, 4, 8, 7, 6};
  float e[6][3], q[3];
  for (int m = 0; m < 6; ++m) {
    const Corner& i = c[kFrom[m]];
    const Corner& j = c[kTo[m]];
    EdgePoint(i, j, e[m], q);
    const int slot = kSlot[m];
    for (int k = 0; k < 3; ++k) {
      patch->position[slot][k] = 3.0f * e[m][k];
      patch->normal[slot][k] = 3.0f * ((i.n[k] + (i.n[k] + j.n[k]) / 2.0f) / 2.0f);
    }
    for (int k = 0; k < 2; ++k)
      patch->uv[slot][k] =
          patch->textured ? 3.0f * static_cast<float>(kPatchF * i.uv[k] + kPatchG * j.uv[k]) : 0.0f;
  }

  // The centre: the mean of the edge points, raised along the mean normal
  // by the distance the last edge point moved in its projection.
  float h2 = 0.0f;
  for (int k = 0; k < 3; ++k) {
    const float d = e[5][k] - q[k];
    h2 += d * d;
  }
  const float h = std::sqrt(h2);
  for (int k = 0; k < 3; ++k) {
    const float mean = (e[4][k] + e[3][k] + e[2][k] + e[0][k] + e[1][k] + e[5][k]) / 6.0f;
    const float normal = (c[0].n[k] + c[1].n[k] + c[2].n[k]) / 3.0f;
    const float raised =
        static_cast<float>(static_cast<double>(mean) + static_cast<double>(normal) * h);
    patch->position[9][k] = 6.0f * raised;
    patch->normal[9][k] = 6.0f * normal;
  }
  for (int k = 0; k < 2; ++k)
    patch->uv[9][k] =
        patch->textured ? 6.0f * ((c[0].uv[k] + c[1].uv[k] + c[2].uv[k]) / 3.0f) : 0.0f;

  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < 3; ++k) {
      patch->position[i][k] = c[i].p[k];
      patch->normal[i][k] = c[i].n[k];
    }
    for (int k = 0; k < 2; ++k) patch->uv[i][k] = patch->textured ? c[i].uv[k] : 0.0f;
  }
  return true;
}

bool PatchMissesFrame(const CurvedPatch& patch, int cx, int cy, double reach) {
  // Control values of the edge points and the centre carry their factor.
  constexpr double kFactor[10] = {1, 1, 1, 3, 3, 3, 3, 3, 3, 6};
  const double size[2] = {static_cast<double>(Zwidth), static_cast<double>(Zheight)};
  const double centre[2] = {static_cast<double>(cx), static_cast<double>(cy)};
  for (int axis = 0; axis < 2; ++axis) {
    bool all_before = true, all_beyond = true;
    for (int i = 0; i < 10; ++i) {
      // A sample lands in pixel 0 from -1.5 on; one pixel more guards
      // the rounding of the evaluation's sum.
      const double c = patch.position[i][axis] / kFactor[i] + centre[axis];
      all_before = all_before && c < -2.5 - reach;
      all_beyond = all_beyond && c >= size[axis] + 1.0 + reach;
    }
    if (all_before || all_beyond) return true;
  }
  return false;
}

bool PrepareCurvedSampling(const __Triangle3ds* triangle, const __Point3ds* vertices, int cx,
                           int cy, bool with_texture, CurvedPatch* patch, double* step_t,
                           double* step_s) {
  if (Zwidth <= 0 || Zheight <= 0) return false;
  if (!BuildCurvedPatch(triangle, vertices, with_texture, patch)) return false;
  if (PatchMissesFrame(*patch, cx, cy, 0.0)) return false;
  CurvedSampleSteps(vertices[triangle->a], vertices[triangle->b], vertices[triangle->c], step_t,
                    step_s);
  return true;
}

void CurvedSampleSteps(const __Point3ds& v0, const __Point3ds& v1, const __Point3ds& v2,
                       double* step_t, double* step_s) {
  const double d1 = __Distance3(v0.x, v0.y, v0.z, v2.x, v2.y, v2.z);
  const double d2 = __Distance3(v1.x, v1.y, v1.z, v2.x, v2.y, v2.z);
  double t = d1 > 0.0 ? 1.0 / (2.0 * d1) : 1.0;
  double s = d2 > 0.0 ? 1.0 / (2.0 * d2) : 1.0;

  // Samples per axis, about 1 / step + 1 each.
  const double cap = kCurvedSamplesPerPixel * Zwidth * Zheight;
  double nt = 1.0 / t + 1.0, ns = 1.0 / s + 1.0;
  if (nt * ns > cap) {
    const double k = std::sqrt(nt * ns / cap);
    nt = std::max(2.0, nt / k);
    ns = std::max(2.0, ns / k);
    // One axis held at its least leaves the whole budget to the other.
    if (nt * ns > cap) {
      if (nt > ns)
        nt = std::max(2.0, cap / ns);
      else
        ns = std::max(2.0, cap / nt);
    }
    t = 1.0 / (nt - 1.0);
    s = 1.0 / (ns - 1.0);
  }
  *step_t = t;
  *step_s = s;
}
