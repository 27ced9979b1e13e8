#include "qf_host/param_values.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "qf_host/closest_names.h"
#include "qf_host/host_error.h"
#include "qf_host/report.h"
#include "text_numbers.h"
#include "value_member.h"

namespace qfhost {
namespace {

// A 16.16 value, or false when the number lies beyond what 16.16 holds.
bool ToFixed(double v, PF_Fixed* fixed) {
  const double scaled = std::round(v * 65536.0);
  if (!(scaled >= INT32_MIN && scaled <= INT32_MAX)) return false;
  *fixed = static_cast<PF_Fixed>(scaled);
  return true;
}

[[noreturn]] void Fail(const PF_ParamDef& def, const std::string& what) {
  throw HostError(std::string(def.name) + ": " + what);
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// The end of what 16.16 holds that `v` lies beyond: "the smallest value, -32768".
std::string FixedBound(double v, const char* noun) {
  return v < 0 ? std::string("the smallest ") + noun + ", -32768"
               : std::string("the largest ") + noun + ", 32767.99998";
}

PF_Fixed FixedValue(const PF_ParamDef& def, const std::string& text, const char* unit) {
  double v;
  if (!ParseDecimal(text, &v)) Fail(def, Quoted(Trim(text)) + " is not a number" + unit);
  PF_Fixed fixed;
  if (!ToFixed(v, &fixed)) Fail(def, Trim(text) + " is beyond " + FixedBound(v, "value"));
  return fixed;
}

void CheckFixedRange(const PF_ParamDef& def, const std::string& text, PF_Fixed v, PF_Fixed lo,
                     PF_Fixed hi) {
  if (v < lo || v > hi)
    Fail(def,
         Trim(text) + " is outside the valid range " + FormatFixed(lo) + " to " + FormatFixed(hi));
}

// The number a popup may take beyond its choices when undeclared choices are allowed.
constexpr long long kMaxPopupValue = 255;

void SetPopup(PF_ParamDef& def, const std::string& text, bool undeclared_choices) {
  const std::string wanted = Lower(Trim(text));
  const std::vector<std::string> choices = PopupChoices(def.u.pd.namesptr ? def.u.pd.namesptr : "");
  for (size_t i = 0; i < choices.size() && static_cast<A_short>(i) < def.u.pd.num_choices; ++i)
    if (Lower(Trim(choices[i])) == wanted) {
      def.u.pd.value = static_cast<PF_ParamValue>(i + 1);
      return;
    }
  const long long highest = undeclared_choices ? kMaxPopupValue : def.u.pd.num_choices;
  long long n;
  if (ParseWhole(text, &n) && n >= 1 && n <= highest) {
    def.u.pd.value = static_cast<PF_ParamValue>(n);
    return;
  }
  std::string list;
  for (const std::string& c : choices) list += (list.empty() ? "" : ", ") + c;
  Fail(def, "no choice " + Quoted(Trim(text)) + " (" + list + ", or a number 1 to " +
                std::to_string(highest) + ")");
}

void SetCheckbox(PF_ParamDef& def, const std::string& text) {
  const std::string v = Lower(Trim(text));
  if (v == "on" || v == "true" || v == "yes" || v == "1") {
    def.u.bd.value = 1;
  } else if (v == "off" || v == "false" || v == "no" || v == "0") {
    def.u.bd.value = 0;
  } else {
    Fail(def, Quoted(Trim(text)) + " is not on or off");
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void SetColour(PF_ParamDef& def, const std::string& text) {
  const std::string s = Trim(text);
  int bytes[3];
  bool ok = s.size() == 7 && s[0] == '#';
  for (int i = 0; ok && i < 3; ++i) {
    const int hi = HexDigit(s[1 + 2 * i]), lo = HexDigit(s[2 + 2 * i]);
    ok = hi >= 0 && lo >= 0;
    bytes[i] = hi * 16 + lo;
  }
  if (!ok) Fail(def, Quoted(s) + " is not a colour #rrggbb");
  // The alpha byte stays as declared.
  def.u.cd.value.red = static_cast<A_u_char>(bytes[0]);
  def.u.cd.value.green = static_cast<A_u_char>(bytes[1]);
  def.u.cd.value.blue = static_cast<A_u_char>(bytes[2]);
}

// One point coordinate: pixels, or percent of `size` with a trailing '%'.
PF_Fixed PointCoordinate(const PF_ParamDef& def, const std::string& part, int size) {
  std::string s = Trim(part);
  const bool percent = !s.empty() && s.back() == '%';
  if (percent) s.pop_back();
  double v;
  if (!ParseDecimal(s, &v))
    Fail(def, Quoted(Trim(part)) + " is not a number of pixels or a percentage");
  if (percent) v = v / 100.0 * size;
  PF_Fixed fixed;
  if (!ToFixed(v, &fixed))
    Fail(def, Trim(part) + " lies beyond " + FixedBound(v, "position") + " pixels");
  if (def.u.td.restrict_bounds && (fixed < 0 || fixed > size * 65536LL))
    Fail(def, Trim(part) + " lies outside the layer (0 to " + std::to_string(size) + " pixels)");
  return fixed;
}

void SetPoint(PF_ParamDef& def, const std::string& text, LayerSize layer) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos)
    Fail(def, Quoted(Trim(text)) + " is not a point x,y (pixels) or x%,y%");
  def.u.td.x_value = PointCoordinate(def, text.substr(0, comma), layer.width);
  def.u.td.y_value = PointCoordinate(def, text.substr(comma + 1), layer.height);
}

PF_Fixed PercentToPixels(PF_Fixed percent, int size) {
  return static_cast<PF_Fixed>(std::llround(static_cast<double>(percent) * size / 100.0));
}

}  // namespace

ParamSetting ParseSetting(const std::string& text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos) throw HostError("setting " + Quoted(text) + " is not NAME=VALUE");
  ParamSetting s{Trim(text.substr(0, eq)), text.substr(eq + 1)};
  if (s.name.empty()) throw HostError("setting " + Quoted(text) + " names no parameter");
  return s;
}

PF_ParamIndex FindParam(const LoadedEffect& effect, const std::string& name) {
  const std::string wanted = Lower(Trim(name));
  std::vector<PF_ParamIndex> same_letters;
  std::vector<std::string> declared_names;
  for (size_t i = 1; i < effect.param_count(); ++i) {
    const PF_ParamIndex index = static_cast<PF_ParamIndex>(i);
    const std::string declared = effect.param(index).def.name;
    if (declared.empty()) continue;  // group ends have no name
    if (declared == Trim(name)) return index;
    if (Lower(declared) == wanted) same_letters.push_back(index);
    declared_names.push_back(declared);
  }
  if (same_letters.size() == 1) return same_letters[0];
  std::string closest;
  for (const std::string& candidate : ClosestNames(wanted, declared_names, 3))
    closest += (closest.empty() ? "\"" : ", \"") + candidate + "\"";
  throw HostError("unknown parameter " + Quoted(Trim(name)) +
                  (closest.empty() ? "" : " (closest: " + closest + ")"));
}

void SetDefaultValue(PF_ParamDef& def, LayerSize layer) {
  PF_ParamDefUnion& u = def.u;
  if (WithValueMember(def.param_type,
                      [&u](auto member) { (u.*member).value = (u.*member).dephault; }))
    return;
  if (def.param_type == PF_Param_PATH) {
    u.path_d.path_id = static_cast<PF_PathID>(u.path_d.dephault);
  } else if (def.param_type == PF_Param_POINT) {
    u.td.x_value = PercentToPixels(u.td.x_dephault, layer.width);
    u.td.y_value = PercentToPixels(u.td.y_dephault, layer.height);
  }
}

void SetParamValue(PF_ParamDef& def, const std::string& text, LayerSize layer,
                   bool undeclared_choices) {
  PF_ParamDefUnion& u = def.u;
  switch (def.param_type) {
    case PF_Param_SLIDER: {
      long long v;
      if (!ParseWhole(text, &v)) Fail(def, Quoted(Trim(text)) + " is not a whole number");
      if (v < u.sd.valid_min || v > u.sd.valid_max)
        Fail(def, Trim(text) + " is outside the valid range " + std::to_string(u.sd.valid_min) +
                      " to " + std::to_string(u.sd.valid_max));
      u.sd.value = static_cast<PF_ParamValue>(v);
      return;
    }
    case PF_Param_FIX_SLIDER: {
      const PF_Fixed v = FixedValue(def, text, "");
      CheckFixedRange(def, text, v, u.fd.valid_min, u.fd.valid_max);
      u.fd.value = v;
      return;
    }
    case PF_Param_ANGLE: {
      const PF_Fixed v = FixedValue(def, text, " of degrees");
      // An angle declared with both limits 0 has no range.
      if (u.ad.valid_min != 0 || u.ad.valid_max != 0)
        CheckFixedRange(def, text, v, u.ad.valid_min, u.ad.valid_max);
      u.ad.value = v;
      return;
    }
    case PF_Param_CHECKBOX:
      SetCheckbox(def, text);
      return;
    case PF_Param_COLOR:
      SetColour(def, text);
      return;
    case PF_Param_POINT:
      SetPoint(def, text, layer);
      return;
    case PF_Param_POPUP:
      SetPopup(def, text, undeclared_choices);
      return;
    case PF_Param_LAYER:
      Fail(def, "a layer takes an image (--reflection), not a value");
    case PF_Param_PATH:
      Fail(def, "a mask path takes a mask (--mask), not a value");
    default:
      Fail(def, std::string("a ") + ParamKindName(def.param_type) + " parameter takes no value");
  }
}

bool IsKeyed(const std::string& text) { return text.find('@') != std::string::npos; }

ParamTrack ParseParamTrack(const PF_ParamDef& def, const std::string& text, LayerSize layer,
                           FrameRate rate, bool undeclared_choices) {
  if (!IsAnimatable(def.param_type))
    Fail(def, std::string("a ") + ParamKindName(def.param_type) + " parameter takes no keyframes");
  // Each key runs to the first comma after its '@', so that a point's own
  // comma stays in its value.
  ParamTrack track;
  size_t at = 0;
  while (true) {
    const size_t key_at = text.find('@', at);
    const size_t comma = key_at == std::string::npos ? std::string::npos : text.find(',', key_at);
    if (key_at == std::string::npos)
      Fail(def, "key " + Quoted(Trim(text.substr(at))) + " has no @TIME");
    ParamKey key;
    key.def = def;
    SetParamValue(key.def, text.substr(at, key_at - at), layer, undeclared_choices);
    const std::string time = text.substr(
        key_at + 1, comma == std::string::npos ? std::string::npos : comma - key_at - 1);
    try {
      key.seconds = ToSeconds(ParseKeyTime(time), rate);
    } catch (const HostError& e) {
      Fail(def, std::string("keyframe time ") + e.what());
    }
    track.push_back(key);
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  std::stable_sort(track.begin(), track.end(),
                   [](const ParamKey& a, const ParamKey& b) { return a.seconds < b.seconds; });
  for (size_t k = 1; k < track.size(); ++k)
    if (track[k - 1].seconds == track[k].seconds) {
      char when[32];
      std::snprintf(when, sizeof when, "%g s", track[k].seconds);
      Fail(def, std::string("two keys at ") + when);
    }
  return track;
}

void ApplyParamValues(LoadedEffect& effect, const std::vector<ParamSetting>& settings,
                      LayerSize layer, FrameRate rate, bool undeclared_choices) {
  for (size_t i = 1; i < effect.param_count(); ++i) {
    const PF_ParamIndex index = static_cast<PF_ParamIndex>(i);
    SetDefaultValue(effect.mutable_param(index), layer);
    effect.AnimateParam(index, {});
  }
  for (const ParamSetting& s : settings) {
    const PF_ParamIndex index = FindParam(effect, s.name);
    PF_ParamDef& def = effect.mutable_param(index);
    if (IsKeyed(s.value)) {
      effect.AnimateParam(index, ParseParamTrack(def, s.value, layer, rate, undeclared_choices));
    } else {
      SetParamValue(def, s.value, layer, undeclared_choices);
      effect.AnimateParam(index, {});
    }
  }
}

void ApplyParamValues(LoadedEffect& effect, const std::vector<ParamSetting>& settings,
                      LayerSize layer) {
  ApplyParamValues(effect, settings, layer, FrameRate{}, false);
}

}  // namespace qfhost
