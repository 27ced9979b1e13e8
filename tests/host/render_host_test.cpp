// The host's side of a render, seen from the probe module: the records and
// worlds it hands over, layer check-outs, the path suites over the layer's
// masks, and what the host notices when a render misbehaves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "probe_commands.h"
#include "qf_host/deliverable.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/world.h"

namespace {

using qfhost::HostSession;
using qfhost::HostWorld;
using qfhost::LoadedEffect;
using qfhost::MaskPath;

std::string ErrorsText(const HostSession& host) {
  std::string s;
  for (const std::string& e : host.errors()) s += "\n  " + e;
  return s;
}

::testing::AssertionResult HasErrorContaining(const HostSession& host, const std::string& text) {
  for (const std::string& e : host.errors())
    if (e.find(text) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "no host error containing \"" << text << "\"; errors:" << ErrorsText(host);
}

HostWorld Numbered(int width, int height, bool deep) {
  HostWorld w(width, height, deep);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 4; ++c)
        w.set_channel(x, y, c, static_cast<uint16_t>((x * 7 + y * 31 + c * 3) % 256));
  return w;
}

class ProbeRender : public ::testing::Test {
 protected:
  void SetUp() override {
    effect_ = std::make_unique<LoadedEffect>(host_, qfhost::Deliverable::Load(QF_PROBE_PATH));
    ASSERT_EQ(effect_->GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(effect_->ParamsSetup(), PF_Err_NONE);
    ASSERT_EQ(effect_->SequenceSetup(), PF_Err_NONE);
    auto last = reinterpret_cast<ProbeLastRenderFunc>(reinterpret_cast<void (*)()>(
        GetProcAddress(effect_->deliverable().module(), kProbeLastRenderName)));
    ASSERT_NE(last, nullptr);
    report_ = last();
  }
  void Behave(int behaviour) { effect_->mutable_param(kProbeChoiceParam).u.pd.value = behaviour; }

  HostSession host_;
  std::unique_ptr<LoadedEffect> effect_;
  const ProbeRenderReport* report_ = nullptr;
};

TEST_F(ProbeRender, HandsOverPaddedWorldsTimeAndSize) {
  for (bool deep : {false, true}) {
    SCOPED_TRACE(deep ? "16-bit" : "8-bit");
    const HostWorld source = Numbered(7, 5, deep);
    HostWorld output(7, 5, deep);
    effect_->SetLayer(0, &source);
    qfhost::FrameTime time;
    time.current_time = 240;
    time.time_step = 8;
    time.time_scale = 240;
    time.total_time = 2400;
    ASSERT_EQ(effect_->Render(output, time, PF_Quality_LO), PF_Err_NONE);
    EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);

    const PF_InData& in = report_->in_data;
    EXPECT_EQ(in.width, 7);
    EXPECT_EQ(in.height, 5);
    EXPECT_EQ(in.current_time, 240);
    EXPECT_EQ(in.time_step, 8);
    EXPECT_EQ(in.local_time_step, 8);
    EXPECT_EQ(in.time_scale, 240u);
    EXPECT_EQ(in.total_time, 2400);
    EXPECT_EQ(in.quality, PF_Quality_LO);
    EXPECT_EQ(in.num_params, kProbeParamCount);

    const A_long pixel = deep ? 8 : 4;
    for (const PF_EffectWorld* w : {&report_->input, &report_->output}) {
      EXPECT_EQ(w->width, 7);
      EXPECT_EQ(w->height, 5);
      EXPECT_GT(w->rowbytes, 7 * pixel);  // padded rows
      EXPECT_EQ((w->world_flags & PF_WorldFlag_DEEP) != 0, deep);
    }
    EXPECT_EQ(report_->input.data, source.world()->data);
    EXPECT_EQ(report_->output.data, output.world()->data);
    // The probe copied row by row, each with its own rowbytes.
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x)
        for (int c = 0; c < 4; ++c)
          ASSERT_EQ(output.channel(x, y, c), source.channel(x, y, c)) << x << "," << y;
  }
}

