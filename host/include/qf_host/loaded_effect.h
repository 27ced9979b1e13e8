// One instance of an effect in a host session: the records the host passes
// with every command, the parameter definitions collected at parameter
// set-up, the sequence data the effect keeps with the host, and the layer the
// effect is applied to, with its masks and the layers its parameters name.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "qf_host/animation.h"
#include "qf_host/deliverable.h"
#include "qf_host/frame_time.h"
#include "qf_host/host_session.h"
#include "qf_host/mask.h"
#include "qf_host/world.h"

namespace qfhost {

const char* CommandName(PF_Cmd cmd);  // "global set-up", ...

// A parameter definition as the host keeps it. Texts the definition points to
// (popup choices, checkbox comment) are copies owned by the host.
struct HostParam {
  PF_ParamDef def{};
  std::string text;
};

// A mask of the effect's layer, as the path suites hand it out: its shape
// at every key (one key for a mask that does not move).
struct HostMask {
  PF_PathID id = 0;
  std::vector<MaskKey> keys;
  bool inverted = false;
};

// A frame rendered at a reduced resolution: the output and the layers are the
// pictures downsampled `factor` times each way (DownsampledSide), while the
// input record keeps the layer's full size. Point values and masks are handed
// over divided by the factor, in the pixels of the reduced picture.
struct Downsample {
  int factor = 1;
  int full_width = 0;  // the input layer's size at full resolution
  int full_height = 0;
};

class LoadedEffect {
 public:
  LoadedEffect(HostSession& host, std::shared_ptr<const Deliverable> deliverable);
  ~LoadedEffect();
  LoadedEffect(const LoadedEffect&) = delete;
  LoadedEffect& operator=(const LoadedEffect&) = delete;

  // Sends one command with the host's records and returns the plug-in's
  // result. Throws HostError when the plug-in lets an exception out.
  PF_Err Send(PF_Cmd cmd, void* extra = nullptr);

  PF_Err GlobalSetup();
  PF_Err GlobalSetdown();
  PF_Err ParamsSetup();  // starts the parameter list afresh
  PF_Err SequenceSetup();
  PF_Err SequenceResetup();
  PF_Err SequenceFlatten();
  PF_Err SequenceSetdown();
  PF_Err UserChangedParam(PF_ParamIndex index);
  PF_Err UpdateParamsUI();
  // Sends an event of a custom area. The effect receives every parameter as
  // it stands at the current time, in copies whose change flags start clear;
  // `change_flags` receives them after the event, by index.
  PF_Err Event(PF_EventExtra& event, std::vector<A_long>* change_flags);

  // The world that checking out layer parameter `index` gives (null: no
  // layer); index 0 is the input layer the effect is applied to. The world
  // is not copied and must outlive the effect's commands.
  void SetLayer(PF_ParamIndex index, const HostWorld* world);
  // Adds a mask to the effect's layer and returns its id, never 0.
  PF_PathID AddMask(MaskPath path, bool inverted);
  // Adds a mask whose shape moves between keys (OrderMaskKeys); the path
  // suites hand out its shape at the time of the check-out. Throws HostError
  // for keys that cannot be interpolated.
  PF_PathID AddAnimatedMask(std::vector<MaskKey> keys, bool inverted);

  // Keys the value of declared parameter `index`: renders and check-outs see
  // its value at their time. An empty track makes the value constant again.
  // Throws HostError for a kind that takes no keys (IsAnimatable) and for
  // keys of another kind, out of time order or two at one time.
  void AnimateParam(PF_ParamIndex index, ParamTrack track);
  // The definition of parameter `index` with its value at `seconds`, at full
  // resolution.
  PF_ParamDef ParamAt(PF_ParamIndex index, double seconds) const;

  // Renders one frame of the input layer into `output`, which has the input
  // layer's size: the input record carries the layer's full size, the time
  // and the quality; parameter 0 is the input layer. Afterwards the host
  // checks that no world's row padding was written. Throws HostError without
  // an input layer or for an output of another size.
  PF_Err Render(HostWorld& output, const FrameTime& time, A_long quality = PF_Quality_HI);
  // The same at a reduced resolution: `output` and the input layer are the
  // downsampled pictures and the input record carries `downsample`'s full
  // size. Every parameter is handed over with its value at the frame's time.
  // Throws HostError also when the input layer is not the full size
  // downsampled by the factor.
  PF_Err Render(HostWorld& output, const FrameTime& time, A_long quality,
                const Downsample& downsample);

