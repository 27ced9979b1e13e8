// Declaring a deliverable's parameter list from a table of definitions.
#pragma once

#include "AE_Effect.h"

// One row of a parameter table; the fields a kind does not use stay zero.
struct ParamSpec {
  PF_ParamType kind;
  const char* name;
  double valid_min, valid_max;  // fixed kinds in their own unit, integer sliders as is
  double slider_min, slider_max;
  double dephault;    // popups: choice; checkboxes: 0 or 1; points: x percent
  double dephault_y;  // points: y percent
  int choices;        // popups: declared choice count
  const char* text;   // popup names or checkbox comment
  int precision;      // fixed sliders: decimal places
  PF_Pixel colour;    // colour default
  A_long ui_flags;
  A_short ui_width, ui_height;
};

// Choices that both builds' popups name alike.
constexpr const char* kRenderModeChoices = "Rough|Line|Wire|Flat|Phong";
constexpr const char* kGrownDirectionChoices =
    "Direction 1|Direction 2|Direction 3|Direction 4|Direction 5|Direction 6|Direction 7|"
    "ALL directions";

// Rows that both builds' own lists hold alike, each placed by the build's table.
// clang-format off
constexpr ParamSpec kInformationRow =
    {PF_Param_NO_DATA, "Information", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, PF_PUI_CONTROL, 385, 106};
constexpr ParamSpec kGeometryGroupRow =
    {PF_Param_GROUP_START, "Geometry params", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, 0, 0, 0};
constexpr ParamSpec kMaskGroupRow =
    {PF_Param_GROUP_START, "Mask of source", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, 0, 0, 0};
constexpr ParamSpec kCustomPathRow =
    {PF_Param_PATH, "Path of custom contour", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, 0, 0, 0};
constexpr ParamSpec kCompletenessRow =
    {PF_Param_FIX_SLIDER, "Completeness", 0, 100, 0, 100, 100, 0, 0, nullptr, 2, {}, 0, 0, 0};
constexpr ParamSpec kCompletenessDistanceRow =
    {PF_Param_FIX_SLIDER, "Completeness distance", 0, 100, 0, 100, 10, 0, 0, nullptr, 2, {}, 0, 0, 0};
constexpr ParamSpec kDependOnIntervalRow =
    {PF_Param_FIX_SLIDER, "Depend on interval", -1000, 1000, -100, 100, 0, 0, 0, nullptr, 2, {}, 0, 0, 0};
constexpr ParamSpec kRandomSeedRow =
    {PF_Param_SLIDER, "Random seed", 0, 1000, 0, 100, 0, 0, 0, nullptr, 0, {}, 0, 0, 0};
constexpr ParamSpec kGroupEndRow =
    {PF_Param_GROUP_END, nullptr, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, 0, 0, 0};
// clang-format on

// Where the build's list switches its inherited flag values.
struct ParamListLayout {
  int first_flagged;  // first parameter whose flags are 1
  int first_id_one;   // first parameter whose uu.id is 1
};

// 16.16 fixed point of a table value; the tables' fractions round to the
// stored integers (0.35 -> 22938, 0.1 -> 6554, 0.4 -> 26214, 0.3 -> 19661).
PF_Fixed ToFixed(double value);

// Fills one definition from its row (number is 1-based).
void FillParamDef(const ParamSpec& spec, int number, const ParamListLayout& layout,
                  PF_ParamDef* def, PF_InData* in_data);

// Adds the build's own rows, then the shared scene rows (kSceneParamRows),
// with add_param at index -1, sets num_params to one more than all the rows
// and registers the custom panel area; stops at the first failing add_param.
PF_Err DeclareParams(PF_InData* in_data, PF_OutData* out_data, const ParamSpec* own, int own_count,
                     const ParamListLayout& layout);
