// The Floral build's own handlers.
#pragma once

#include "AE_Effect.h"
#include "effect/scene_params.h"

constexpr int kFloralParamCount = 46;
// The Floral build's own rows; the shared scene rows follow them.
constexpr int kFloralOwnParamCount = kFloralParamCount - kSceneRowCount;
constexpr int kFloralSceneRows = kFloralOwnParamCount + 1;

// Parameter indices that the Floral handlers read.
enum FloralParam {
  kFloralRenderMode = 2,
  kFloralKind = 4,
  kFloralMaxIterations = 5,
  kFloralMaxTriangles = 6,
  kFloralWidth = 7,
  kFloralLength = 8,
  kFloralTurn = 9,
  kFloralMaskKind = 12,
  kFloralPath = 13,
  kFloralGrownDirection = 14,
  kFloralDensity = 15,
  kFloralCompleteness = 16,
  kFloralCompletenessDistance = 17,
  kFloralDependOnInterval = 18,
  kFloralRandomSeed = 20,
  kFloralDispersion = 21,
  kFloralPosition = kFloralSceneRows + kScenePosition,
  kFloralScale = kFloralSceneRows + kSceneScale,
  kFloralDiffuse = kFloralSceneRows + kSceneDiffuse,
  kFloralSpecular = kFloralSceneRows + kSceneSpecular,
  kFloralShininess = kFloralSceneRows + kSceneShininess,
  kFloralShinStrength = kFloralSceneRows + kSceneShinStrength,
  kFloralSelfIllumination = kFloralSceneRows + kSceneSelfIllumination,
  kFloralTransparency = kFloralSceneRows + kSceneTransparency,
  kFloralGlass = kFloralSceneRows + kSceneGlass,
  kFloralRefraction = kFloralSceneRows + kSceneRefraction,
  kFloralOpticalCoefficient = kFloralSceneRows + kSceneOpticalCoefficient,
  kFloralAberration = kFloralSceneRows + kSceneAberration,
  kFloralBumpPercent = kFloralSceneRows + kSceneBumpPercent,
  kFloralTextureReflection = kFloralSceneRows + kSceneTextureReflection,
  kFloralReflectionPercent = kFloralSceneRows + kSceneReflectionPercent,
  kFloralMultiply = kFloralSceneRows + kSceneMultiply,
  kFloralLightColor = kFloralSceneRows + kSceneLightColor,
  kFloralRotateUV = kFloralSceneRows + kSceneRotateUV,
  kFloralRotateWV = kFloralSceneRows + kSceneRotateWV,
  kFloralOppositingLight = kFloralSceneRows + kSceneOppositingLight,
  kFloralCutAlpha = kFloralSceneRows + kSceneCutAlpha,
};
static_assert(kFloralCutAlpha == kFloralParamCount, "the scene rows end the list");

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output);
PF_Err UserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                        PF_LayerDef* output, PF_ParamIndex index);
PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output);
PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);
