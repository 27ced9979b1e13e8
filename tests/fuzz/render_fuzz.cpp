// One render of either deliverable, in process through the host library, with
// every declared parameter's value decoded from the input: its default, a
// value in its range, a bound, or anything its field can hold, as a host may
// deliver it. The frame is 1 to 96 pixels a side at 8 or 16 bits, with an optional
// reflection layer and an optional mask whose vertices may be huge, infinite
// or NaN. The host's own checks (row padding of every world, check-outs,
// locked handles) and a clean end (every suite released, every handle
// disposed) must hold whatever the plug-in answers.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "qf_host/deliverable.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/mask.h"
#include "qf_host/param_values.h"
#include "qf_host/world.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "render fuzz: %s\n", what.c_str());
  std::abort();
}

// A frame side.
int Side(FuzzedDataProvider& in) { return in.ConsumeIntegralInRange(1, 96); }

// A 32-bit value as a host may hand it over for a field whose valid range is
// [lo, hi]: in range, at a bound, just outside, or any value at all.
int32_t Value(FuzzedDataProvider& in, int32_t lo, int32_t hi, int32_t current) {
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
      return current;
    case 1:
      return in.ConsumeIntegralInRange(std::min(lo, hi), std::max(lo, hi));
    case 2:
      return lo;
    case 3:
      return hi;
    case 4:
      return in.ConsumeBool() ? (lo == INT32_MIN ? lo : lo - 1) : (hi == INT32_MAX ? hi : hi + 1);
    default:
      return in.ConsumeIntegral<int32_t>();
  }
}

// A mask coordinate near a frame of `extent` pixels, or one no frame has.
double Coordinate(FuzzedDataProvider& in, int extent) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return std::numeric_limits<double>::quiet_NaN();
    case 1:
      return std::numeric_limits<double>::infinity();
    case 2:
      return -std::numeric_limits<double>::infinity();
    case 3:
      return in.ConsumeBool() ? 1e30 : -1e30;
    case 4:
      return in.ConsumeFloatingPoint<double>();
    default:
      return in.ConsumeFloatingPointInRange(-1.0 * extent, 2.0 * extent);
  }
}

qfhost::MaskPath Mask(FuzzedDataProvider& in, int width, int height) {
  qfhost::MaskPath path;
  path.closed = in.ConsumeBool();
  const int count = in.ConsumeIntegralInRange(1, 12);
  for (int i = 0; i < count; ++i) {
    qfhost::MaskVertex v;
    v.x = v.in_x = v.out_x = Coordinate(in, width);
    v.y = v.in_y = v.out_y = Coordinate(in, height);
    if (in.ConsumeBool()) {  // a curved vertex
      v.in_x = Coordinate(in, width);
      v.in_y = Coordinate(in, height);
      v.out_x = Coordinate(in, width);
      v.out_y = Coordinate(in, height);
    }
    path.vertices.push_back(v);
  }
  return path;
}

void DecodeParam(FuzzedDataProvider& in, PF_ParamDef& def, int width, int height) {
  PF_ParamDefUnion& u = def.u;
  switch (def.param_type) {
    case PF_Param_SLIDER:
      u.sd.value = Value(in, u.sd.valid_min, u.sd.valid_max, u.sd.value);
      break;
    case PF_Param_FIX_SLIDER:
      u.fd.value = Value(in, u.fd.valid_min, u.fd.valid_max, u.fd.value);
      break;
    case PF_Param_ANGLE:
      u.ad.value = Value(in, u.ad.valid_min, u.ad.valid_max, u.ad.value);
      break;
    case PF_Param_CHECKBOX:
      u.bd.value = Value(in, 0, 1, u.bd.value);
      break;
    case PF_Param_COLOR:
      if (in.ConsumeBool()) {
        u.cd.value.alpha = in.ConsumeIntegral<uint8_t>();
        u.cd.value.red = in.ConsumeIntegral<uint8_t>();
        u.cd.value.green = in.ConsumeIntegral<uint8_t>();
        u.cd.value.blue = in.ConsumeIntegral<uint8_t>();
      }
      break;
    case PF_Param_POINT:  // layer pixels in 16.16
      u.td.x_value = Value(in, 0, width << 16, u.td.x_value);
      u.td.y_value = Value(in, 0, height << 16, u.td.y_value);
      break;
    case PF_Param_POPUP:  // a host hands over a choice from 1 to 255, named or not
      switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0:
          break;
        case 1:
          u.pd.value = in.ConsumeIntegralInRange<int32_t>(1, u.pd.num_choices);
          break;
        default:
          u.pd.value = in.ConsumeIntegralInRange<int32_t>(1, 255);
          break;
      }
      break;
    default:  // layers, paths and groups are set apart
      break;
  }
}

