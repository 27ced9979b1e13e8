// The Geometry build's own handlers.
#pragma once

#include "AE_Effect.h"

constexpr int kGeometryParamCount = 50;

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output);
PF_Err GeometryRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output);
