// The interaction callbacks and "PF Param Utils Suite": parameters, and the
// layers that layer parameters check out as.
#include "host_callbacks.h"
#include "qf_host/loaded_effect.h"

namespace qfhost {

PF_Err ParamCallbacks::CheckoutParam(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time,
                                     A_long, A_u_long time_scale, PF_ParamDef* param) {
  EffectCall c = LookUpEffect(effect_ref, "checkout_param");
  if (!c) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = c.session->NextCallFails(HostCall::kCheckoutParam)) {
    c.effect->FailedCheckout(param);
    return *err;
  }
  return c.effect->Checkout(index, param,
                            c.effect->CallbackSeconds(what_time, time_scale, "checkout_param"));
}

PF_Err ParamCallbacks::CheckinParam(PF_ProgPtr effect_ref, PF_ParamDef* param) {
  EffectCall c = LookUpEffect(effect_ref, "checkin_param");
  return c ? c.effect->Checkin(param) : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err ParamCallbacks::AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
  EffectCall c = LookUpEffect(effect_ref, "add_param");
  if (!c) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = c.session->NextCallFails(HostCall::kAddParam)) return *err;
  if (!def) {
    c.session->RecordError("add_param: no definition");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  return c.effect->AddParam(index, *def);
}

PF_Err ParamCallbacks::Abort(PF_ProgPtr) { return PF_Err_NONE; }
PF_Err ParamCallbacks::Progress(PF_ProgPtr, A_long, A_long) { return PF_Err_NONE; }

PF_Err ParamCallbacks::RegisterUI(PF_ProgPtr effect_ref, PF_CustomUIInfo* info) {
  EffectCall c = LookUpEffect(effect_ref, "register_ui");
  if (!c) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = c.session->NextCallFails(HostCall::kRegisterUI)) return *err;
  if (!info) {
    c.session->RecordError("register_ui: no interface record");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  return c.effect->RegisterUI(*info);
}

PF_Err ParamCallbacks::UpdateParamUI(PF_ProgPtr effect_ref, PF_ParamIndex index,
                                     const PF_ParamDef* def) {
  EffectCall c = LookUpEffect(effect_ref, "PF_UpdateParamUI");
  if (!c) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = c.session->NextCallFails(HostCall::kUpdateParamUI)) return *err;
  if (!def) {
    c.session->RecordError("PF_UpdateParamUI: no parameter " + std::to_string(index));
    return PF_Err_INVALID_INDEX;
  }
  return c.effect->UpdateParamUI(index, *def);
}

}  // namespace qfhost
