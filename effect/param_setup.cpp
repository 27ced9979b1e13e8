#include "effect/param_setup.h"

#include "effect/scene_params.h"

#include <cmath>
#include <cstring>

PF_Fixed ToFixed(double value) { return static_cast<PF_Fixed>(std::lround(value * 65536.0)); }

static void CopyName(PF_InData* in_data, PF_ParamDef* def, const char* name) {
  if (!name) return;
  if (in_data->utils && in_data->utils->ansi.strcpy) {
    in_data->utils->ansi.strcpy(def->name, name);
  } else {
    std::strncpy(def->name, name, sizeof(def->name) - 1);
  }
}

void FillParamDef(const ParamSpec& spec, int number, const ParamListLayout& layout,
                  PF_ParamDef* def, PF_InData* in_data) {
  std::memset(def, 0, sizeof(*def));
  def->param_type = spec.kind;
  def->ui_flags = spec.ui_flags;
  def->ui_width = spec.ui_width;
  def->ui_height = spec.ui_height;
  def->flags = number >= layout.first_flagged ? 1 : 0;
  def->uu.id = number >= layout.first_id_one ? 1 : 0;
  CopyName(in_data, def, spec.name);

  switch (spec.kind) {
    case PF_Param_SLIDER: {
      PF_SliderDef& sd = def->u.sd;
      sd.valid_min = static_cast<PF_ParamValue>(spec.valid_min);
      sd.valid_max = static_cast<PF_ParamValue>(spec.valid_max);
      sd.slider_min = static_cast<PF_ParamValue>(spec.slider_min);
      sd.slider_max = static_cast<PF_ParamValue>(spec.slider_max);
      sd.value = sd.dephault = static_cast<PF_ParamValue>(spec.dephault);
      break;
    }
    case PF_Param_FIX_SLIDER: {
      PF_FixedSliderDef& fd = def->u.fd;
      fd.valid_min = ToFixed(spec.valid_min);
      fd.valid_max = ToFixed(spec.valid_max);
      fd.slider_min = ToFixed(spec.slider_min);
      fd.slider_max = ToFixed(spec.slider_max);
      fd.value = fd.dephault = ToFixed(spec.dephault);
      fd.precision = static_cast<A_short>(spec.precision);
      break;
    }
    case PF_Param_ANGLE:
      def->u.ad.value = def->u.ad.dephault = ToFixed(spec.dephault);
      break;
    case PF_Param_CHECKBOX:
      def->u.bd.value = static_cast<PF_ParamValue>(spec.dephault);
      def->u.bd.dephault = static_cast<PF_Boolean>(spec.dephault);
      def->u.bd.nameptr = spec.text;
      break;
    case PF_Param_COLOR:
      def->u.cd.value = def->u.cd.dephault = spec.colour;
      break;
    case PF_Param_POINT:
      def->u.td.x_value = def->u.td.x_dephault = ToFixed(spec.dephault);
      def->u.td.y_value = def->u.td.y_dephault = ToFixed(spec.dephault_y);
      break;
    case PF_Param_POPUP:
      def->u.pd.value = static_cast<PF_ParamValue>(spec.dephault);
      def->u.pd.dephault = static_cast<A_short>(spec.dephault);
      def->u.pd.num_choices = static_cast<A_short>(spec.choices);
      def->u.pd.namesptr = spec.text;
      break;
    default:  // layer, path, no-data and group records carry no values
      break;
  }
}

PF_Err DeclareParams(PF_InData* in_data, PF_OutData* out_data, const ParamSpec* own, int own_count,
                     const ParamListLayout& layout) {
  const int count = own_count + kSceneRowCount;
  PF_ParamDef def;
  for (int i = 0; i < count; ++i) {
    const ParamSpec& spec = i < own_count ? own[i] : kSceneParamRows[i - own_count];
    FillParamDef(spec, i + 1, layout, &def, in_data);
    PF_Err err = in_data->inter.add_param(in_data->effect_ref, -1, &def);
    if (err != PF_Err_NONE) return err;
  }
  out_data->num_params = count + 1;  // and the input layer

  PF_CustomUIInfo ui;
  std::memset(&ui, 0, sizeof(ui));
  ui.events = PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER | PF_CustomEFlag_EFFECT;
  return in_data->inter.register_ui(in_data->effect_ref, &ui);
}
