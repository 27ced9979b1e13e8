// SVG documents through pugixml, the one place the host reads XML: the first
// <path> element's path data, with entities and character references decoded.
#include <pugixml.hpp>

#include <string>

#include "qf_host/host_error.h"
#include "qf_host/mask.h"

namespace qfhost {
namespace {

// The element name without a namespace prefix, as in <svg:path>.
std::string LocalName(const pugi::xml_node& node) {
  const std::string name = node.name();
  const size_t colon = name.find(':');
  return colon == std::string::npos ? name : name.substr(colon + 1);
}

// "<g id="arc">" or "<path>", for messages.
std::string Tag(const pugi::xml_node& node) {
  const pugi::xml_attribute id = node.attribute("id");
  return "<" + std::string(node.name()) + (id ? std::string(" id=\"") + id.value() + "\"" : "") +
         ">";
}

}  // namespace

MaskPath ParseSvgFile(const std::string& text) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size());
  if (!parsed)
    throw HostError("SVG file, character " + std::to_string(parsed.offset + 1) + ": " +
                    parsed.description());
  const pugi::xml_node path = document.find_node([](const pugi::xml_node& node) {
    return node.type() == pugi::node_element && LocalName(node) == "path";
  });
  if (!path) throw HostError("no <path> element");
  // The path's vertices are taken as they stand, so a transform on it or on a
  // group around it would move the mask away from what the file shows.
  for (pugi::xml_node node = path; node.type() == pugi::node_element; node = node.parent())
    if (node.attribute("transform"))
      throw HostError(
          Tag(node) +
          " has a transform, which a mask path does not follow; apply it to the path data");
  const pugi::xml_attribute d = path.attribute("d");
  if (!d) throw HostError("the first <path> has no d attribute");
  return ParseSvgPathData(d.value());
}

}  // namespace qfhost
