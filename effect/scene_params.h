// The scene rows both builds' parameter lists end with, from "Position" to
// "Cut alpha", declared once; each build places them from its own first index.
#pragma once

#include "AE_Effect.h"
#include "effect/param_setup.h"

// The shared rows in order, counted from the first one.
enum SceneRow {
  kScenePosition,
  kSceneScale,
  kSceneMaterialGroup,
  kSceneDiffuse,
  kSceneSpecular,
  kSceneShininess,
  kSceneShinStrength,
  kSceneSelfIllumination,
  kSceneTransparency,
  kSceneGlass,
  kSceneRefraction,
  kSceneOpticalCoefficient,
  kSceneAberration,
  kSceneBumpPercent,
  kSceneTextureReflection,
  kSceneReflectionPercent,
  kSceneMaterialEnd,
  kSceneLightGroup,
  kSceneMultiply,
  kSceneLightColor,
  kSceneRotateUV,
  kSceneRotateWV,
  kSceneOppositingLight,
  kSceneLightEnd,
  kSceneCutAlpha,
  kSceneRowCount
};

extern const ParamSpec kSceneParamRows[kSceneRowCount];

// Where a build keeps the scene parameters in its parameter array.
struct SceneParamIndices {
  PF_ParamIndex renderMode;
  PF_ParamIndex position;
  PF_ParamIndex scale;
  PF_ParamIndex diffuse;
  PF_ParamIndex specular;
  PF_ParamIndex shininess;
  PF_ParamIndex shinStrength;
  PF_ParamIndex selfIllumination;
  PF_ParamIndex transparency;
  PF_ParamIndex glass;
  PF_ParamIndex refraction;
  PF_ParamIndex opticalCoefficient;
  PF_ParamIndex aberration;
  PF_ParamIndex bumpPercent;
  PF_ParamIndex textureReflection;
  PF_ParamIndex reflectionPercent;
  PF_ParamIndex multiply;
  PF_ParamIndex lightColor;
  PF_ParamIndex rotateUV;
  PF_ParamIndex rotateWV;
  PF_ParamIndex oppositingLight;
  PF_ParamIndex cutAlpha;
};

// The indices of a list whose render mode is at render_mode and whose shared
// rows start at first.
constexpr SceneParamIndices SceneParamsFrom(PF_ParamIndex render_mode, PF_ParamIndex first) {
  return {render_mode,
          first + kScenePosition,
          first + kSceneScale,
          first + kSceneDiffuse,
          first + kSceneSpecular,
          first + kSceneShininess,
          first + kSceneShinStrength,
          first + kSceneSelfIllumination,
          first + kSceneTransparency,
          first + kSceneGlass,
          first + kSceneRefraction,
          first + kSceneOpticalCoefficient,
          first + kSceneAberration,
          first + kSceneBumpPercent,
          first + kSceneTextureReflection,
          first + kSceneReflectionPercent,
          first + kSceneMultiply,
          first + kSceneLightColor,
          first + kSceneRotateUV,
          first + kSceneRotateWV,
          first + kSceneOppositingLight,
          first + kSceneCutAlpha};
}
