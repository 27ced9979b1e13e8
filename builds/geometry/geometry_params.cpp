// The Geometry build's 50 parameters, with the "Chaos" group: its own 25 rows,
// then the scene rows both builds share.
#include "builds/geometry/geometry.h"
#include "effect/param_setup.h"
#include "effect/scene_params.h"

// The parameter rows keep one row a line, aligned as a table.
// clang-format off

namespace {

// kind, name, valid min/max, slider min/max, default, default y, choices, text,
// precision, colour, ui_flags, ui_width, ui_height; the scene rows follow.
const ParamSpec kGeometryParams[kGeometryParamCount - kSceneRowCount] = {
    kInformationRow,
    {PF_Param_POPUP, "Rendering mode", 0, 0, 0, 0, 5, 0, 5, kRenderModeChoices, 0, {}, 0, 0, 0},
    kGeometryGroupRow,
    {PF_Param_POPUP, "QuillFrame kind", 0, 0, 0, 0, 3, 0, 4, "Geometric 1|Geometric 2|Geometric 3", 0, {}, 0, 0, 0},
    {PF_Param_SLIDER, "Max iterations", 1, 8, 2, 5, 3, 0, 0, nullptr, 0, {}, 0, 0, 0},
    {PF_Param_SLIDER, "Max triangles", 0, 10000, 1, 10, 3, 0, 0, nullptr, 0, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Width", 0, 100, 0.1, 1, 0.3, 0, 0, nullptr, 3, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Length", 0, 1000, 0, 30, 15, 0, 0, nullptr, 2, {}, 0, 0, 0},
    kGroupEndRow,
    kMaskGroupRow,
    {PF_Param_POPUP, "Mask kind", 0, 0, 0, 0, 5, 0, 8,
     "Bottom|Top|Top and bottom|Perimeter|U-like|Window|Custom", 0, {}, 0, 0, 0},
    kCustomPathRow,
    {PF_Param_POPUP, "Grown direction", 0, 0, 0, 0, 1, 0, 9, kGrownDirectionChoices, 0, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Density", 1, 1000, 10, 250, 100, 0, 0, nullptr, 2, {}, 0, 0, 0},
    kCompletenessRow,
    kCompletenessDistanceRow,
    kDependOnIntervalRow,
    kGroupEndRow,
    {PF_Param_GROUP_START, "Chaos", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, 0, 0, 0},
    kRandomSeedRow,
    {PF_Param_FIX_SLIDER, "Dispersion", 0, 1000, 0, 3, 0.25, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Lose initial direction", 0, 100, 10, 90, 15, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Proportion lenght", -1000, 1000, -100, 100, -10, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Proportion width", -1000, 1000, -100, 100, -10, 0, 0, nullptr, 2, {}, 0, 0, 0},
    kGroupEndRow,
};

constexpr ParamListLayout kGeometryLayout = {35, 40};

}  // namespace

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*) {
  return DeclareParams(in_data, out_data, kGeometryParams, kGeometryParamCount - kSceneRowCount,
                       kGeometryLayout);
}
// clang-format on
