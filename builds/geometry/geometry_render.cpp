// The Geometry build's render: grows seed triangles and trees of triangle
// fans along the seed lines of the chosen mask kind or the custom path, then
// draws them as a scene.
#include "builds/geometry/geometry.h"
#include "effect/pattern_render.h"
#include "effect/scene_render.h"
#include "growth/geometric_pattern.h"

namespace {

const PatternRenderIndices kGeometryRenderParams = {
    SceneParamsFrom(kGeometryRenderMode, kGeometrySceneRows), kGeometryMaskKind, kGeometryPath};

float Fixed(PF_ParamDef* params[], PF_ParamIndex index) {
  return static_cast<float>(FixedValue(params[index]));
}

GeometricGrowth ReadGeometricGrowth(PF_ParamDef* params[], int32_t width) {
  const float w = static_cast<float>(width);
  GeometricGrowth g;
  g.kind = PopupChoice(params[kGeometryKind]);
  g.maxIterations = params[kGeometryMaxIterations]->u.sd.value;
  g.maxTriangles = params[kGeometryMaxTriangles]->u.sd.value;
  g.walk.width = Fixed(params, kGeometryWidth);
  g.walk.length = static_cast<float>(FixedValue(params[kGeometryLength]) * width / 400);
  g.walk.direction = PopupChoice(params[kGeometryGrownDirection]);
  g.walk.density = static_cast<float>(FixedValue(params[kGeometryDensity]) / 1000) * w;
  g.walk.completeness = Fixed(params, kGeometryCompleteness);
  g.walk.completenessDistance = Fixed(params, kGeometryCompletenessDistance);
  g.walk.dependOnInterval = static_cast<float>(FixedValue(params[kGeometryDependOnInterval]) / 100);
  g.seed = params[kGeometryRandomSeed]->u.sd.value;
  g.dispersion = Fixed(params, kGeometryDispersion);
  g.loseDirection = static_cast<float>(FixedValue(params[kGeometryLoseInitialDirection]) / 100);
  g.proportionLength = static_cast<float>(FixedValue(params[kGeometryProportionLength]) / 200);
  g.proportionWidth = static_cast<float>(FixedValue(params[kGeometryProportionWidth]) / 200);
  return g;
}

}  // namespace

PF_Err GeometryRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output) {
  return RenderPattern(in_data, out_data, params, output, kGeometryRenderParams,
                       [](PF_ParamDef* values[], int32_t width, int32_t height,
                          const SeedLines& seeds, QFTrList& list) {
                         GrowGeometricPattern(ReadGeometricGrowth(values, width), width, height,
                                              seeds, list);
                       });
}
