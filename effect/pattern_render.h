// The render both builds answer PF_Cmd_RENDER with: read the scene, lay the
// seed lines of the mask kind, grow the build's pattern along them, then
// assemble, prepare and draw the scene and release what the call acquired.
#pragma once

#include <cstdint>
#include <functional>

#include "AE_Effect.h"
#include "effect/scene_params.h"
#include "growth/pattern_list.h"
#include "growth/seed_walk.h"

// Where a build keeps what the render reads besides its growth values.
struct PatternRenderIndices {
  SceneParamIndices scene;
  PF_ParamIndex maskKind;
  PF_ParamIndex path;
};

// Grows a build's pattern from its parameters along the seed lines of a
// width x height frame into the list.
using GrowPattern = std::function<void(PF_ParamDef* params[], int32_t width, int32_t height,
                                       const SeedLines& seeds, QFTrList& list)>;

// Renders one frame; returns the result of checking "Texture reflection" in.
PF_Err RenderPattern(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                     PF_LayerDef* output, const PatternRenderIndices& at, const GrowPattern& grow);
