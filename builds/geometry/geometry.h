// The Geometry build's own handlers.
#pragma once

#include "AE_Effect.h"
#include "effect/scene_params.h"

constexpr int kGeometryParamCount = 50;
// The Geometry build's own rows; the shared scene rows follow them.
constexpr int kGeometrySceneRows = kGeometryParamCount - kSceneRowCount + 1;

// Parameter indices that the Geometry render reads besides the scene rows.
enum GeometryParam {
  kGeometryRenderMode = 2,
  kGeometryKind = 4,
  kGeometryMaxIterations = 5,
  kGeometryMaxTriangles = 6,
  kGeometryWidth = 7,
  kGeometryLength = 8,
  kGeometryMaskKind = 11,
  kGeometryPath = 12,
  kGeometryGrownDirection = 13,
  kGeometryDensity = 14,
  kGeometryCompleteness = 15,
  kGeometryCompletenessDistance = 16,
  kGeometryDependOnInterval = 17,
  kGeometryRandomSeed = 20,
  kGeometryDispersion = 21,
  kGeometryLoseInitialDirection = 22,
  kGeometryProportionLength = 23,
  kGeometryProportionWidth = 24,
};
static_assert(kGeometrySceneRows + kSceneTextureReflection == 40,
              "\"Texture reflection\" is parameter 40");

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output);
PF_Err GeometryRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output);
