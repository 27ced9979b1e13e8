// Field-by-field check of a declared parameter list against expected rows.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AE_Effect.h"

// One expected parameter. Numbers are the raw stored values: fixed-point
// kinds in 16.16 (use Fx), integer sliders plain, popups the default choice
// with its count in `extra`, checkboxes 0/1, colours 0xRRGGBB, points the
// default x and y percent in 16.16.
struct Expected {
  const char* name;
  PF_ParamType kind;
  long vmin, vmax, smin, smax, dephault;
  long extra;        // popup choice count, point y default, fixed precision
  const char* text;  // popup names or checkbox comment
};

constexpr long Fx(double v) { return static_cast<long>(v * 65536.0 + (v >= 0 ? 0.5 : -0.5)); }

// The rows both builds' lists end with, from "Position" to "Cut alpha",
// appended to a build's own rows.
inline std::vector<Expected> WithSceneRows(std::vector<Expected> rows) {
  const std::vector<Expected> scene = {
      {"Position", PF_Param_POINT, 0, 0, 0, 0, Fx(50), Fx(50), nullptr},
      {"Scale", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(10), Fx(150), Fx(100), 0, nullptr},
      {"Material", PF_Param_GROUP_START, 0, 0, 0, 0, 0, 0, nullptr},
      {"Diffuse", PF_Param_COLOR, 0, 0, 0, 0, 0xC0C0C0, 0, nullptr},
      {"Specular", PF_Param_COLOR, 0, 0, 0, 0, 0xFFFFFF, 0, nullptr},
      {"Shininess", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), 0, Fx(100), Fx(15), 0, nullptr},
      {"Shin strength", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), 0, Fx(500), Fx(100), 0, nullptr},
      {"Self illumination", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), 0, Fx(100), Fx(10), 0,
       nullptr},
      {"Transparancy", PF_Param_FIX_SLIDER, 0, Fx(100), 0, Fx(100), 0, 0, nullptr},
      {"Glass", PF_Param_CHECKBOX, 0, 0, 0, 0, 1, 0, ""},
      {"Refraction", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-100), Fx(100), Fx(-50), 0,
       nullptr},
      {"Optical coefficient", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-100), Fx(100), Fx(75),
       0, nullptr},
      {"Aberration", PF_Param_FIX_SLIDER, 0, Fx(1000), 0, Fx(100), Fx(20), 0, nullptr},
      {"Bump percent", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-10), Fx(10), Fx(2), 0,
       nullptr},
      {"Texture reflection", PF_Param_LAYER, 0, 0, 0, 0, 0, 0, nullptr},
      {"Reflection percent", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), 0, Fx(100), Fx(100), 0,
       nullptr},
      {nullptr, PF_Param_GROUP_END, 0, 0, 0, 0, 0, 0, nullptr},
      {"Light", PF_Param_GROUP_START, 0, 0, 0, 0, 0, 0, nullptr},
      {"Multiply", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), 0, Fx(150), Fx(100), 0, nullptr},
      {"Light color", PF_Param_COLOR, 0, 0, 0, 0, 0xFFFFFF, 0, nullptr},
      {"Rotate UV", PF_Param_ANGLE, 0, 0, 0, 0, 0, 0, nullptr},
      {"Rotate WV", PF_Param_FIX_SLIDER, Fx(-10000), Fx(10000), 0, Fx(180), Fx(45), 0, nullptr},
      {"Oppositing light", PF_Param_CHECKBOX, 0, 0, 0, 0, 1, 0, ""},
      {nullptr, PF_Param_GROUP_END, 0, 0, 0, 0, 0, 0, nullptr},
      {"Cut alpha", PF_Param_CHECKBOX, 0, 0, 0, 0, 0, 0, ""},
  };
  rows.insert(rows.end(), scene.begin(), scene.end());
  return rows;
}

// The ranges, default and value that integer and fixed sliders share.
template <typename SliderDef>
void ExpectSlider(const SliderDef& slider, const Expected& e) {
  EXPECT_EQ(slider.valid_min, e.vmin);
  EXPECT_EQ(slider.valid_max, e.vmax);
  EXPECT_EQ(slider.slider_min, e.smin);
  EXPECT_EQ(slider.slider_max, e.smax);
  EXPECT_EQ(slider.dephault, e.dephault);
  EXPECT_EQ(slider.value, e.dephault);
  EXPECT_STREQ(slider.value_str, "");
}

