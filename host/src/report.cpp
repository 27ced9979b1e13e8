#include "qf_host/report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "text_numbers.h"

namespace qfhost {
namespace {

const char* const kKindNames[] = {
    "layer", "slider",      "fix_slider", "angle",   "checkbox",     "color",
    "point", "popup",       "custom",     "no_data", "float_slider", "arbitrary_data",
    "path",  "group_start", "group_end",  "button",
};

struct FlagName {
  uint32_t bit;
  const char* name;
};
const FlagName kOutFlagNames[] = {
    {PF_OutFlag_KEEP_RESOURCE_OPEN, "KEEP_RESOURCE_OPEN"},
    {PF_OutFlag_WIDE_TIME_INPUT, "WIDE_TIME_INPUT"},
    {PF_OutFlag_NON_PARAM_VARY, "NON_PARAM_VARY"},
    {PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING, "SEQUENCE_DATA_NEEDS_FLATTENING"},
    {PF_OutFlag_I_DO_DIALOG, "I_DO_DIALOG"},
    {PF_OutFlag_USE_OUTPUT_EXTENT, "USE_OUTPUT_EXTENT"},
    {PF_OutFlag_SEND_DO_DIALOG, "SEND_DO_DIALOG"},
    {PF_OutFlag_DISPLAY_ERROR_MESSAGE, "DISPLAY_ERROR_MESSAGE"},
    {PF_OutFlag_PIX_INDEPENDENT, "PIX_INDEPENDENT"},
    {PF_OutFlag_CUSTOM_UI, "CUSTOM_UI"},
    {PF_OutFlag_DEEP_COLOR_AWARE, "DEEP_COLOR_AWARE"},
    {PF_OutFlag_SEND_UPDATE_PARAMS_UI, "SEND_UPDATE_PARAMS_UI"},
};

Json Fixed(PF_Fixed v) { return Json::Number(FormatFixed(v)); }

Json Range(Json lo, Json hi) {
  Json a = Json::Array();
  a.Push(std::move(lo));
  a.Push(std::move(hi));
  return a;
}

Json Colour(const PF_Pixel& p) {
  Json c = Json::Object();
  c.Set("r", p.red).Set("g", p.green).Set("b", p.blue).Set("a", p.alpha);
  return c;
}

Json Point(PF_Fixed x, PF_Fixed y) {
  Json c = Json::Object();
  c.Set("x", Fixed(x)).Set("y", Fixed(y));
  return c;
}

Json Choices(const std::string& names) {
  Json a = Json::Array();
  for (const std::string& choice : PopupChoices(names)) a.Push(choice);
  return a;
}

std::string VersionText(uint32_t v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%u.%u.%u stage %u build %u", (v >> 19) & 0x7F, (v >> 15) & 0xF,
                (v >> 11) & 0xF, (v >> 9) & 0x3, v & 0x1FF);
  return buf;
}

std::string PairText(const std::optional<PiplVersionPair>& p) {
  return p ? std::to_string(p->major) + "." + std::to_string(p->minor) : std::string();
}

Json OptionalHex(const std::optional<uint32_t>& v) { return v ? Json(Hex32(*v)) : Json(); }

void AddKindFields(Json& o, const HostParam& p) {
  const PF_ParamDefUnion& u = p.def.u;
  switch (p.def.param_type) {
    case PF_Param_SLIDER:
      o.Set("valid_range", Range(u.sd.valid_min, u.sd.valid_max));
      o.Set("slider_range", Range(u.sd.slider_min, u.sd.slider_max));
      o.Set("default", u.sd.dephault).Set("value", u.sd.value);
      break;
    case PF_Param_FIX_SLIDER:
      o.Set("valid_range", Range(Fixed(u.fd.valid_min), Fixed(u.fd.valid_max)));
      o.Set("slider_range", Range(Fixed(u.fd.slider_min), Fixed(u.fd.slider_max)));
      o.Set("default", Fixed(u.fd.dephault)).Set("value", Fixed(u.fd.value));
      o.Set("precision", u.fd.precision).Set("display_flags", u.fd.display_flags);
      break;
    case PF_Param_ANGLE:
      o.Set("valid_range", Range(Fixed(u.ad.valid_min), Fixed(u.ad.valid_max)));
      o.Set("default", Fixed(u.ad.dephault)).Set("value", Fixed(u.ad.value));
      break;
    case PF_Param_CHECKBOX:
      o.Set("default", u.bd.dephault != 0).Set("value", u.bd.value != 0).Set("comment", p.text);
      break;
    case PF_Param_COLOR:
      o.Set("default", Colour(u.cd.dephault)).Set("value", Colour(u.cd.value));
      break;
    case PF_Param_POINT:
      o.Set("default", Point(u.td.x_dephault, u.td.y_dephault))
          .Set("value", Point(u.td.x_value, u.td.y_value));
      o.Set("restrict_bounds", u.td.restrict_bounds != 0);
      break;
    case PF_Param_POPUP:
      o.Set("num_choices", u.pd.num_choices).Set("choices", Choices(p.text));
      o.Set("default", u.pd.dephault).Set("value", u.pd.value);
      break;
    case PF_Param_PATH:
      o.Set("default", u.path_d.dephault).Set("value", u.path_d.path_id);
      break;
    default:
      break;
  }
}

std::string ColourText(const PF_Pixel& p) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", p.red, p.green, p.blue);
  return buf;
}

