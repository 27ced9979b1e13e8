// End to end: the real deliverables loaded and driven through the host library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "param_tables.h"
#include "pipl_expect.h"
#include "qf_host/deliverable.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/module_image.h"

namespace {

using qfhost::Deliverable;
using qfhost::HostCall;
using qfhost::HostSession;
using qfhost::LoadedEffect;

struct Build {
  const char* label;
  const char* path;
  const char* name;
  size_t declared;  // parameters, the input layer not counted
  const std::vector<Expected>* params;
  int first_flagged;  // the first parameter (from 1) of the run of flags 1 to the end
  int first_id_one;   // likewise of id 1
};
void PrintTo(const Build& build, std::ostream* os) { *os << build.label; }

const Build kFloral{"Floral", QF_FLORAL_PATH, "QuillFrame Floral", 46, &kFloralParams, 31, 36};
const Build kGeometry{"Geometry", QF_GEOMETRY_PATH, "QuillFrame Geometry", 50, &kGeometryParams, 35,
                      40};

std::string ErrorsText(const HostSession& host) {
  std::string s;
  for (const std::string& e : host.errors()) s += "\n  " + e;
  return s;
}

// An effect through global and parameter set-up.
struct Running {
  explicit Running(const Build& build, HostSession& host)
      : effect(host, Deliverable::Load(build.path)) {
    EXPECT_EQ(effect.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(effect.ParamsSetup(), PF_Err_NONE);
  }
  LoadedEffect effect;
};

class EachBuild : public ::testing::TestWithParam<Build> {
 protected:
  void TearDown() override {
    EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);
    EXPECT_TRUE(host_.UnreleasedSuites().empty());
  }
  HostSession host_;
};

TEST_P(EachBuild, PropertyListAndGlobalSetupAgree) {
  LoadedEffect effect(host_, Deliverable::Load(GetParam().path));
  const qfhost::PiplInfo& pipl = effect.deliverable().pipl();
  qfhost_test::ExpectEffectPipl(pipl, GetParam().name, "Morrowglints");
  std::vector<std::string> keys;
  for (const auto& p : pipl.properties) keys.push_back(p.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"kind", "name", "catg", "8664", "ePVR", "eSVR", "eVER",
                                            "eINF", "eGLO", "eMNA", "aeFL"}));

  EXPECT_EQ(effect.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(effect.my_version(), 0x00100001u);
  EXPECT_EQ(static_cast<uint32_t>(effect.out_flags()), 0x06008454u);
  EXPECT_EQ(host_.CallCount(HostCall::kGetPlatformData), 1);
  EXPECT_EQ(effect.GlobalSetdown(), PF_Err_NONE);
}

TEST_P(EachBuild, ParameterSetupDeclaresTheWholeList) {
  Running r(GetParam(), host_);
  const size_t n = GetParam().declared;
  EXPECT_EQ(host_.CallCount(HostCall::kAddParam), static_cast<int>(n));
  ASSERT_EQ(r.effect.param_count(), n + 1);
  EXPECT_EQ(r.effect.num_params(), static_cast<A_long>(n + 1));
  ASSERT_EQ(r.effect.register_ui_calls(), 1);
  const PF_CustomUIInfo& ui = r.effect.registered_ui()[0];
  EXPECT_EQ(ui.events, PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER | PF_CustomEFlag_EFFECT);
  EXPECT_EQ(ui.comp_ui_width | ui.comp_ui_height | ui.comp_ui_alignment | ui.layer_ui_width |
                ui.layer_ui_height | ui.layer_ui_alignment | ui.preview_ui_width |
                ui.preview_ui_height | ui.preview_ui_alignment | ui.reserved,
            0);

  // Every parameter as tabled, "Glass" starting the run of flags 1 and
  // "Texture reflection" the run of id 1.
  std::vector<PF_ParamDef> declared;
  for (size_t i = 1; i <= n; ++i)
    declared.push_back(r.effect.param(static_cast<PF_ParamIndex>(i)).def);
  ExpectParams(declared, *GetParam().params, GetParam().first_flagged, GetParam().first_id_one);
  EXPECT_STREQ(declared[GetParam().first_flagged - 1].name, "Glass");
  EXPECT_STREQ(declared[GetParam().first_id_one - 1].name, "Texture reflection");
}