inline void ExpectParams(const std::vector<PF_ParamDef>& defs, const std::vector<Expected>& rows,
                         int first_flagged, int first_id_one) {
  ASSERT_EQ(defs.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const PF_ParamDef& d = defs[i];
    const Expected& e = rows[i];
    const int number = static_cast<int>(i) + 1;
    SCOPED_TRACE("parameter " + std::to_string(number) + " " + (e.name ? e.name : "(group end)"));
    EXPECT_EQ(d.param_type, e.kind);
    EXPECT_STREQ(d.name, e.name ? e.name : "");
    EXPECT_EQ(d.flags, number >= first_flagged ? 1 : 0);
    EXPECT_EQ(d.uu.id, number >= first_id_one ? 1 : 0);
    if (number == 1) {
      EXPECT_EQ(d.ui_flags, PF_PUI_CONTROL);
      EXPECT_EQ(d.ui_width, 385);
      EXPECT_EQ(d.ui_height, 106);
    } else {
      EXPECT_EQ(d.ui_flags, 0);
      EXPECT_EQ(d.ui_width, 0);
      EXPECT_EQ(d.ui_height, 0);
    }
    switch (e.kind) {
      case PF_Param_SLIDER:
        ExpectSlider(d.u.sd, e);
        EXPECT_STREQ(d.u.sd.value_desc, "");
        break;
      case PF_Param_FIX_SLIDER:
        ExpectSlider(d.u.fd, e);
        EXPECT_EQ(d.u.fd.precision, e.extra ? e.extra : 2);
        EXPECT_EQ(d.u.fd.display_flags, 0);
        break;
      case PF_Param_POPUP:
        EXPECT_EQ(d.u.pd.value, e.dephault);
        EXPECT_EQ(d.u.pd.dephault, e.dephault);
        EXPECT_EQ(d.u.pd.num_choices, e.extra);
        ASSERT_NE(d.u.pd.namesptr, nullptr);
        EXPECT_STREQ(d.u.pd.namesptr, e.text);
        break;
      case PF_Param_CHECKBOX:
        EXPECT_EQ(d.u.bd.value, e.dephault);
        EXPECT_EQ(d.u.bd.dephault, e.dephault);
        ASSERT_NE(d.u.bd.nameptr, nullptr);
        EXPECT_STREQ(d.u.bd.nameptr, "");
        break;
      case PF_Param_COLOR: {
        const PF_Pixel want = {0, static_cast<A_u_char>(e.dephault >> 16),
                               static_cast<A_u_char>(e.dephault >> 8),
                               static_cast<A_u_char>(e.dephault)};
        EXPECT_EQ(std::memcmp(&d.u.cd.value, &want, sizeof(want)), 0);
        EXPECT_EQ(std::memcmp(&d.u.cd.dephault, &want, sizeof(want)), 0);
        break;
      }
      case PF_Param_POINT:
        EXPECT_EQ(d.u.td.x_dephault, e.dephault);
        EXPECT_EQ(d.u.td.y_dephault, e.extra);
        EXPECT_EQ(d.u.td.x_value, e.dephault);
        EXPECT_EQ(d.u.td.y_value, e.extra);
        EXPECT_EQ(d.u.td.restrict_bounds, 0);
        break;
      case PF_Param_ANGLE:
        EXPECT_EQ(d.u.ad.value, 0);
        EXPECT_EQ(d.u.ad.dephault, 0);
        EXPECT_EQ(d.u.ad.valid_min, 0);
        EXPECT_EQ(d.u.ad.valid_max, 0);
        break;
      default: {
        // Layer, path, no-data and group records carry nothing at all.
        PF_ParamDefUnion zero;
        std::memset(&zero, 0, sizeof(zero));
        EXPECT_EQ(std::memcmp(&d.u, &zero, sizeof(zero)), 0);
      }
    }
  }
}