TEST_F(ProbeRender, LayerParametersCheckOutAsTheirWorlds) {
  const HostWorld source = Numbered(4, 4, false);
  const HostWorld layer = Numbered(9, 3, false);
  HostWorld output(4, 4, false);
  effect_->SetLayer(0, &source);
  ASSERT_EQ(effect_->Render(output, qfhost::FrameTime{}), PF_Err_NONE);
  EXPECT_EQ(report_->layer_checkout, PF_Err_NONE);
  EXPECT_EQ(report_->layer.data, nullptr);  // no layer chosen: an empty world
  EXPECT_EQ(report_->layer.width, 0);
  EXPECT_EQ(report_->layer.height, 0);

  effect_->SetLayer(kProbeLayerParam, &layer);
  ASSERT_EQ(effect_->Render(output, qfhost::FrameTime{}), PF_Err_NONE);
  EXPECT_EQ(report_->layer.data, layer.world()->data);
  EXPECT_EQ(report_->layer.width, 9);
  EXPECT_EQ(report_->layer.height, 3);
  EXPECT_EQ(report_->layer.rowbytes, layer.world()->rowbytes);
  EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);

  // A refused check-out gives no layer, and is checked in all the same.
  host_.FailCall(qfhost::HostCall::kCheckoutParam,
                 host_.CallCount(qfhost::HostCall::kCheckoutParam) + 1, 77);
  ASSERT_EQ(effect_->Render(output, qfhost::FrameTime{}), PF_Err_NONE);
  EXPECT_EQ(report_->layer_checkout, 77);
  EXPECT_EQ(report_->layer.data, nullptr);
  EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);

  EXPECT_THROW(effect_->SetLayer(kProbeChoiceParam, &layer), qfhost::HostError);
}

TEST_F(ProbeRender, PathSuitesReportTheMaskWithAbsoluteTangents) {
  MaskPath other;
  other.vertices.push_back({1, 1, 1, 1, 1, 1});
  MaskPath open;
  open.closed = false;
  open.vertices.push_back({10, 20, 5, 20, 15, 18});
  open.vertices.push_back({40, 60, 35, 61, 45, 59});
  open.vertices.push_back({80, 20, 80, 20, 80, 20});
  const PF_PathID first = effect_->AddMask(other, false);
  const PF_PathID id = effect_->AddMask(open, true);
  EXPECT_NE(first, 0u);
  EXPECT_NE(id, first);

  const HostWorld source = Numbered(100, 80, false);
  HostWorld output(100, 80, false);
  effect_->SetLayer(0, &source);
  effect_->mutable_param(kProbePathParam).u.path_d.path_id = id;
  ASSERT_EQ(effect_->Render(output, qfhost::FrameTime{}), PF_Err_NONE);
  EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);
  EXPECT_TRUE(host_.UnreleasedSuites().empty());

  EXPECT_EQ(report_->num_paths, 2);
  EXPECT_EQ(report_->first_path_id, first);
  ASSERT_TRUE(report_->path_obtained);
  EXPECT_EQ(report_->open, 1);
  EXPECT_EQ(report_->inverted, 1);
  EXPECT_EQ(report_->segments, 2);
  ASSERT_EQ(report_->vertices_read, 3);
  const PF_PathVertex& v = report_->vertices[1];
  EXPECT_EQ(v.x, 40);
  EXPECT_EQ(v.y, 60);
  EXPECT_EQ(v.tan_in_x, 35);  // absolute points, not offsets from the vertex
  EXPECT_EQ(v.tan_in_y, 61);
  EXPECT_EQ(v.tan_out_x, 45);
  EXPECT_EQ(v.tan_out_y, 59);
  EXPECT_EQ(report_->vertices[0].tan_in_x, 5);

  // Closed: one segment per vertex, and the vertex after the last is the first again.
  MaskPath closed = open;
  closed.closed = true;
  effect_->mutable_param(kProbePathParam).u.path_d.path_id = effect_->AddMask(closed, false);
  ASSERT_EQ(effect_->Render(output, qfhost::FrameTime{}), PF_Err_NONE);
  EXPECT_EQ(report_->open, 0);
  EXPECT_EQ(report_->inverted, 0);
  EXPECT_EQ(report_->segments, 3);
  ASSERT_EQ(report_->vertices_read, 4);
  EXPECT_EQ(report_->vertices[3].x, 10);
  EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);

  // Id 0, or one the layer does not have, checks out as no path.
  for (PF_PathID none : {0u, 7u}) {
    effect_->mutable_param(kProbePathParam).u.path_d.path_id = none;
    ASSERT_EQ(effect_->Render(output, qfhost::FrameTime{}), PF_Err_NONE);
    EXPECT_FALSE(report_->path_obtained);
  }
  EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);
}

TEST_F(ProbeRender, MisbehaviourIsNoticed) {
  const HostWorld source = Numbered(6, 2, true);
  HostWorld output(6, 2, true);
  effect_->SetLayer(0, &source);

  Behave(kProbeRenderOverrun);
  ASSERT_EQ(effect_->Render(output, qfhost::FrameTime{}), PF_Err_NONE);
  EXPECT_TRUE(
      HasErrorContaining(host_, "render wrote into the padding after the output world's rows"));
  host_.ClearErrors();

  Behave(kProbeRenderKeepLocked);
  ASSERT_EQ(effect_->Render(output, qfhost::FrameTime{}), PF_Err_NONE);
  EXPECT_TRUE(HasErrorContaining(host_, "render left the sequence data locked"));
  host_.ClearErrors();

  MaskPath one;
  one.vertices.push_back({1, 2, 1, 2, 1, 2});
  effect_->mutable_param(kProbePathParam).u.path_d.path_id = effect_->AddMask(one, false);
  Behave(kProbeRenderPathMisuse);
  ASSERT_EQ(effect_->Render(output, qfhost::FrameTime{}), PF_Err_NONE);
  EXPECT_TRUE(HasErrorContaining(host_, "PF_PathVertexInfo: no vertex 2 (the path has 1)"));
  EXPECT_TRUE(HasErrorContaining(host_, "render: 1 path check-out(s) not checked in"));
}

