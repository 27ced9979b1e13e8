#include "qf_host/loaded_effect.h"

#include <cmath>
#include <cstring>

#include "host_callbacks.h"
#include "qf_host/host_error.h"
#include "qf_host/image.h"

namespace qfhost {

const char* CommandName(PF_Cmd cmd) {
  switch (cmd) {
    case PF_Cmd_ABOUT:
      return "about";
    case PF_Cmd_GLOBAL_SETUP:
      return "global set-up";
    case PF_Cmd_GLOBAL_SETDOWN:
      return "global set-down";
    case PF_Cmd_PARAMS_SETUP:
      return "parameter set-up";
    case PF_Cmd_SEQUENCE_SETUP:
      return "sequence set-up";
    case PF_Cmd_SEQUENCE_RESETUP:
      return "sequence re-set-up";
    case PF_Cmd_SEQUENCE_FLATTEN:
      return "sequence flatten";
    case PF_Cmd_SEQUENCE_SETDOWN:
      return "sequence set-down";
    case PF_Cmd_DO_DIALOG:
      return "options dialog";
    case PF_Cmd_FRAME_SETUP:
      return "frame set-up";
    case PF_Cmd_RENDER:
      return "render";
    case PF_Cmd_FRAME_SETDOWN:
      return "frame set-down";
    case PF_Cmd_USER_CHANGED_PARAM:
      return "user-changed-parameter";
    case PF_Cmd_UPDATE_PARAMS_UI:
      return "update-parameters-UI";
    case PF_Cmd_EVENT:
      return "event";
    default:
      return "unknown command";
  }
}

LoadedEffect::LoadedEffect(HostSession& host, std::shared_ptr<const Deliverable> deliverable)
    : host_(host), deliverable_(std::move(deliverable)) {
  host_.effects_.insert(this);
  in_data_.inter.checkout_param = &ParamCallbacks::CheckoutParam;
  in_data_.inter.checkin_param = &ParamCallbacks::CheckinParam;
  in_data_.inter.add_param = &ParamCallbacks::AddParam;
  in_data_.inter.abort = &ParamCallbacks::Abort;
  in_data_.inter.progress = &ParamCallbacks::Progress;
  in_data_.inter.register_ui = &ParamCallbacks::RegisterUI;
  in_data_.utils = host_.utils();
  in_data_.effect_ref = effect_ref();
  in_data_.quality = PF_Quality_HI;
  in_data_.time_step = 1;
  in_data_.local_time_step = 1;
  in_data_.time_scale = 1;
  in_data_.pica_basicP = host_.basic_suite();
  ResetParams();
}

LoadedEffect::~LoadedEffect() { host_.effects_.erase(this); }

PF_ProgPtr LoadedEffect::effect_ref() const {
  return reinterpret_cast<PF_ProgPtr>(const_cast<LoadedEffect*>(this));
}

const HostParam& LoadedEffect::param(PF_ParamIndex index) const {
  if (index < 0 || static_cast<size_t>(index) >= params_.size())
    throw HostError("no parameter " + std::to_string(index));
  return *params_[index];
}

PF_ParamDef& LoadedEffect::mutable_param(PF_ParamIndex index) {
  if (index < 0 || static_cast<size_t>(index) >= params_.size())
    throw HostError("no parameter " + std::to_string(index));
  return params_[index]->def;
}

void LoadedEffect::ResetParams() {
  params_.clear();
  param_array_.clear();
  tracks_.clear();
  auto input = std::make_unique<HostParam>();
  input->def.param_type = PF_Param_LAYER;
  param_array_.push_back(&input->def);
  params_.push_back(std::move(input));
}

PF_Err LoadedEffect::Send(PF_Cmd cmd, void* extra) {
  return SendWith(cmd, extra, param_array_.data());
}

PF_Err LoadedEffect::SendWith(PF_Cmd cmd, void* extra, PF_ParamDef** params) {
  if (in_command_)
    throw HostError(std::string(CommandName(cmd)) + " sent while " + CommandName(current_cmd_) +
                    " is running");
  in_data_.num_params = static_cast<A_long>(param_array_.size());
  const PF_Handle held = in_data_.sequence_data;
  out_data_ = PF_OutData{};
  out_data_.num_params = in_data_.num_params;
  out_data_.sequence_data = held;  // unchanged unless the command replaces it

  current_cmd_ = cmd;
  in_command_ = true;
  PF_Err err = PF_Err_NONE;
  {
    ActiveScope active(&host_);
    try {
      err = deliverable_->entry()(cmd, &in_data_, &out_data_, params, &output_, extra);
    } catch (...) {
      in_command_ = false;
      throw HostError(std::string("the plug-in let an exception out of ") + CommandName(cmd));
    }
  }
  in_command_ = false;

  in_data_.sequence_data = out_data_.sequence_data;
  if (in_data_.sequence_data) {
    const auto state = host_.handle_state(in_data_.sequence_data);
    if (!state || state->disposed)
      host_.RecordError(std::string(CommandName(cmd)) +
                        ": sequence data is not a live host handle");
  }
  if (!checkouts_.empty()) {
    host_.RecordError(std::string(CommandName(cmd)) + ": " + std::to_string(checkouts_.size()) +
                      " parameter check-out(s) not checked in");
    checkouts_.clear();
  }
  if (!path_checkouts_.empty()) {
    host_.RecordError(std::string(CommandName(cmd)) + ": " +
                      std::to_string(path_checkouts_.size()) + " path check-out(s) not checked in");
    path_checkouts_.clear();
  }
  if (in_data_.sequence_data) {
    const auto state = host_.handle_state(in_data_.sequence_data);
    if (state && !state->disposed && state->locks != 0)
      host_.RecordError(std::string(CommandName(cmd)) + " left the sequence data locked");
  }
  return err;
}

PF_Err LoadedEffect::GlobalSetup() {
  const PF_Err err = Send(PF_Cmd_GLOBAL_SETUP);
  if (err == PF_Err_NONE) {
    my_version_ = out_data_.my_version;
    out_flags_ = out_data_.out_flags;
  }
  return err;
}

PF_Err LoadedEffect::GlobalSetdown() { return Send(PF_Cmd_GLOBAL_SETDOWN); }

PF_Err LoadedEffect::ParamsSetup() {
  ResetParams();
  custom_ui_.clear();
  const PF_Err err = Send(PF_Cmd_PARAMS_SETUP);
  if (err == PF_Err_NONE) {
    num_params_ = out_data_.num_params;
    if (static_cast<size_t>(num_params_) != params_.size())
      host_.RecordError("parameter set-up added " + std::to_string(params_.size() - 1) +
                        " parameters but reported a count of " + std::to_string(num_params_));
  }
  return err;
}

PF_Err LoadedEffect::SequenceSetup() {
  const PF_Err err = Send(PF_Cmd_SEQUENCE_SETUP);
  flat_sdata_size_ = out_data_.flat_sdata_size;
  return err;
}

PF_Err LoadedEffect::SequenceResetup() { return Send(PF_Cmd_SEQUENCE_RESETUP); }
PF_Err LoadedEffect::SequenceFlatten() { return Send(PF_Cmd_SEQUENCE_FLATTEN); }
PF_Err LoadedEffect::SequenceSetdown() { return Send(PF_Cmd_SEQUENCE_SETDOWN); }

PF_Err LoadedEffect::UserChangedParam(PF_ParamIndex index) {
  PF_UserChangedParamExtra extra{index};
  return Send(PF_Cmd_USER_CHANGED_PARAM, &extra);
}

PF_Err LoadedEffect::UpdateParamsUI() { return Send(PF_Cmd_UPDATE_PARAMS_UI); }

PF_Err LoadedEffect::Event(PF_EventExtra& event, std::vector<A_long>* change_flags) {
  const double seconds = Seconds(in_data_.current_time, in_data_.time_scale);
  std::vector<PF_ParamDef> copies;
  copies.reserve(params_.size());
  for (size_t i = 0; i < params_.size(); ++i) {
    copies.push_back(ParamAt(static_cast<PF_ParamIndex>(i), seconds));
    copies.back().uu.change_flags = PF_ChangeFlag_NONE;
  }
  std::vector<PF_ParamDef*> array;
  for (PF_ParamDef& def : copies) array.push_back(&def);
  const PF_Err err = SendWith(PF_Cmd_EVENT, &event, array.data());
  change_flags->clear();
  for (const PF_ParamDef& def : copies) change_flags->push_back(def.uu.change_flags);
  return err;
}

void LoadedEffect::SetLayer(PF_ParamIndex index, const HostWorld* world) {
  if (index != 0 && (index < 0 || static_cast<size_t>(index) >= params_.size() ||
                     params_[index]->def.param_type != PF_Param_LAYER))
    throw HostError("parameter " + std::to_string(index) + " is not a layer");
  layers_[index] = world;
}

PF_PathID LoadedEffect::AddMask(MaskPath path, bool inverted) {
  if (path.vertices.empty()) throw HostError("a mask needs at least one vertex");
  std::vector<MaskKey> keys(1);
  keys[0].path = std::move(path);
  return AddAnimatedMask(std::move(keys), inverted);
}

PF_PathID LoadedEffect::AddAnimatedMask(std::vector<MaskKey> keys, bool inverted) {
  // Mask ids are not their positions in the list, so that a plug-in that
  // mixes the two finds no mask.
  constexpr PF_PathID kFirstMaskId = 1001;
  keys = OrderMaskKeys(std::move(keys));
  const PF_PathID id = kFirstMaskId + static_cast<PF_PathID>(masks_.size());
  masks_.push_back(HostMask{id, std::move(keys), inverted});
  return id;
}

void LoadedEffect::AnimateParam(PF_ParamIndex index, ParamTrack track) {
  const PF_ParamDef& def = param(index).def;
  if (track.empty()) {
    tracks_.erase(index);
    return;
  }
  const std::string name = index == 0 ? std::string("the input layer") : std::string(def.name);
  if (index == 0 || !IsAnimatable(def.param_type))
    throw HostError(name + ": a parameter of this kind takes no keyframes");
  for (size_t k = 0; k < track.size(); ++k) {
    if (track[k].def.param_type != def.param_type)
      throw HostError(name + ": a key of another kind");
    if (k > 0 && !(track[k - 1].seconds < track[k].seconds))
      throw HostError(name + ": keys out of time order");
  }
  tracks_[index] = std::move(track);
}

PF_ParamDef LoadedEffect::ParamAt(PF_ParamIndex index, double seconds) const {
  PF_ParamDef def = param(index).def;
  auto track = tracks_.find(index);
  if (track != tracks_.end()) SetValueAt(track->second, seconds, def);
  return def;
}

PF_ParamDef LoadedEffect::HandedOver(PF_ParamIndex index, double seconds) const {
  PF_ParamDef def = ParamAt(index, seconds);
  if (def.param_type == PF_Param_POINT && downsample_ > 1) {
    def.u.td.x_value =
        static_cast<PF_Fixed>(std::lround(static_cast<double>(def.u.td.x_value) / downsample_));
    def.u.td.y_value =
        static_cast<PF_Fixed>(std::lround(static_cast<double>(def.u.td.y_value) / downsample_));
  }
  return def;
}

double LoadedEffect::CallbackSeconds(A_long time, A_u_long time_scale, const char* caller) {
  if (time_scale == 0) {
    host_.RecordError(std::string(caller) + ": time scale 0");
    return 0;
  }
  return Seconds(time, time_scale);
}

PF_Err LoadedEffect::Render(HostWorld& output, const FrameTime& time, A_long quality) {
  auto input = layers_.find(0);
  if (input == layers_.end() || !input->second) throw HostError("render without an input layer");
  return Render(output, time, quality,
                Downsample{1, input->second->width(), input->second->height()});
}

PF_Err LoadedEffect::Render(HostWorld& output, const FrameTime& time, A_long quality,
                            const Downsample& downsample) {
  auto input = layers_.find(0);
  if (input == layers_.end() || !input->second) throw HostError("render without an input layer");
  const HostWorld& source = *input->second;
  if (output.width() != source.width() || output.height() != source.height() ||
      output.deep() != source.deep())
    throw HostError("the output world differs from the input layer in size or depth");
  if (downsample.factor < 1 || downsample.full_width < 1 || downsample.full_height < 1 ||
      DownsampledSide(downsample.full_width, downsample.factor) != source.width() ||
      DownsampledSide(downsample.full_height, downsample.factor) != source.height())
    throw HostError("the input layer is not the full size downsampled by the factor");
  if (time.time_scale == 0) throw HostError("a frame time needs a time scale above 0");

  in_data_.width = downsample.full_width;
  in_data_.height = downsample.full_height;
  in_data_.extent_hint = PF_Rect{0, 0, source.width(), source.height()};
  in_data_.current_time = time.current_time;
  in_data_.time_step = time.time_step;
  in_data_.local_time_step = time.time_step;
  in_data_.time_scale = time.time_scale;
  in_data_.total_time = time.total_time;
  in_data_.quality = quality;
  params_[0]->def.u.ld = *source.world();
  output_ = *output.world();

  // Points and masks are handed over in the reduced picture's pixels while
  // this render runs, however it ends.
  struct Reduced {
    int& factor;
    ~Reduced() { factor = 1; }
  } reduced{downsample_};
  downsample_ = downsample.factor;
  // The plug-in receives every parameter as it stands at the frame's time,
  // in copies, so that the values the host keeps stay as they were set.
  const double seconds = Seconds(time.current_time, time.time_scale);
  std::vector<PF_ParamDef> frame_params;
  frame_params.reserve(params_.size());
  for (size_t i = 0; i < params_.size(); ++i)
    frame_params.push_back(HandedOver(static_cast<PF_ParamIndex>(i), seconds));
  std::vector<PF_ParamDef*> frame_array;
  for (PF_ParamDef& def : frame_params) frame_array.push_back(&def);

  const PF_Err err = SendWith(PF_Cmd_RENDER, nullptr, frame_array.data());
  output_ = PF_LayerDef{};

  if (!output.PaddingIntact())
    host_.RecordError("render wrote into the padding after the output world's rows");
  for (const auto& [index, world] : layers_)
    if (world && !world->PaddingIntact())
      host_.RecordError("render wrote into the padding of layer " + std::to_string(index));
  return err;
}

PF_Err LoadedEffect::AddParam(PF_ParamIndex index, const PF_ParamDef& def) {
  if (current_cmd_ != PF_Cmd_PARAMS_SETUP) {
    host_.RecordError(std::string("add_param during ") + CommandName(current_cmd_));
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  if (index != -1) {
    host_.RecordError("add_param: index " + std::to_string(index) +
                      " (the host only appends, index -1)");
    return PF_Err_INVALID_INDEX;
  }
  if (!std::memchr(def.name, 0, sizeof def.name)) {
    host_.RecordError("add_param: parameter " + std::to_string(params_.size()) +
                      " has an unterminated name");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  if (def.param_type < PF_Param_LAYER || def.param_type > PF_Param_BUTTON) {
    host_.RecordError("add_param: parameter " + std::to_string(params_.size()) +
                      " has unknown kind " + std::to_string(def.param_type));
    return PF_Err_UNRECOGNIZED_PARAM_TYPE;
  }
  auto p = std::make_unique<HostParam>();
  p->def = def;
  if (def.param_type == PF_Param_POPUP) {
    p->text = def.u.pd.namesptr ? def.u.pd.namesptr : "";
    p->def.u.pd.namesptr = p->text.c_str();
  } else if (def.param_type == PF_Param_CHECKBOX) {
    p->text = def.u.bd.nameptr ? def.u.bd.nameptr : "";
    p->def.u.bd.nameptr = p->text.c_str();
  }
  param_array_.push_back(&p->def);
  params_.push_back(std::move(p));
  return PF_Err_NONE;
}

PF_Err LoadedEffect::Checkout(PF_ParamIndex index, PF_ParamDef* param, double seconds) {
  if (!param) {
    host_.RecordError("checkout_param: no definition to fill");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  if (index < 0 || static_cast<size_t>(index) >= params_.size()) {
    host_.RecordError("checkout_param: no parameter " + std::to_string(index));
    return PF_Err_INVALID_INDEX;
  }
  *param = HandedOver(index, seconds);
  if (param->param_type == PF_Param_LAYER) {
    // A layer parameter checks out as the layer's world, or as an empty one.
    auto layer = layers_.find(index);
    const A_long dephault = param->u.ld.dephault;
    param->u.ld = layer != layers_.end() && layer->second ? *layer->second->world() : PF_LayerDef{};
    param->u.ld.dephault = dephault;
  }
  checkouts_[param] = index;
  return PF_Err_NONE;
}

void LoadedEffect::FailedCheckout(PF_ParamDef* param) {
  if (!param) return;
  *param = PF_ParamDef{};
  checkouts_[param] = -1;
}

PF_Err LoadedEffect::Checkin(PF_ParamDef* param) {
  if (checkouts_.erase(param) == 0) {
    host_.RecordError("checkin_param: definition was not checked out");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  return PF_Err_NONE;
}

PF_Err LoadedEffect::RegisterUI(const PF_CustomUIInfo& info) {
  if (current_cmd_ != PF_Cmd_PARAMS_SETUP)
    host_.RecordError(std::string("register_ui during ") + CommandName(current_cmd_));
  custom_ui_.push_back(info);
  return PF_Err_NONE;
}

PF_Err LoadedEffect::UpdateParamUI(PF_ParamIndex index, const PF_ParamDef& def) {
  if (index < 1 || static_cast<size_t>(index) >= param_count()) {
    host_.RecordError("PF_UpdateParamUI: no parameter " + std::to_string(index));
    return PF_Err_INVALID_INDEX;
  }
  host_.RecordParamUIUpdate(ParamUIUpdate{this, index, def});
  PF_ParamDef& stored = mutable_param(index);
  if (def.param_type != stored.param_type) {
    host_.RecordError("PF_UpdateParamUI: parameter " + std::to_string(index) + " changes its kind");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  // The interface state is what an update changes: enabled or greyed out, twirled.
  stored.ui_flags = def.ui_flags;
  stored.flags = def.flags;
  return PF_Err_NONE;
}

PF_Err LoadedEffect::MaskIdAt(A_long index, PF_PathID* id) {
  *id = 0;
  if (index < 0 || static_cast<size_t>(index) >= masks_.size()) {
    host_.RecordError("PF_PathInfo: no path " + std::to_string(index) + " (the layer has " +
                      std::to_string(masks_.size()) + ")");
    return PF_Err_INVALID_INDEX;
  }
  *id = masks_[index].id;
  return PF_Err_NONE;
}

const HostMask* LoadedEffect::FindMask(PF_PathID id) const {
  for (const HostMask& m : masks_)
    if (m.id == id) return &m;
  return nullptr;
}

PF_Err LoadedEffect::CheckoutPath(PF_PathID id, double seconds, PF_PathOutlinePtr* path) {
  if (!path) {
    host_.RecordError("PF_CheckoutPath: no result pointer");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  // No path for id 0 or for a mask the layer does not have; that is no error.
  *path = nullptr;
  const HostMask* mask = FindMask(id);
  if (!mask) return PF_Err_NONE;
  // The shape at the asked time, in the pixels of the picture being rendered.
  MaskPath shape = MaskAt(mask->keys, seconds);
  if (downsample_ > 1)
    for (MaskVertex& v : shape.vertices)
      for (double* c : {&v.x, &v.y, &v.in_x, &v.in_y, &v.out_x, &v.out_y}) *c /= downsample_;
  path_checkouts_.push_back(std::make_unique<PF_PathOutline>(PF_PathOutline{id, std::move(shape)}));
  *path = path_checkouts_.back().get();
  return PF_Err_NONE;
}

PF_Err LoadedEffect::CheckinPath(PF_PathID id, PF_PathOutlinePtr path) {
  for (auto it = path_checkouts_.begin(); it != path_checkouts_.end(); ++it)
    if (it->get() == path) {
      if (path->id != id) {
        host_.RecordError("PF_CheckinPath: path " + std::to_string(path->id) + " checked in as " +
                          std::to_string(id));
        return PF_Err_BAD_CALLBACK_PARAM;
      }
      path_checkouts_.erase(it);
      return PF_Err_NONE;
    }
  host_.RecordError("PF_CheckinPath: path was not checked out");
  return PF_Err_BAD_CALLBACK_PARAM;
}

const MaskPath* LoadedEffect::CheckedOutPath(PF_PathOutlinePtr path, const char* caller) {
  for (const auto& checkout : path_checkouts_)
    if (checkout.get() == path) return &checkout->path;
  host_.RecordError(std::string(caller) + ": not a checked-out path");
  return nullptr;
}

}  // namespace qfhost
