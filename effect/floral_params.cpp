// The Floral build's 46 parameters and the enabling of "Max iterations" and
// "Max triangles" by pattern kind.
#include <cstring>

#include "AE_EffectSuites.h"
#include "effect/entry.h"
#include "effect/floral.h"
#include "effect/param_setup.h"

// The parameter rows keep one row a line, aligned as a table.
// clang-format off

namespace {

// kind, name, valid min/max, slider min/max, default, default y, choices, text,
// precision, colour, ui_flags, ui_width, ui_height; the scene rows follow.
const ParamSpec kFloralParams[kFloralOwnParamCount] = {
    kInformationRow,
    {PF_Param_POPUP, "Render mode", 0, 0, 0, 0, 5, 0, 5, kRenderModeChoices, 0, {}, 0, 0, 0},
    kGeometryGroupRow,
    {PF_Param_POPUP, "QuillFrame kind", 0, 0, 0, 0, 1, 0, 4, "Floral 1|Floral 2|Floral 3", 0, {}, 0, 0, 0},
    {PF_Param_SLIDER, "Max iterations", 1, 100, 2, 5, 3, 0, 0, nullptr, 0, {}, 0, 0, 0},
    {PF_Param_SLIDER, "Max triangles", 5, 1000, 10, 40, 15, 0, 0, nullptr, 0, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Width", 0, 10, 0.1, 1, 0.35, 0, 0, nullptr, 3, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Length", 0, 1000, 0, 100, 15, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Turn", 0, 1000, 90, 360, 270, 0, 0, nullptr, 2, {}, 0, 0, 0},
    kGroupEndRow,
    kMaskGroupRow,
    {PF_Param_POPUP, "Mask kind", 0, 0, 0, 0, 5, 0, 8,
     "Bottom|Top|Top and bottom|Perimeter|U-like|Window|Custom path", 0, {}, 0, 0, 0},
    kCustomPathRow,
    {PF_Param_POPUP, "Grown direction", 0, 0, 0, 0, 2, 0, 9, kGrownDirectionChoices, 0, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Density", 1, 1000, 10, 400, 230, 0, 0, nullptr, 2, {}, 0, 0, 0},
    kCompletenessRow,
    kCompletenessDistanceRow,
    kDependOnIntervalRow,
    kGroupEndRow,
    kRandomSeedRow,
    {PF_Param_FIX_SLIDER, "Dispersion", 0, 1000, 0, 3, 0.4, 0, 0, nullptr, 2, {}, 0, 0, 0},
};

constexpr ParamListLayout kFloralLayout = {31, 36};

// Sets or clears the disabled bit in both flag fields of one parameter.
void UpdateEnabled(PF_InData* in_data, const PF_ParamUtilsSuite2* suite, PF_ParamDef* params[],
                   PF_ParamIndex index, bool disabled) {
  PF_ParamDef copy;
  std::memcpy(&copy, params[index], sizeof(copy));
  if (disabled) {
    copy.flags |= PF_ParamFlag_COLLAPSE_TWIRLY;
    copy.ui_flags |= PF_PUI_DISABLED;
  } else {
    copy.flags &= ~PF_ParamFlag_COLLAPSE_TWIRLY;
    copy.ui_flags &= ~PF_PUI_DISABLED;
  }
  suite->PF_UpdateParamUI(in_data->effect_ref, index, &copy);
}

}  // namespace

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*) {
  return DeclareParams(in_data, out_data, kFloralParams, kFloralOwnParamCount, kFloralLayout);
}

PF_Err UserChangedParam(PF_InData* in_data, PF_OutData*, PF_ParamDef* params[], PF_LayerDef*,
                        PF_ParamIndex index) {
  if (index != kFloralKind) return PF_Err_NONE;
  const void* suite_ptr = nullptr;
  AcquireHostSuite(in_data, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2, &suite_ptr);
  if (!suite_ptr) return PF_Err_NONE;
  const auto* suite = static_cast<const PF_ParamUtilsSuite2*>(suite_ptr);

  const int kind = params[kFloralKind]->u.pd.value & 0xFF;
  UpdateEnabled(in_data, suite, params, kFloralMaxIterations, kind == 2);
  UpdateEnabled(in_data, suite, params, kFloralMaxTriangles, kind == 1);

  ReleaseHostSuite(in_data, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2, suite_ptr);
  return PF_Err_NONE;
}

PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output) {
  for (PF_ParamIndex index = 2; index <= kFloralParamCount; ++index) {
    UserChangedParam(in_data, out_data, params, output, index);
  }
  return PF_Err_NONE;
}
// clang-format on
