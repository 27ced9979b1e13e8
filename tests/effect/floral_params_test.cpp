#include <gtest/gtest.h>

#include "effect/floral.h"
#include "entry_test_support.h"
#include "fake_host.h"
#include "param_expect.h"

extern "C" PF_Err EntryPointFunc(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*,
                                 void*);

namespace {

const char* const kModes = "Rough|Line|Wire|Flat|Phong";
const char* const kDirections =
    "Direction 1|Direction 2|Direction 3|Direction 4|Direction 5|Direction 6|Direction 7|ALL "
    "directions";

const std::vector<Expected> kFloral = {
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
    {"Position", PF_Param_POINT, 0, 0, 0, 0, Fx(50), Fx(50), nullptr},
    {"Scale", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(10), Fx(150), Fx(100), 0, nullptr},
    {"Material", PF_Param_GROUP_START, 0, 0, 0, 0, 0, 0, nullptr},
    {"Diffuse", PF_Param_COLOR, 0, 0, 0, 0, 0xC0C0C0, 0, nullptr},
    {"Specular", PF_Param_COLOR, 0, 0, 0, 0, 0xFFFFFF, 0, nullptr},
    {"Shininess", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), 0, Fx(100), Fx(15), 0, nullptr},
    {"Shin strength", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), 0, Fx(500), Fx(100), 0, nullptr},
    {"Self illumination", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), 0, Fx(100), Fx(10), 0, nullptr},
    {"Transparancy", PF_Param_FIX_SLIDER, 0, Fx(100), 0, Fx(100), 0, 0, nullptr},
    {"Glass", PF_Param_CHECKBOX, 0, 0, 0, 0, 1, 0, ""},
    {"Refraction", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-100), Fx(100), Fx(-50), 0,
     nullptr},
    {"Optical coefficient", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-100), Fx(100), Fx(75), 0,
     nullptr},
    {"Aberration", PF_Param_FIX_SLIDER, 0, Fx(1000), 0, Fx(100), Fx(20), 0, nullptr},
    {"Bump percent", PF_Param_FIX_SLIDER, Fx(-1000), Fx(1000), Fx(-10), Fx(10), Fx(2), 0, nullptr},
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

class FloralParams : public ::testing::Test {
 protected:
  void SetUp() override { AttachTestModule(); }
  PF_Err DeclareAll() {
    return EntryPointFunc(PF_Cmd_PARAMS_SETUP, &host.in_data, &host.out_data, nullptr, nullptr,
                          nullptr);
  }
  FakeHost host;
};

TEST_F(FloralParams, DeclaresTheFortySixParametersAsTabled) {
  ASSERT_EQ(DeclareAll(), PF_Err_NONE);
  EXPECT_EQ(host.out_data.num_params, 47);
  ExpectParams(host.added, kFloral, 31, 36);
  ASSERT_EQ(host.registered.size(), 1u);
  const PF_CustomUIInfo& ui = host.registered[0];
  EXPECT_EQ(ui.events, 7);
  EXPECT_EQ(ui.reserved, 0);
  EXPECT_EQ(ui.comp_ui_width | ui.comp_ui_height | ui.comp_ui_alignment | ui.layer_ui_width |
                ui.layer_ui_height | ui.layer_ui_alignment | ui.preview_ui_width |
                ui.preview_ui_height | ui.preview_ui_alignment,
            0);
}

TEST_F(FloralParams, FailingAddParamStopsAtOnce) {
  host.fail_add_param_at = 5;
  host.add_param_error = PF_Err_INVALID_INDEX;
  host.out_data.num_params = 0;
  EXPECT_EQ(DeclareAll(), PF_Err_INVALID_INDEX);
  EXPECT_EQ(host.added.size(), 4u);
  EXPECT_EQ(host.out_data.num_params, 0);
  EXPECT_TRUE(host.registered.empty());
}

}  // namespace