void RenderOnce(const std::shared_ptr<const qfhost::Deliverable>& deliverable,
                FuzzedDataProvider& in) {
  const int width = Side(in), height = Side(in);
  const bool deep = in.ConsumeBool();
  const qfhost::HostWorld source =
      qfhost::WorldFromImage(qfhost::BuiltInSource(width, height), deep);
  std::optional<qfhost::HostWorld> reflection;
  if (in.ConsumeBool()) {
    const int w = Side(in), h = Side(in);
    reflection.emplace(qfhost::WorldFromImage(qfhost::BuiltInSource(w, h), deep));
  }
  qfhost::HostSession host;
  std::optional<qfhost::HostWorld> output;
  {
    qfhost::LoadedEffect effect(host, deliverable);
    auto check = [&](PF_Cmd cmd, PF_Err err, bool must_succeed) {
      if (!host.errors().empty())
        Fail(std::string(qfhost::CommandName(cmd)) + ": " + host.errors().front());
      if (must_succeed && err != PF_Err_NONE)
        Fail(std::string(qfhost::CommandName(cmd)) + " failed with " + std::to_string(err));
    };
    check(PF_Cmd_GLOBAL_SETUP, effect.GlobalSetup(), true);
    check(PF_Cmd_PARAMS_SETUP, effect.ParamsSetup(), true);
    const qfhost::LayerSize layer{width, height};
    qfhost::ApplyParamValues(effect, {}, layer);
    effect.SetLayer(0, &source);
    for (size_t i = 1; i < effect.param_count(); ++i) {
      const auto index = static_cast<PF_ParamIndex>(i);
      PF_ParamDef& def = effect.mutable_param(index);
      if (def.param_type == PF_Param_LAYER && reflection && in.ConsumeBool())
        effect.SetLayer(index, &*reflection);
      else if (def.param_type == PF_Param_PATH && in.ConsumeBool())
        def.u.path_d.path_id = effect.AddMask(Mask(in, width, height), in.ConsumeBool());
      else
        DecodeParam(in, def, width, height);
    }
    check(PF_Cmd_SEQUENCE_SETUP, effect.SequenceSetup(), true);
    output.emplace(width, height, deep);
    qfhost::FrameTime time;
    time.current_time = in.ConsumeIntegralInRange(0, 47);
    time.total_time = 48;
    // The render may refuse the frame (out of memory, say); the host's checks hold either way.
    check(PF_Cmd_RENDER,
          effect.Render(*output, time, in.ConsumeBool() ? PF_Quality_HI : PF_Quality_LO), false);
    check(PF_Cmd_SEQUENCE_SETDOWN, effect.SequenceSetdown(), true);
    check(PF_Cmd_GLOBAL_SETDOWN, effect.GlobalSetdown(), true);
  }
  const auto suites = host.UnreleasedSuites();
  if (!suites.empty()) Fail("suite never released: " + suites.front());
  if (host.live_handle_count() != 0)
    Fail(std::to_string(host.live_handle_count()) + " handle(s) never disposed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Both deliverables stay loaded for the whole run: the fuzzer keeps
  // counting coverage in them, which an unloaded module would break.
  static const std::shared_ptr<const qfhost::Deliverable> floral =
      qfhost::Deliverable::Load("floral");
  static const std::shared_ptr<const qfhost::Deliverable> geometry =
      qfhost::Deliverable::Load("geometry");
  FuzzedDataProvider in(data, size);
  try {
    RenderOnce(in.ConsumeBool() ? geometry : floral, in);
  } catch (const qfhost::HostError& e) {
    Fail(std::string("host error: ") + e.what());
  }
  return 0;
}
