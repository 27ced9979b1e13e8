// The silhouette: the curved surface sampled as the curved fill samples it,
// with neither shader nor depth test.
#include "engine/curved.h"

#include "engine/coverage.h"
#include "engine/curved_patch.h"
#include "engine/scene_state.h"

void __DrawTriangleSilhouette(unsigned char* target, unsigned char* source, int, int,
                              __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                              int material_count, material3ds* materials, __Texture*, int,
                              light3ds*, GlassProp*) {
  CurvedPatch patch;
  double step_t, step_s;
  if (!PrepareCurvedSampling(triangle, vertices, cx, cy, false, &patch, &step_t, &step_s)) return;

  // The dots take the material's diffuse colour, or full red without materials.
  const float full = static_cast<float>(__MaxChannel);
  float r = full, g = 0.0f, b = 0.0f;
  if (material_count > 0 && materials != nullptr) {  // a negative count counts as none
    int index = triangle->material;
    if (index >= material_count) index = material_count - 1;
    const float* diffuse = materials[index].diffuse;
    r = diffuse[0] * full;
    g = diffuse[1] * full;
    b = diffuse[2] * full;
  }

  WalkCurvedSamples(
      patch, step_t, step_s, cx, cy, [] {}, [] {},
      [&](const PatchWeights& w, const double*, int X, int Y) {
        const double nz = EvaluateComponent(patch.normal, w, 2);
        if (nz < 0.0) return;
        if (nz / 2.0 > 0.15) {
          // Facing the viewer: the image underneath shows through.
          const int k = (X + Y * Zwidth) * 4;
          for (int c = 0; c < 4; ++c) __SetChannel(target, k + c, __GetChannel(source, k + c));
          return;
        }
        const double a = nz < 0.15 ? nz : 0.3 - nz;
        float strength = static_cast<float>(a / 0.15);
        strength = strength * strength;
        if (strength > 1.0f) strength = 1.0f;
        __BlendPixel(1.0f, target, source, r, g, b, X, Y, strength);
      });
}