TEST_P(EachBuild, FailingAddParamEndsSetupThere) {
  LoadedEffect effect(host_, Deliverable::Load(GetParam().path));
  host_.FailCall(HostCall::kAddParam, 5, -1234);
  EXPECT_EQ(effect.ParamsSetup(), -1234);
  EXPECT_EQ(effect.param_count(), 5u);  // input layer and the first four
  EXPECT_EQ(host_.CallCount(HostCall::kAddParam), 5);
  EXPECT_EQ(effect.register_ui_calls(), 0);
}

TEST_P(EachBuild, SequenceDataLifecycle) {
  Running r(GetParam(), host_);
  ASSERT_EQ(r.effect.SequenceSetup(), PF_Err_NONE);
  const PF_Handle first = r.effect.sequence_data();
  ASSERT_NE(first, nullptr);
  const auto state = host_.handle_state(first);
  ASSERT_TRUE(state);
  EXPECT_EQ(state->size, 4800u);
  EXPECT_EQ(state->locks, 0);
  EXPECT_EQ(r.effect.flat_sdata_size(), 4);
  std::vector<uint8_t> grey;
  for (int cell = 0; cell < 1600; ++cell) grey.push_back(static_cast<uint8_t*>(*first)[cell * 3]);

  // Re-set-up with data present keeps it.
  EXPECT_EQ(r.effect.SequenceResetup(), PF_Err_NONE);
  EXPECT_EQ(r.effect.sequence_data(), first);

  // Flatten discards the data; re-set-up builds the same relief afresh.
  EXPECT_EQ(r.effect.SequenceFlatten(), PF_Err_NONE);
  EXPECT_EQ(r.effect.sequence_data(), nullptr);
  EXPECT_TRUE(host_.handle_state(first)->disposed);
  EXPECT_EQ(r.effect.SequenceResetup(), PF_Err_NONE);
  const PF_Handle second = r.effect.sequence_data();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(host_.handle_state(second)->size, 4800u);
  for (int cell = 0; cell < 1600; ++cell)
    ASSERT_EQ(static_cast<uint8_t*>(*second)[cell * 3], grey[cell]) << "cell " << cell;

  EXPECT_EQ(r.effect.SequenceSetdown(), PF_Err_NONE);
  EXPECT_EQ(r.effect.sequence_data(), nullptr);
  EXPECT_EQ(host_.live_handle_count(), 0u);
  EXPECT_EQ(host_.handle_state(second)->locks, 0);
  EXPECT_EQ(r.effect.GlobalSetdown(), PF_Err_NONE);
}

TEST_P(EachBuild, NoHandleMeansMemoryFull) {
  Running r(GetParam(), host_);
  host_.FailCall(HostCall::kNewHandle, 1);
  host_.FailCall(HostCall::kNewHandle, 2);
  EXPECT_EQ(r.effect.SequenceSetup(), PF_Err_MEM_FULL);
  EXPECT_EQ(r.effect.sequence_data(), nullptr);
  EXPECT_EQ(r.effect.SequenceResetup(), PF_Err_MEM_FULL);
  EXPECT_EQ(r.effect.sequence_data(), nullptr);
  EXPECT_EQ(host_.live_handle_count(), 0u);
  // A later re-set-up, with memory again, recovers.
  EXPECT_EQ(r.effect.SequenceResetup(), PF_Err_NONE);
  EXPECT_NE(r.effect.sequence_data(), nullptr);
  EXPECT_EQ(r.effect.SequenceSetdown(), PF_Err_NONE);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, EachBuild, ::testing::Values(kFloral, kGeometry),
                         [](const auto& info) { return std::string(info.param.label); });

class ParamEnabling : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);
    EXPECT_TRUE(host_.UnreleasedSuites().empty());
  }
  static bool Disabled(const PF_ParamDef& d) {
    return (d.ui_flags & PF_PUI_DISABLED) && (d.flags & PF_ParamFlag_COLLAPSE_TWIRLY);
  }
  static bool Enabled(const PF_ParamDef& d) {
    return !(d.ui_flags & PF_PUI_DISABLED) && !(d.flags & PF_ParamFlag_COLLAPSE_TWIRLY);
  }
  HostSession host_;
};