qfhost::FrameTime At24(A_long frame) {
  qfhost::FrameTime t;
  t.current_time = frame;
  t.time_step = 1;
  t.time_scale = 24;
  t.total_time = 48;
  return t;
}

qfhost::ParamTrack Track(const PF_ParamDef& def, std::vector<std::pair<double, PF_Fixed>> keys) {
  qfhost::ParamTrack track;
  for (const auto& [seconds, value] : keys) {
    qfhost::ParamKey key{seconds, def};
    key.def.u.fd.value = value;
    track.push_back(key);
  }
  return track;
}

TEST_F(ProbeRender, ParametersAreHandedOverAtTheFramesTime) {
  const HostWorld source = Numbered(8, 6, false);
  HostWorld output(8, 6, false);
  effect_->SetLayer(0, &source);
  const PF_ParamDef amount = effect_->param(kProbeAmountParam).def;
  effect_->AnimateParam(kProbeAmountParam, Track(amount, {{0.0, 0}, {1.0, 100 << 16}}));

  ASSERT_EQ(effect_->Render(output, At24(6)), PF_Err_NONE);  // 0.25 s
  EXPECT_EQ(report_->amount, 25 << 16);
  // A check-out at another time sees the value of that time: frame 7.
  EXPECT_EQ(report_->amount_next, std::llround((100 << 16) * 7 / 24.0));
  ASSERT_EQ(effect_->Render(output, At24(30)), PF_Err_NONE);  // after the last key
  EXPECT_EQ(report_->amount, 100 << 16);
  EXPECT_EQ(report_->amount_next, 100 << 16);
  EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);
  // The value the host keeps is not touched by a frame.
  EXPECT_EQ(effect_->param(kProbeAmountParam).def.u.fd.value, amount.u.fd.value);
  EXPECT_EQ(effect_->ParamAt(kProbeAmountParam, 0.5).u.fd.value, 50 << 16);

  // An empty track makes the value constant again.
  effect_->mutable_param(kProbeAmountParam).u.fd.value = 7 << 16;
  effect_->AnimateParam(kProbeAmountParam, {});
  ASSERT_EQ(effect_->Render(output, At24(6)), PF_Err_NONE);
  EXPECT_EQ(report_->amount, 7 << 16);
  EXPECT_EQ(report_->amount_next, 7 << 16);
}

TEST_F(ProbeRender, OnlyValuedParametersTakeKeys) {
  const PF_ParamDef amount = effect_->param(kProbeAmountParam).def;
  for (PF_ParamIndex index :
       {0, static_cast<int>(kProbeLayerParam), static_cast<int>(kProbePathParam)}) {
    qfhost::ParamTrack track{qfhost::ParamKey{0.0, effect_->param(index).def}};
    EXPECT_THROW(effect_->AnimateParam(index, track), qfhost::HostError) << index;
  }
  // A popup with a slider's key; keys out of order; two at one time; no such parameter.
  EXPECT_THROW(effect_->AnimateParam(kProbeChoiceParam, Track(amount, {{0.0, 1}})),
               qfhost::HostError);
  EXPECT_THROW(effect_->AnimateParam(kProbeAmountParam, Track(amount, {{1.0, 1}, {0.0, 2}})),
               qfhost::HostError);
  EXPECT_THROW(effect_->AnimateParam(kProbeAmountParam, Track(amount, {{1.0, 1}, {1.0, 2}})),
               qfhost::HostError);
  EXPECT_THROW(effect_->AnimateParam(kProbeParamCount, Track(amount, {{0.0, 1}})),
               qfhost::HostError);
}