  HostSession& host() const { return host_; }
  const Deliverable& deliverable() const { return *deliverable_; }
  PF_ProgPtr effect_ref() const;

  // What global set-up reported.
  A_u_long my_version() const { return my_version_; }
  A_long out_flags() const { return out_flags_; }
  // What parameter set-up reported as the count, input layer included.
  A_long num_params() const { return num_params_; }

  // Index 0 is the input layer; 1 .. param_count() - 1 are the declared ones.
  size_t param_count() const { return params_.size(); }
  const HostParam& param(PF_ParamIndex index) const;
  // For setting a value before a command.
  PF_ParamDef& mutable_param(PF_ParamIndex index);

  int register_ui_calls() const { return static_cast<int>(custom_ui_.size()); }
  const std::vector<PF_CustomUIInfo>& registered_ui() const { return custom_ui_; }

  // The sequence data the host holds for the effect (null when none).
  PF_Handle sequence_data() const { return in_data_.sequence_data; }
  A_long flat_sdata_size() const { return flat_sdata_size_; }

  const PF_InData& in_data() const { return in_data_; }
  const PF_OutData& out_data() const { return out_data_; }

  // ---- What the parameter callbacks reach ----
  // Misuse is recorded with the session; the result is what the callback returns.
  // The seconds of a time the plug-in passes; misuse is recorded for a scale of 0.
  double CallbackSeconds(A_long time, A_u_long time_scale, const char* caller);
  PF_Err AddParam(PF_ParamIndex index, const PF_ParamDef& def);
  PF_Err Checkout(PF_ParamIndex index, PF_ParamDef* param, double seconds);
  PF_Err Checkin(PF_ParamDef* param);
  // A check-out the host refused: the definition is left empty, and is still
  // to be checked in, as after any check-out.
  void FailedCheckout(PF_ParamDef* param);
  PF_Err RegisterUI(const PF_CustomUIInfo& info);
  // Takes the interface state (flags) of `def` for declared parameter `index`.
  PF_Err UpdateParamUI(PF_ParamIndex index, const PF_ParamDef& def);

  // ---- What the path suites reach: the masks of the effect's layer ----
  size_t mask_count() const { return masks_.size(); }
  PF_Err MaskIdAt(A_long index, PF_PathID* id);
  const HostMask* FindMask(PF_PathID id) const;
  PF_Err CheckoutPath(PF_PathID id, double seconds, PF_PathOutlinePtr* path);
  PF_Err CheckinPath(PF_PathID id, PF_PathOutlinePtr path);
  // The shape of a checked-out path, or null (recorded as misuse).
  const MaskPath* CheckedOutPath(PF_PathOutlinePtr path, const char* caller);

 private:
  void ResetParams();
  // Sends with `params` as the parameter array.
  PF_Err SendWith(PF_Cmd cmd, void* extra, PF_ParamDef** params);
  // The definition as the plug-in receives it at `seconds`: scaled to the
  // reduced picture during a reduced render.
  PF_ParamDef HandedOver(PF_ParamIndex index, double seconds) const;

  HostSession& host_;
  std::shared_ptr<const Deliverable> deliverable_;
  PF_InData in_data_{};
  PF_OutData out_data_{};
  PF_LayerDef output_{};
  PF_Cmd current_cmd_ = -1;
  bool in_command_ = false;

  A_u_long my_version_ = 0;
  A_long out_flags_ = 0;
  A_long num_params_ = 0;
  A_long flat_sdata_size_ = 0;
  std::vector<std::unique_ptr<HostParam>> params_;
  std::vector<PF_ParamDef*> param_array_;  // what the plug-in receives
  std::map<PF_ParamIndex, ParamTrack> tracks_;
  int downsample_ = 1;  // the factor of the render that is running
  std::vector<PF_CustomUIInfo> custom_ui_;
  std::map<PF_ParamDef*, PF_ParamIndex> checkouts_;
  std::map<PF_ParamIndex, const HostWorld*> layers_;
  std::vector<HostMask> masks_;
  std::vector<std::unique_ptr<PF_PathOutline>> path_checkouts_;
};

}  // namespace qfhost