// What a parameter takes, for the help's last column.
std::string HelpText(const HostParam& p) {
  const PF_ParamDefUnion& u = p.def.u;
  switch (p.def.param_type) {
    case PF_Param_SLIDER:
      return "default " + std::to_string(u.sd.dephault) + "; valid " +
             std::to_string(u.sd.valid_min) + " to " + std::to_string(u.sd.valid_max);
    case PF_Param_FIX_SLIDER:
      return "default " + FormatFixed(u.fd.dephault) + "; valid " + FormatFixed(u.fd.valid_min) +
             " to " + FormatFixed(u.fd.valid_max);
    case PF_Param_ANGLE:
      return "default " + FormatFixed(u.ad.dephault) + " degrees; " +
             (u.ad.valid_min == 0 && u.ad.valid_max == 0
                  ? std::string("any value")
                  : "valid " + FormatFixed(u.ad.valid_min) + " to " + FormatFixed(u.ad.valid_max));
    case PF_Param_CHECKBOX:
      return std::string("default ") + (u.bd.dephault ? "on" : "off") + "; on or off";
    case PF_Param_COLOR:
      return "default " + ColourText(u.cd.dephault) + "; #rrggbb";
    case PF_Param_POINT:
      return "default " + FormatFixed(u.td.x_dephault) + "%," + FormatFixed(u.td.y_dephault) +
             "%; x,y in pixels or x%,y%";
    case PF_Param_POPUP: {
      const std::vector<std::string> choices = PopupChoices(p.text);
      const size_t d = static_cast<size_t>(u.pd.dephault);
      std::string text = "default " +
                         (d >= 1 && d <= choices.size() ? choices[d - 1] : std::to_string(d)) +
                         "; choices ";
      for (size_t i = 0; i < choices.size(); ++i) text += (i ? ", " : "") + choices[i];
      return text + " (or 1 to " + std::to_string(u.pd.num_choices) + ")";
    }
    case PF_Param_LAYER:
      return std::string(p.def.name) == "Texture reflection" ? "a picture: --reflection FILE.png"
                                                             : "takes no value here";
    case PF_Param_PATH:
      return "a mask: --mask FILE (with \"Mask kind\" on the custom path)";
    default:
      return "takes no value";
  }
}

}  // namespace