TEST_F(ParamEnabling, FloralKindSwitchesIterationsAndTriangles) {
  Running r(kFloral, host_);
  ASSERT_EQ(r.effect.UpdateParamsUI(), PF_Err_NONE);
  ASSERT_EQ(host_.param_ui_updates().size(), 2u);
  EXPECT_EQ(host_.param_ui_updates()[0].index, 5);
  EXPECT_EQ(host_.param_ui_updates()[1].index, 6);
  // Only the two bits change; the rest of each definition is the host's copy.
  EXPECT_STREQ(host_.param_ui_updates()[0].def.name, "Max iterations");
  EXPECT_EQ(host_.param_ui_updates()[1].def.u.sd.dephault, 15);
  EXPECT_TRUE(Enabled(r.effect.param(5).def));  // kind 1
  EXPECT_TRUE(Disabled(r.effect.param(6).def));

  const struct {
    int kind;
    bool iterations_on, triangles_on;
  } cases[] = {{2, false, true}, {3, true, true}, {4, true, true}, {1, true, false}};
  for (const auto& c : cases) {
    r.effect.mutable_param(4).u.pd.value = c.kind;
    ASSERT_EQ(r.effect.UserChangedParam(4), PF_Err_NONE);
    EXPECT_TRUE(c.iterations_on ? Enabled(r.effect.param(5).def) : Disabled(r.effect.param(5).def))
        << c.kind;
    EXPECT_TRUE(c.triangles_on ? Enabled(r.effect.param(6).def) : Disabled(r.effect.param(6).def))
        << c.kind;
  }
  EXPECT_EQ(host_.param_ui_updates().size(), 10u);

  const auto& use = host_.suite_uses().at({kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2});
  EXPECT_GE(use.acquired, 5);
  EXPECT_EQ(use.acquired, use.released);

  // Another parameter changes nothing; nor does a kind change without the suite.
  ASSERT_EQ(r.effect.UserChangedParam(5), PF_Err_NONE);
  host_.WithdrawSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2);
  r.effect.mutable_param(4).u.pd.value = 2;
  ASSERT_EQ(r.effect.UserChangedParam(4), PF_Err_NONE);
  EXPECT_EQ(host_.param_ui_updates().size(), 10u);
  EXPECT_TRUE(Disabled(r.effect.param(6).def));
}

TEST_F(ParamEnabling, GeometryNeverTouchesTheHost) {
  Running r(kGeometry, host_);
  ASSERT_EQ(r.effect.UpdateParamsUI(), PF_Err_NONE);
  r.effect.mutable_param(4).u.pd.value = 1;
  ASSERT_EQ(r.effect.UserChangedParam(4), PF_Err_NONE);
  EXPECT_TRUE(host_.param_ui_updates().empty());
  EXPECT_EQ(host_.CallCount(HostCall::kAcquireSuite), 0);
}

