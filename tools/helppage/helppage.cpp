// qf-helppage: writes the help page that the plug-in's Help button opens,
// QuillFrame/quillframeae.html next to the deliverables. It loads each
// deliverable as the host does and lists the parameters it declares, so the
// page always agrees with the build it ships with.
//
//   qf-helppage -o PAGE.html DELIVERABLE...
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "qf_host/deliverable.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/report.h"

namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Hex2(int v) {
  char text[3];
  std::snprintf(text, sizeof text, "%02x", v & 0xFF);
  return text;
}

struct Cells {
  std::string kind, dephault, values;
};

Cells Describe(const qfhost::HostParam& p) {
  const PF_ParamDefUnion& u = p.def.u;
  using qfhost::FormatFixed;
  switch (p.def.param_type) {
    case PF_Param_SLIDER:
      return {"slider", std::to_string(u.sd.dephault),
              std::to_string(u.sd.valid_min) + " to " + std::to_string(u.sd.valid_max)};
    case PF_Param_FIX_SLIDER:
      return {"slider", FormatFixed(u.fd.dephault),
              FormatFixed(u.fd.valid_min) + " to " + FormatFixed(u.fd.valid_max)};
    case PF_Param_ANGLE:
      return {
          "angle", FormatFixed(u.ad.dephault) + "&deg;",
          u.ad.valid_min == 0 && u.ad.valid_max == 0
              ? "any angle"
              : FormatFixed(u.ad.valid_min) + "&deg; to " + FormatFixed(u.ad.valid_max) + "&deg;"};
    case PF_Param_CHECKBOX:
      return {"checkbox", u.bd.dephault ? "on" : "off", "on or off"};
    case PF_Param_COLOR:
      return {"colour",
              "#" + Hex2(u.cd.dephault.red) + Hex2(u.cd.dephault.green) + Hex2(u.cd.dephault.blue),
              "any colour"};
    case PF_Param_POINT:
      return {
          "point",
          FormatFixed(u.td.x_dephault) + "%, " + FormatFixed(u.td.y_dephault) + "% of the layer",
          "anywhere on the layer"};
    case PF_Param_POPUP: {
      const std::vector<std::string> choices = qfhost::PopupChoices(p.text);
      const size_t d = static_cast<size_t>(u.pd.dephault);
      std::string list;
      for (size_t i = 0; i < choices.size(); ++i) list += (i ? ", " : "") + Escape(choices[i]);
      return {"menu", d >= 1 && d <= choices.size() ? Escape(choices[d - 1]) : std::to_string(d),
              list};
    }
    case PF_Param_LAYER:
      return {"layer", "none", "a layer of the composition"};
    case PF_Param_PATH:
      return {"mask", "none", "a mask of the layer"};
    default:
      return {"", "", ""};
  }
}

std::string Section(const qfhost::LoadedEffect& effect) {
  const std::string name = Escape(effect.deliverable().pipl().name);
  std::string file = effect.deliverable().path();
  file = file.substr(file.find_last_of("/\\") + 1);
  std::string out = "<h2>" + name + "</h2>\n<p>Shipped as <code>" + Escape(file) +
                    "</code>, under the effect category &ldquo;" +
                    Escape(effect.deliverable().pipl().category) +
                    "&rdquo;.</p>\n<table>\n"
                    "<tr><th>Parameter</th><th>Kind</th><th>Default</th><th>Values</th></tr>\n";
  int depth = 0;
  for (size_t i = 1; i < effect.param_count(); ++i) {
    const qfhost::HostParam& p = effect.param(static_cast<PF_ParamIndex>(i));
    char indent[48];
    std::snprintf(indent, sizeof indent, " style=\"padding-left: %.1fem\"", 0.5 + 1.5 * depth);
    if (p.def.param_type == PF_Param_GROUP_END) {
      if (depth > 0) --depth;
      continue;
    }
    if (p.def.param_type == PF_Param_GROUP_START) {
      out += std::string("<tr class=\"group\"><td colspan=\"4\"") + indent + ">" +
             Escape(p.def.name) + "</td></tr>\n";
      ++depth;
      continue;
    }
    const Cells cells = Describe(p);
    if (cells.kind.empty()) continue;  // the panel's own area holds no value
    out += std::string("<tr><td") + indent + ">" + Escape(p.def.name) + "</td><td>" + cells.kind +
           "</td><td>" + cells.dephault + "</td><td>" + cells.values + "</td></tr>\n";
  }
  return out + "</table>\n";
}

const char kHead[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>QuillFrame help</title>
<style>
body { font-family: Arial, sans-serif; max-width: 60em; margin: 2em auto; color: #32373c; }
h1, h2 { color: #1d3f66; }
table { border-collapse: collapse; width: 100%; margin-bottom: 2em; }
th, td { border-bottom: 1px solid #d0d0d0; padding: 0.3em 0.5em; text-align: left; vertical-align: top; }
th { background: #e8e8e8; }
tr.group td { font-weight: bold; background: #f4f4f4; }
</style>
</head>
<body>
<h1>QuillFrame</h1>
<p>QuillFrame grows an ice-like ornament of small triangles over a layer and renders it as a
shaded relief in 3D. The ornament starts from seed lines: the frame's edges, a U shape, window
panes, or a mask path you draw. From there it branches out as far as the completeness allows, so
animating the completeness lets it grow over time.</p>
<p>Apply the effect to a layer and choose a mask kind to say where the ornament grows. The
material settings give its surface: diffuse and specular light, shininess, self-illumination,
transparency, and glass that refracts the layer beneath with a touch of chromatic aberration.
The light settings place and colour the light. A texture layer can be reflected in the surface.</p>
<p>Two builds ship with this page; each lists its parameters below, in the order the effect
panel shows them, with their defaults and the values they take.</p>
)";

}  // namespace

int main(int argc, char** argv) {
  std::string output;
  std::vector<std::string> deliverables;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-o" && i + 1 < argc)
      output = argv[++i];
    else
      deliverables.push_back(a);
  }
  if (output.empty() || deliverables.empty()) {
    std::fprintf(stderr, "usage: qf-helppage -o PAGE.html DELIVERABLE...\n");
    return 2;
  }
  try {
    std::string page = kHead;
    for (const std::string& path : deliverables) {
      qfhost::HostSession host;
      qfhost::LoadedEffect effect(host, qfhost::Deliverable::Load(path));
      if (effect.GlobalSetup() != PF_Err_NONE || effect.ParamsSetup() != PF_Err_NONE)
        throw std::runtime_error(path + ": the parameters cannot be set up");
      page += Section(effect);
      effect.GlobalSetdown();
    }
    page +=
        "<p>Morrowglints &middot; <a href=\"http://example.com\">"
        "example.com</a></p>\n</body>\n</html>\n";
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out << page;
    out.close();
    if (!out) throw std::runtime_error(output + ": cannot be written");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qf-helppage: %s\n", e.what());
    std::remove(output.c_str());
    return 1;
  }
  return 0;
}