TEST_F(ProbeRender, AnAnimatedMaskIsCheckedOutAtTheFramesTime) {
  MaskPath small;
  small.closed = false;
  small.vertices = {{10, 10, 10, 10, 20, 10}, {30, 30, 30, 20, 30, 30}};
  MaskPath large = small;
  for (qfhost::MaskVertex& v : large.vertices)
    for (double* c : {&v.x, &v.y, &v.in_x, &v.in_y, &v.out_x, &v.out_y}) *c *= 3;
  const PF_PathID id =
      effect_->AddAnimatedMask({{1.0, large, "large"}, {0.0, small, "small"}}, false);
  effect_->mutable_param(kProbePathParam).u.path_d.path_id = id;
  const HostWorld source = Numbered(100, 100, false);
  HostWorld output(100, 100, false);
  effect_->SetLayer(0, &source);

  ASSERT_EQ(effect_->Render(output, At24(12)), PF_Err_NONE);  // half way
  ASSERT_EQ(report_->vertices_read, 2);
  EXPECT_EQ(report_->vertices[1].x, 60);
  EXPECT_EQ(report_->vertices[1].tan_in_y, 40);
  EXPECT_EQ(report_->vertices[0].tan_out_x, 40);
  ASSERT_EQ(effect_->Render(output, At24(48)), PF_Err_NONE);
  EXPECT_EQ(report_->vertices[1].x, 90);
  EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);

  MaskPath three = small;
  three.vertices.push_back(three.vertices.back());
  EXPECT_THROW(effect_->AddAnimatedMask({{0.0, small, "a"}, {1.0, three, "b"}}, false),
               qfhost::HostError);
}

TEST_F(ProbeRender, AReducedFrameKeepsTheFullWidthAndScalesPointsAndMasks) {
  // 15 x 10 at half resolution: 8 x 5, the last column from a block of one.
  const HostWorld source = Numbered(8, 5, false);
  HostWorld output(8, 5, false);
  effect_->SetLayer(0, &source);
  effect_->mutable_param(kProbeWhereParam).u.td.x_value = 12 << 16;
  effect_->mutable_param(kProbeWhereParam).u.td.y_value = (7 << 16) + (1 << 15);
  MaskPath path;
  path.vertices = {{14, 8, 12, 8, 15, 9}};
  effect_->mutable_param(kProbePathParam).u.path_d.path_id = effect_->AddMask(path, false);

  ASSERT_EQ(effect_->Render(output, At24(0), PF_Quality_LO, qfhost::Downsample{2, 15, 10}),
            PF_Err_NONE);
  EXPECT_TRUE(host_.errors().empty()) << ErrorsText(host_);
  EXPECT_EQ(report_->in_data.width, 15);  // the effect's render scale is 8 / 15
  EXPECT_EQ(report_->in_data.height, 10);
  EXPECT_EQ(report_->in_data.quality, PF_Quality_LO);
  EXPECT_EQ(report_->output.width, 8);
  EXPECT_EQ(report_->where_x, 6 << 16);
  EXPECT_EQ(report_->where_y, (3 << 16) + (3 << 14));
  EXPECT_EQ(report_->vertices[0].x, 7);
  EXPECT_EQ(report_->vertices[0].tan_in_x, 6);
  EXPECT_EQ(report_->vertices[0].tan_out_y, 4.5);
  // The host's own values stay at full size, and the next full frame gets them.
  EXPECT_EQ(effect_->param(kProbeWhereParam).def.u.td.x_value, 12 << 16);
  const HostWorld full_source = Numbered(15, 10, false);
  HostWorld full_output(15, 10, false);
  effect_->SetLayer(0, &full_source);
  ASSERT_EQ(effect_->Render(full_output, At24(0)), PF_Err_NONE);
  EXPECT_EQ(report_->where_x, 12 << 16);
  EXPECT_EQ(report_->vertices[0].x, 14);
  EXPECT_EQ(report_->in_data.width, 15);

  // The layer must be the full size downsampled by the factor.
  effect_->SetLayer(0, &source);
  EXPECT_THROW(effect_->Render(output, At24(0), PF_Quality_HI, qfhost::Downsample{2, 17, 10}),
               qfhost::HostError);
  EXPECT_THROW(effect_->Render(output, At24(0), PF_Quality_HI, qfhost::Downsample{0, 8, 5}),
               qfhost::HostError);
}

TEST_F(ProbeRender, TimeScaleZeroIsNoticed) {
  const HostWorld source = Numbered(4, 4, false);
  HostWorld output(4, 4, false);
  effect_->SetLayer(0, &source);
  qfhost::FrameTime time;
  time.time_scale = 0;
  EXPECT_THROW(effect_->Render(output, time), qfhost::HostError);
}

TEST_F(ProbeRender, NeedsAnInputLayerOfTheOutputsSize) {
  HostWorld output(4, 4, false);
  EXPECT_THROW(effect_->Render(output, qfhost::FrameTime{}), qfhost::HostError);
  const HostWorld other(5, 4, false);
  effect_->SetLayer(0, &other);
  EXPECT_THROW(effect_->Render(output, qfhost::FrameTime{}), qfhost::HostError);
  const HostWorld deep(4, 4, true);
  effect_->SetLayer(0, &deep);
  EXPECT_THROW(effect_->Render(output, qfhost::FrameTime{}), qfhost::HostError);
}

}  // namespace
