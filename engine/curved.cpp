// The curved fill: the patch sampled densely, each sample kept by depth,
// shaded and plotted with a coverage that fades where the surface turns edge-on.
#include "engine/curved.h"

#include "engine/coverage.h"
#include "engine/curved_patch.h"
#include "engine/scene_state.h"

void __FillTriangleCurved(unsigned char* target, unsigned char* source, int, int,
                          __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                          int material_count, material3ds* materials, __Texture* textures,
                          int light_count, light3ds* lights, GlassProp* glass) {
  if (ZBuff == nullptr) return;
  CurvedPatch patch;
  double step_t, step_s;
  if (!PrepareCurvedSampling(triangle, vertices, cx, cy, true, &patch, &step_t, &step_s)) return;

  const float centre_x = static_cast<float>(cx);
  const float centre_y = static_cast<float>(cy);
  __PrevInfo neighbour{};
  WalkCurvedSamples(
      patch, step_t, step_s, cx, cy, [&] { neighbour.valid = 0; }, [&] { neighbour.valid = 0; },
      [&](const PatchWeights& w, const double* p, int X, int Y) {
        // Facing comes first, and a sample that fails it leaves the
        // neighbour record as it is; one that fails the depth test makes
        // it invalid. Behind the depth buffer with the record already
        // invalid, the sample changes nothing whichever way it faces.
        const int k = X + Y * Zwidth;
        const bool nearer = p[2] > ZBuff[k];
        if (!nearer && neighbour.valid == 0) return;
        double n[3];
        n[2] = EvaluateComponent(patch.normal, w, 2);
        if (!CurvedFillFaces(n[2])) return;
        if (!nearer) {
          neighbour.valid = 0;
          return;
        }
        ZBuff[k] = static_cast<float>(p[2]);
        n[0] = EvaluateComponent(patch.normal, w, 0);
        n[1] = EvaluateComponent(patch.normal, w, 1);
        double u = 0.0, v = 0.0;
        if (patch.textured) EvaluateUV(patch, w, &u, &v);

        float fade = 1.0f;
        if (n[2] > -0.2 && n[2] < 0.2) {
          const float ratio = static_cast<float>(n[2] / 0.2);
          fade = ratio * ratio;
          if (fade > 1.0f) fade = 1.0f;
        }

        const float x = static_cast<float>(p[0]), y = static_cast<float>(p[1]),
                    z = static_cast<float>(p[2]);
        __Point normal{static_cast<float>(n[0]), static_cast<float>(n[1]),
                       static_cast<float>(n[2])};
        // The plane through the sample in image coordinates, as the flat
        // fillers and the Line mode form theirs.
        const float plane_d =
            -((x + centre_x) * normal.x + (y + centre_y) * normal.y + z * normal.z);
        float r = 0.0f, g = 0.0f, b = 0.0f;
        const float opacity =
            __RenderOnePixel(centre_x, centre_y, target, source, x, y, z, triangle, materials,
                             material_count, r, g, b, &normal, patch.textured ? 1 : 0,
                             static_cast<float>(u), static_cast<float>(v), textures, light_count,
                             lights, &neighbour, glass, normal.x, normal.y, normal.z, plane_d);
        fade = fade * opacity;

        neighbour.nx = normal.x;
        neighbour.ny = normal.y;
        neighbour.nz = normal.z;
        neighbour.valid = 1;
        neighbour.x = x;
        neighbour.y = y;
        neighbour.u = static_cast<float>(u);
        neighbour.v = static_cast<float>(v);
        __BlendPixel(opacity, target, source, r, g, b, X, Y, fade);
      });
}
