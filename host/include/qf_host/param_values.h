// Parameter values as a person writes them, turned into the values of the
// effect's own parameter definitions:
//   slider            a whole number           "Max iterations=4"
//   fixed slider      a decimal                "Width=0.5"
//   angle             degrees                  "Rotate UV=-30"
//   checkbox          on/off, true/false, yes/no, 1/0
//   colour            #rrggbb                  "Diffuse=#ffd080"
//   point             x,y in layer pixels, or x%,y% of the layer (each on its own)
//   popup             a choice by name (any case) or by number from 1; with
//                     undeclared choices allowed, any number from 1 to 255
// Numbers must lie in the parameter's valid range when it declares one.
//
// A value may also be keyframed, "V1@T1,V2@T2,...", each time a frame number
// ("@12") or seconds ("@0.5s"), for every kind that takes keys (IsAnimatable);
// points keep their own comma: "Position=10%,50%@0,90%,50%@2s".
#pragma once

#include <string>
#include <vector>

#include "AE_Effect.h"
#include "qf_host/animation.h"
#include "qf_host/frame_time.h"
#include "qf_host/loaded_effect.h"

namespace qfhost {

// The size of the layer that point values refer to.
struct LayerSize {
  int width = 0;
  int height = 0;
};

// One "NAME=VALUE", split at the first '='.
struct ParamSetting {
  std::string name;
  std::string value;
};
// Throws HostError when there is no '=' or no name.
ParamSetting ParseSetting(const std::string& text);

// The declared parameter called `name`: the exact name, else the one name
// that matches ignoring case. Throws HostError naming the closest names.
PF_ParamIndex FindParam(const LoadedEffect& effect, const std::string& name);

// The value a new instance of the parameter has: its declared default, with
// points turned from percent of the layer into layer pixels.
void SetDefaultValue(PF_ParamDef& def, LayerSize layer);

// Sets def's value from text by def's kind. Throws HostError starting with the
// parameter's name for a value that does not fit, or for a kind that takes no
// typed value (layers, paths, groups). `undeclared_choices` lets a popup take
// any number from 1 to 255, also one that its choices do not name, as a host
// may deliver it.
void SetParamValue(PF_ParamDef& def, const std::string& text, LayerSize layer,
                   bool undeclared_choices = false);

// Whether a value is keyframed: it holds an '@'.
bool IsKeyed(const std::string& text);

// The keys of a keyed value in time order, each value read as SetParamValue
// reads it. Throws HostError starting with the parameter's name for a kind
// that takes no keys, a value that does not fit, a key without "@TIME", a
// time that is not a number, or two keys at one time.
ParamTrack ParseParamTrack(const PF_ParamDef& def, const std::string& text, LayerSize layer,
                           FrameRate rate, bool undeclared_choices = false);

// Every declared parameter at its default and not animated, then the
// settings in order; keyed values animate their parameters, with key times
// in frames at `rate`; popups read as SetParamValue reads them.
void ApplyParamValues(LoadedEffect& effect, const std::vector<ParamSetting>& settings,
                      LayerSize layer, FrameRate rate, bool undeclared_choices = false);
// The same at 24 frames a second, popups to their choices.
void ApplyParamValues(LoadedEffect& effect, const std::vector<ParamSetting>& settings,
                      LayerSize layer);

}  // namespace qfhost
