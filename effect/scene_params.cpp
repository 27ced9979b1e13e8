#include "effect/scene_params.h"

// The parameter rows keep one row a line, aligned as a table.
// clang-format off

namespace {

constexpr PF_Pixel kGrey = {0, 192, 192, 192};
constexpr PF_Pixel kWhite = {0, 255, 255, 255};

}  // namespace

// kind, name, valid min/max, slider min/max, default, default y, choices, text,
// precision, colour, ui_flags, ui_width, ui_height
const ParamSpec kSceneParamRows[kSceneRowCount] = {
    {PF_Param_POINT, "Position", 0, 0, 0, 0, 50, 50, 0, nullptr, 0, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Scale", -1000, 1000, 10, 150, 100, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_GROUP_START, "Material", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, 0, 0, 0},
    {PF_Param_COLOR, "Diffuse", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, kGrey, 0, 0, 0},
    {PF_Param_COLOR, "Specular", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, kWhite, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Shininess", -1000, 1000, 0, 100, 15, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Shin strength", -1000, 1000, 0, 500, 100, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Self illumination", -1000, 1000, 0, 100, 10, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Transparancy", 0, 100, 0, 100, 0, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_CHECKBOX, "Glass", 0, 0, 0, 0, 1, 0, 0, "", 0, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Refraction", -1000, 1000, -100, 100, -50, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Optical coefficient", -1000, 1000, -100, 100, 75, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Aberration", 0, 1000, 0, 100, 20, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Bump percent", -1000, 1000, -10, 10, 2, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_LAYER, "Texture reflection", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Reflection percent", -1000, 1000, 0, 100, 100, 0, 0, nullptr, 2, {}, 0, 0, 0},
    kGroupEndRow,
    {PF_Param_GROUP_START, "Light", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Multiply", -1000, 1000, 0, 150, 100, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_COLOR, "Light color", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, kWhite, 0, 0, 0},
    {PF_Param_ANGLE, "Rotate UV", 0, 0, 0, 0, 0, 0, 0, nullptr, 0, {}, 0, 0, 0},
    {PF_Param_FIX_SLIDER, "Rotate WV", -10000, 10000, 0, 180, 45, 0, 0, nullptr, 2, {}, 0, 0, 0},
    {PF_Param_CHECKBOX, "Oppositing light", 0, 0, 0, 0, 1, 0, 0, "", 0, {}, 0, 0, 0},
    kGroupEndRow,
    {PF_Param_CHECKBOX, "Cut alpha", 0, 0, 0, 0, 0, 0, 0, "", 0, {}, 0, 0, 0},
};
// clang-format on