std::vector<std::string> PopupChoices(const std::string& names) {
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    const size_t bar = names.find('|', start);
    out.push_back(names.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return out;
}

const char* ParamKindName(PF_ParamType type) {
  if (type < 0 || type >= static_cast<PF_ParamType>(sizeof kKindNames / sizeof kKindNames[0]))
    return "unknown";
  return kKindNames[type];
}

std::string FormatFixed(PF_Fixed value) {
  std::string text;
  for (int decimals = 0;; ++decimals) {
    char buf[32];
    text.assign(buf, std::to_chars(buf, buf + sizeof buf, value / 65536.0, std::chars_format::fixed,
                                   decimals)
                         .ptr);
    double back = 0;
    ScanDecimal(text, &back);
    if (std::llround(back * 65536.0) == value || decimals == 6) break;
  }
  return text;
}

std::string Hex32(uint32_t value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", value);
  return buf;
}

Json InfoReport(const LoadedEffect& effect) {
  const PiplInfo& pipl = effect.deliverable().pipl();
  Json list = Json::Object();
  list.Set("version", pipl.version);
  list.Set("kind", pipl.kind).Set("name", pipl.name).Set("match_name", pipl.match_name);
  list.Set("category", pipl.category).Set("entry_point", pipl.entry_point);
  list.Set("pipl_version", PairText(pipl.pipl_version))
      .Set("spec_version", PairText(pipl.spec_version));
  list.Set("effect_version", OptionalHex(pipl.effect_version));
  list.Set("info_flags", pipl.info_flags ? Json(static_cast<unsigned>(*pipl.info_flags)) : Json());
  list.Set("global_flags", OptionalHex(pipl.global_flags));
  list.Set("ae_flags", OptionalHex(pipl.ae_flags));
  Json keys = Json::Array();
  for (const PiplProperty& p : pipl.properties) keys.Push(p.key);
  list.Set("keys", std::move(keys));

  const uint32_t version = effect.my_version();
  const uint32_t flags = static_cast<uint32_t>(effect.out_flags());
  Json setup = Json::Object();
  setup.Set("my_version", Hex32(version)).Set("my_version_value", version);
  setup.Set("version_text", VersionText(version));
  setup.Set("out_flags", Hex32(flags)).Set("out_flags_value", flags);
  Json names = Json::Array();
  uint32_t named = 0;
  for (const FlagName& f : kOutFlagNames)
    if (flags & f.bit) {
      names.Push(f.name);
      named |= f.bit;
    }
  if (flags & ~named) names.Push(Hex32(flags & ~named));
  setup.Set("out_flag_names", std::move(names));
  setup.Set("version_matches_property_list", pipl.effect_version == version);
  setup.Set("flags_match_property_list", pipl.global_flags == flags);

  Json out = Json::Object();
  out.Set("file", effect.deliverable().path());
  out.Set("property_list", std::move(list));
  out.Set("global_setup", std::move(setup));
  return out;
}

std::string ParamsHelp(const LoadedEffect& effect) {
  struct Line {
    std::string name, kind, text;
  };
  std::vector<Line> lines;
  size_t name_width = 0, kind_width = 0;
  int depth = 0;
  for (size_t i = 1; i < effect.param_count(); ++i) {
    const HostParam& p = effect.param(static_cast<PF_ParamIndex>(i));
    const std::string indent(2 + 2 * depth, ' ');
    if (p.def.param_type == PF_Param_GROUP_END) {
      depth = std::max(0, depth - 1);
      continue;
    }
    if (p.def.param_type == PF_Param_GROUP_START) {
      ++depth;
      lines.push_back({indent + p.def.name + ":", "", ""});
      continue;
    }
    lines.push_back({indent + p.def.name, ParamKindName(p.def.param_type), HelpText(p)});
    name_width = std::max(name_width, lines.back().name.size());
    kind_width = std::max(kind_width, lines.back().kind.size());
  }
  // The last column is wrapped at spaces to keep lines within kLineWidth.
  constexpr size_t kLineWidth = 100;
  const size_t column = name_width + 2 + kind_width + 2;
  std::string out;
  for (const Line& l : lines) {
    if (l.kind.empty()) {
      out += l.name + "\n";
      continue;
    }
    std::string line = l.name + std::string(name_width + 2 - l.name.size(), ' ') + l.kind +
                       std::string(kind_width + 2 - l.kind.size(), ' ');
    size_t at = 0;
    while (true) {
      size_t end = l.text.size();
      if (column + end - at > kLineWidth) {
        // After a comma or semicolon where one is in reach, else at any space.
        const size_t limit = at + (kLineWidth > column ? kLineWidth - column : 0);
        size_t space = l.text.rfind(' ', limit);
        while (space != std::string::npos && space > at && l.text[space - 1] != ',' &&
               l.text[space - 1] != ';')
          space = l.text.rfind(' ', space - 1);
        if (space == std::string::npos || space <= at) space = l.text.rfind(' ', limit);
        if (space != std::string::npos && space > at) end = space;
      }
      out += line + l.text.substr(at, end - at) + "\n";
      if (end >= l.text.size()) break;
      at = end + 1;
      line = std::string(column, ' ');
    }
  }
  return out;
}

Json ParamsReport(const LoadedEffect& effect) {
  Json out = Json::Array();
  for (size_t i = 1; i < effect.param_count(); ++i) {
    const HostParam& p = effect.param(static_cast<PF_ParamIndex>(i));
    Json o = Json::Object();
    o.Set("index", static_cast<unsigned long>(i)).Set("name", p.def.name);
    o.Set("kind", ParamKindName(p.def.param_type)).Set("kind_code", p.def.param_type);
    AddKindFields(o, p);
    o.Set("flags", p.def.flags).Set("ui_flags", p.def.ui_flags);
    o.Set("ui_width", p.def.ui_width).Set("ui_height", p.def.ui_height);
    o.Set("id", p.def.uu.id);
    out.Push(std::move(o));
  }
  return out;
}

}  // namespace qfhost
