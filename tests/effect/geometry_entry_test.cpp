#include <gtest/gtest.h>

#include <string>

#include "builds/geometry/geometry.h"
#include "entry_test_support.h"
#include "fake_host.h"
#include "param_expect.h"

extern "C" PF_Err EntryPointFunc(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*,
                                 void*);

namespace {

const char* const kDirections =
    "Direction 1|Direction 2|Direction 3|Direction 4|Direction 5|Direction 6|Direction 7|ALL "
    "directions";

const std::vector<Expected> kGeometry = {
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

class GeometryEntry : public ::testing::Test {
 protected:
  void SetUp() override { AttachTestModule(); }
  PF_Err Run(PF_Cmd cmd, PF_ParamDef** params = nullptr, void* extra = nullptr) {
    return EntryPointFunc(cmd, &host.in_data, &host.out_data, params, nullptr, extra);
  }
  FakeHost host;
};

TEST_F(GeometryEntry, DeclaresTheFiftyParametersAsTabled) {
  ASSERT_EQ(Run(PF_Cmd_PARAMS_SETUP), PF_Err_NONE);
  EXPECT_EQ(host.out_data.num_params, 51);
  ExpectParams(host.added, kGeometry, 35, 40);
  ASSERT_EQ(host.registered.size(), 1u);
  EXPECT_EQ(host.registered[0].events, 7);
}

TEST_F(GeometryEntry, ParameterChangesMakeNoHostCall) {
  PF_UserChangedParamExtra extra = {4};
  EXPECT_EQ(Run(PF_Cmd_USER_CHANGED_PARAM, nullptr, &extra), PF_Err_NONE);
  EXPECT_EQ(Run(PF_Cmd_UPDATE_PARAMS_UI), PF_Err_NONE);
  EXPECT_TRUE(host.updates.empty());
  EXPECT_TRUE(host.suites_held.empty());
}

TEST_F(GeometryEntry, GlobalSetupCutsTheShorterShippedName) {
  ASSERT_EQ(Run(PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
  EXPECT_EQ(host.out_data.my_version, 0x00100001u);
  EXPECT_EQ(host.out_data.out_flags, 0x06008454);
  char path[1024];
  DWORD length = GetModuleFileNameA(ModuleInstance, path, sizeof(path));
  ASSERT_GT(length, 16u);
  EXPECT_EQ(std::string(PluginFolder), std::string(path, length - 16));
}

TEST_F(GeometryEntry, SequenceDataLivesLikeTheFloralOne) {
  ASSERT_EQ(Run(PF_Cmd_SEQUENCE_SETUP), PF_Err_NONE);
  PF_Handle handle = host.out_data.sequence_data;
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(host.handles[handle].size, 4800u);
  host.in_data.sequence_data = handle;
  EXPECT_EQ(Run(PF_Cmd_SEQUENCE_SETDOWN), PF_Err_NONE);
  EXPECT_TRUE(host.handles[handle].disposed);
  EXPECT_EQ(host.host_errors, 0);
}

}  // namespace
