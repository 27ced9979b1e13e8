// What the Floral render reads for its growth: where its list keeps the scene
// parameters, and the growth values in working units.
#pragma once

#include <cstdint>

#include "AE_Effect.h"
#include "effect/scene_render.h"
#include "growth/floral_pattern.h"

// Where the Floral parameter list keeps the scene parameters.
extern const SceneParamIndices kFloralSceneParams;

// Reads the growth values; lengths in pixels of a frame of the given width.
FloralGrowth ReadFloralGrowth(PF_ParamDef* params[], int32_t width);
