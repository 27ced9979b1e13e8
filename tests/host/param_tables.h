// The parameters each build declares, row by row, as ExpectParams checks them.
#pragma once

#include <vector>

#include "param_expect.h"

inline const char* const kModes = "Rough|Line|Wire|Flat|Phong";
inline const char* const kDirections =
    "Direction 1|Direction 2|Direction 3|Direction 4|Direction 5|Direction 6|Direction 7|ALL "
    "directions";

inline const std::vector<Expected> kFloralParams = WithSceneRows({
    {"Information", PF_Param_NO_DATA, 0, 0, 0, 0, 0, 0, nullptr},
    {"Render mode", PF_Param_POPUP, 0, 0, 0, 0, 5, 5, kModes},
    {"Geometry params", PF_Param_GROUP_START, 0, 0, 0, 0, 0, 0, nullptr},
    {"QuillFrame kind", PF_Param_POPUP, 0, 0, 0, 0, 1, 4, "Floral 1|Floral 2|Floral 3"},
    {"Max iterations", PF_Param_SLIDER, 1, 100, 2, 5, 3, 0, nullptr},
    {"Max triangles", PF_Param_SLIDER, 5, 1000, 10, 40, 15, 0, nullptr},
    {"Width", PF_Param_FIX_SLIDER, 0, Fx(10), 6554, Fx(1), 22938, 3, nullptr},
    {"Length", PF_Param_FIX_SLIDER, 0, Fx(1000), 0, Fx(100), Fx(15), 0, nullptr},
    {"Turn", PF_Param_FIX_SLIDER, 0, Fx(1000), Fx(90), Fx(360), Fx(270), 0, nullptr},
    {nullptr, PF_Param_GROUP_END, 0, 0, 0, 0, 0, 0, nullptr},
    {"Mask of source", PF_Param_GROUP_START, 0, 0, 0, 0, 0, 0, nullptr},
    {"Mask kind", PF_Param_POPUP, 0, 0, 0, 0, 5, 8,
     "Bottom|Top|Top and bottom|Perimeter|U-like|Window|Custom path"},
    {"Path of custom contour", PF_Param_PATH, 0, 0, 0, 0, 0, 0, nullptr},
    {"Grown direction", PF_Param_POPUP, 0, 0, 0, 0, 2, 9, kDirections},
    {"Density", PF_Param_FIX_SLIDER, Fx(1), Fx(1000), Fx(10), Fx(400), Fx(230), 0, nullptr},
    {"Completeness", PF_Param_FIX_SLIDER, 0, Fx(100), 0, Fx(100), Fx(100), 0, nullptr},
    {"Completeness distance", PF_Param_FIX_SLIDER, 0, Fx(100), 0, Fx(100), Fx(10), 0, nullptr},
    {"Depend on interval", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-100), Fx(100), 0, 0,
     nullptr},
    {nullptr, PF_Param_GROUP_END, 0, 0, 0, 0, 0, 0, nullptr},
    {"Random seed", PF_Param_SLIDER, 0, 1000, 0, 100, 0, 0, nullptr},
    {"Dispersion", PF_Param_FIX_SLIDER, 0, Fx(1000), 0, Fx(3), 26214, 0, nullptr},
});

inline const std::vector<Expected> kGeometryParams = WithSceneRows({
    {"Information", PF_Param_NO_DATA, 0, 0, 0, 0, 0, 0, nullptr},
    {"Rendering mode", PF_Param_POPUP, 0, 0, 0, 0, 5, 5, "Rough|Line|Wire|Flat|Phong"},
    {"Geometry params", PF_Param_GROUP_START, 0, 0, 0, 0, 0, 0, nullptr},
    {"QuillFrame kind", PF_Param_POPUP, 0, 0, 0, 0, 3, 4, "Geometric 1|Geometric 2|Geometric 3"},
    {"Max iterations", PF_Param_SLIDER, 1, 8, 2, 5, 3, 0, nullptr},
    {"Max triangles", PF_Param_SLIDER, 0, 10000, 1, 10, 3, 0, nullptr},
    {"Width", PF_Param_FIX_SLIDER, 0, Fx(100), 6554, Fx(1), 19661, 3, nullptr},
    {"Length", PF_Param_FIX_SLIDER, 0, Fx(1000), 0, Fx(30), Fx(15), 0, nullptr},
    {nullptr, PF_Param_GROUP_END, 0, 0, 0, 0, 0, 0, nullptr},
    {"Mask of source", PF_Param_GROUP_START, 0, 0, 0, 0, 0, 0, nullptr},
    {"Mask kind", PF_Param_POPUP, 0, 0, 0, 0, 5, 8,
     "Bottom|Top|Top and bottom|Perimeter|U-like|Window|Custom"},
    {"Path of custom contour", PF_Param_PATH, 0, 0, 0, 0, 0, 0, nullptr},
    {"Grown direction", PF_Param_POPUP, 0, 0, 0, 0, 1, 9, kDirections},
    {"Density", PF_Param_FIX_SLIDER, Fx(1), Fx(1000), Fx(10), Fx(250), Fx(100), 0, nullptr},
    {"Completeness", PF_Param_FIX_SLIDER, 0, Fx(100), 0, Fx(100), Fx(100), 0, nullptr},
    {"Completeness distance", PF_Param_FIX_SLIDER, 0, Fx(100), 0, Fx(100), Fx(10), 0, nullptr},
    {"Depend on interval", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-100), Fx(100), 0, 0,
     nullptr},
    {nullptr, PF_Param_GROUP_END, 0, 0, 0, 0, 0, 0, nullptr},
    {"Chaos", PF_Param_GROUP_START, 0, 0, 0, 0, 0, 0, nullptr},
    {"Random seed", PF_Param_SLIDER, 0, 1000, 0, 100, 0, 0, nullptr},
    {"Dispersion", PF_Param_FIX_SLIDER, 0, Fx(1000), 0, Fx(3), 16384, 0, nullptr},
    {"Lose initial direction", PF_Param_FIX_SLIDER, 0, Fx(100), Fx(10), Fx(90), Fx(15), 0, nullptr},
    {"Proportion lenght", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-100), Fx(100), Fx(-10), 0,
     nullptr},
    {"Proportion width", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-100), Fx(100), Fx(-10), 0,
     nullptr},
    {nullptr, PF_Param_GROUP_END, 0, 0, 0, 0, 0, 0, nullptr},
});
