// What `qf-host info` and `qf-host params` print, as JSON values.
#pragma once

#include <string>
#include <vector>

#include "AE_Effect.h"
#include "qf_host/json.h"
#include "qf_host/loaded_effect.h"

namespace qfhost {

// "popup", "fix_slider", ...; "unknown" for a code the host does not know.
const char* ParamKindName(PF_ParamType type);

// The shortest decimal that reads back as the same 16.16 value ("0.35" for 22938).
std::string FormatFixed(PF_Fixed value);

// The choices of a popup, from its names separated by '|'.
std::vector<std::string> PopupChoices(const std::string& names);

// "0x06008454".
std::string Hex32(uint32_t value);

// The property list and what global set-up reported (the effect must have had it).
Json InfoReport(const LoadedEffect& effect);

// One object per declared parameter (the input layer left out).
Json ParamsReport(const LoadedEffect& effect);

// What `qf-host render DELIVERABLE --help` lists: one line per declared
// parameter with its kind, default, valid range and choices, or what it takes
// instead of a value, indented under the groups that hold it.
std::string ParamsHelp(const LoadedEffect& effect);

}  // namespace qfhost
