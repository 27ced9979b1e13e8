// The Floral build's own handlers.
#pragma once

#include "AE_Effect.h"

constexpr int kFloralParamCount = 46;

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
  kFloralPosition = 22,
  kFloralScale = 23,
  kFloralDiffuse = 25,
  kFloralSpecular = 26,
  kFloralShininess = 27,
  kFloralShinStrength = 28,
  kFloralSelfIllumination = 29,
  kFloralTransparency = 30,
  kFloralGlass = 31,
  kFloralRefraction = 32,
  kFloralOpticalCoefficient = 33,
  kFloralAberration = 34,
  kFloralBumpPercent = 35,
  kFloralTextureReflection = 36,
  kFloralReflectionPercent = 37,
  kFloralMultiply = 40,
  kFloralLightColor = 41,
  kFloralRotateUV = 42,
  kFloralRotateWV = 43,
  kFloralOppositingLight = 44,
  kFloralCutAlpha = 46,
};

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output);
PF_Err UserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                        PF_LayerDef* output, PF_ParamIndex index);
PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output);
PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
              PF_LayerDef* output);
