// The Floral build's own handlers.
#pragma once

#include "AE_Effect.h"

constexpr int kFloralParamCount = 46;

// Parameter indices that the Floral handlers read.
enum FloralParam {
  kFloralKind = 4,
  kFloralMaxIterations = 5,
  kFloralMaxTriangles = 6,
};

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output);
PF_Err UserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                        PF_LayerDef* output, PF_ParamIndex index);
PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output);
PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
              PF_LayerDef* output);
