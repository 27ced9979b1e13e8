// The one place that knows which member of a parameter's union holds the value
// of each kind that keeps a single `value` beside its `dephault`.
#pragma once

#include "AE_Effect.h"

namespace qfhost {

// Calls fn with a pointer to the union member of def's kind (&PF_ParamDefUnion::sd
// for sliders, ...) and returns true, for sliders, fixed sliders, angles,
// checkboxes, colours and popups; returns false for every other kind.
template <typename Fn>
bool WithValueMember(PF_ParamType kind, Fn&& fn) {
  // One kind a line, as a table.
  // clang-format off
  switch (kind) {
    case PF_Param_SLIDER:     fn(&PF_ParamDefUnion::sd); return true;
    case PF_Param_FIX_SLIDER: fn(&PF_ParamDefUnion::fd); return true;
    case PF_Param_ANGLE:      fn(&PF_ParamDefUnion::ad); return true;
    case PF_Param_CHECKBOX:   fn(&PF_ParamDefUnion::bd); return true;
    case PF_Param_COLOR:      fn(&PF_ParamDefUnion::cd); return true;
    case PF_Param_POPUP:      fn(&PF_ParamDefUnion::pd); return true;
    default:                  return false;
  }
  // clang-format on
}

}  // namespace qfhost
