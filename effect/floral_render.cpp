// The Floral build's render: grows stems and ferns along the seed lines of
// the chosen mask kind or the custom path, then draws them as a scene.
#include <algorithm>

#include "effect/floral.h"
#include "effect/floral_growth.h"
#include "effect/pattern_render.h"

const SceneParamIndices kFloralSceneParams = SceneParamsFrom(kFloralRenderMode, kFloralSceneRows);

namespace {

constexpr double kPi = 3.141592653589793;

}  // namespace

FloralGrowth ReadFloralGrowth(PF_ParamDef* params[], int32_t width) {
  const float w = static_cast<float>(width);
  FloralGrowth g;
  g.kind = PopupChoice(params[kFloralKind]);
  // The declared ranges start at 1 and 5; a value below 1 from the host
  // would leave the generators without a count.
  g.maxIterations = std::max(params[kFloralMaxIterations]->u.sd.value, 1);
  g.maxTriangles = std::max(params[kFloralMaxTriangles]->u.sd.value, 1);
  g.walk.width = static_cast<float>(FixedValue(params[kFloralWidth]));
  g.walk.length = static_cast<float>(FixedValue(params[kFloralLength]) / 100) * w;
  g.walk.turn = static_cast<float>(FixedValue(params[kFloralTurn]) * kPi / 180);
  g.walk.direction = PopupChoice(params[kFloralGrownDirection]);
  g.walk.density = static_cast<float>(FixedValue(params[kFloralDensity]) / 1000) * w;
  g.walk.completeness = static_cast<float>(FixedValue(params[kFloralCompleteness]));
  g.walk.completenessDistance = static_cast<float>(FixedValue(params[kFloralCompletenessDistance]));
  g.walk.dependOnInterval = static_cast<float>(FixedValue(params[kFloralDependOnInterval]) / 100);
  g.seed = params[kFloralRandomSeed]->u.sd.value;
  g.dispersion = static_cast<float>(FixedValue(params[kFloralDispersion]));
  return g;
}

PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
              PF_LayerDef* output) {
  return RenderPattern(
      in_data, out_data, params, output, {kFloralSceneParams, kFloralMaskKind, kFloralPath},
      [](PF_ParamDef* values[], int32_t width, int32_t height, const SeedLines& seeds,
         QFTrList& list) {
        GrowFloralPattern(ReadFloralGrowth(values, width), width, height, seeds, list);
      });
}