// Both deliverables in one process: the same code names and the same kind of
// globals, each copy bound to itself.
TEST(BothDeliverables, KeepSeparateState) {
  HostSession host;
  LoadedEffect floral(host, Deliverable::Load(QF_FLORAL_PATH));
  LoadedEffect geometry(host, Deliverable::Load(QF_GEOMETRY_PATH));
  EXPECT_NE(floral.deliverable().module(), geometry.deliverable().module());
  EXPECT_NE(floral.deliverable().entry(), geometry.deliverable().entry());

  // Interleaved commands, each answered by its own build.
  ASSERT_EQ(floral.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(geometry.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(geometry.ParamsSetup(), PF_Err_NONE);
  ASSERT_EQ(floral.ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(floral.param_count(), 47u);
  EXPECT_EQ(geometry.param_count(), 51u);
  EXPECT_STREQ(floral.param(2).def.name, "Render mode");
  EXPECT_STREQ(geometry.param(2).def.name, "Rendering mode");
  EXPECT_STREQ(floral.param(9).def.name, "Turn");
  EXPECT_EQ(geometry.param(9).def.param_type, PF_Param_GROUP_END);
  EXPECT_STREQ(geometry.param(19).def.name, "Chaos");
  EXPECT_STREQ(geometry.param(26).def.name, "Position");
  EXPECT_STREQ(floral.param(4).def.u.pd.namesptr, "Floral 1|Floral 2|Floral 3");
  EXPECT_STREQ(geometry.param(4).def.u.pd.namesptr, "Geometric 1|Geometric 2|Geometric 3");

  ASSERT_EQ(floral.SequenceSetup(), PF_Err_NONE);
  ASSERT_EQ(geometry.SequenceSetup(), PF_Err_NONE);
  ASSERT_NE(floral.sequence_data(), geometry.sequence_data());
  EXPECT_EQ(host.live_handle_count(), 2u);

  // Only the Floral build reacts to a kind change.
  geometry.mutable_param(4).u.pd.value = 2;
  floral.mutable_param(4).u.pd.value = 2;
  ASSERT_EQ(geometry.UserChangedParam(4), PF_Err_NONE);
  EXPECT_TRUE(host.param_ui_updates().empty());
  ASSERT_EQ(floral.UserChangedParam(4), PF_Err_NONE);
  ASSERT_EQ(host.param_ui_updates().size(), 2u);
  EXPECT_EQ(host.param_ui_updates()[0].effect, &floral);

  // Flattening one leaves the other's data alone.
  const PF_Handle kept = geometry.sequence_data();
  ASSERT_EQ(floral.SequenceFlatten(), PF_Err_NONE);
  EXPECT_EQ(floral.sequence_data(), nullptr);
  EXPECT_EQ(geometry.sequence_data(), kept);
  EXPECT_FALSE(host.handle_state(kept)->disposed);
  ASSERT_EQ(geometry.SequenceSetdown(), PF_Err_NONE);
  EXPECT_EQ(host.live_handle_count(), 0u);

  EXPECT_EQ(floral.GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(geometry.GlobalSetdown(), PF_Err_NONE);
  EXPECT_TRUE(host.errors().empty()) << ErrorsText(host);
  EXPECT_TRUE(host.UnreleasedSuites().empty());
}

// The same for a Windows module: its headers and each section's raw data.
TEST(ModuleImage, PeSectionsLieWithinTheFile) {
  std::string pe(0x500, '\0');
  const auto put = [&](size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) pe[at + i] = static_cast<char>(v >> 8 * i);
  };
  pe[0] = 'M';
  pe[1] = 'Z';
  put(0x3C, 0x80, 4);  // the PE header
  pe.replace(0x80, 4, std::string("PE\0\0", 4));
  put(0x86, 2, 2);     // two sections
  put(0x94, 0xF0, 2);  // an optional header of 240 bytes: the table at 0x188
  put(0x188 + 16, 0x200, 4);
  put(0x188 + 20, 0x200, 4);
  put(0x188 + 40 + 16, 0x100, 4);
  put(0x188 + 40 + 20, 0x400, 4);
  const auto problem = [&](size_t cut) {
    return qfhost::ModuleImageProblem(reinterpret_cast<const uint8_t*>(pe.data()), cut);
  };
  EXPECT_EQ(problem(0x500), "");
  EXPECT_EQ(problem(0x4FF),
            "its section 1 (256 bytes from byte 1024) lies beyond the end of the "
            "1279-byte file");
  EXPECT_EQ(problem(0x3FF),
            "its section 0 (512 bytes from byte 512) lies beyond the end of the "
            "1023-byte file");
  EXPECT_EQ(problem(0x1D0),
            "its section table (80 bytes from byte 392) lies beyond the end of "
            "the 464-byte file");
  EXPECT_EQ(problem(0x90),
            "its PE header (24 bytes from byte 128) lies beyond the end of the "
            "144-byte file");
  // Hostile sizes do not wrap around.
  put(0x188 + 16, 0xFFFFFFFF, 4);
  put(0x188 + 20, 0xFFFFFFFF, 4);
  EXPECT_EQ(problem(0x500),
            "its section 0 (4294967295 bytes from byte 4294967295) lies beyond "
            "the end of the 1280-byte file");
  // Neither ELF nor PE: left to the loader.
  EXPECT_EQ(qfhost::ModuleImageProblem(reinterpret_cast<const uint8_t*>("just text"), 9), "");
}

}  // namespace
