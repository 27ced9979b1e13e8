// Mask paths that a person gives the host, in layer pixels (origin at the
// top left, y downward). Every vertex carries its two tangents as absolute
// points, as the path suites report them; a corner's tangents lie on the
// vertex itself.
//
// Two ways to write one:
//  - SVG path data (M, L, C and Z, absolute and relative, with the implicit
//    repetitions of SVG), bare or as the `d` of the first <path> of an .svg
//    file. One subpath; a transform on the path or on a group around it is
//    refused, as the mask would not be where the file shows it. A closing Z joins the last
//    vertex back to the first; when the last vertex sits on the first they are
//    one vertex.
//  - JSON: {"closed": true, "vertices": [V, ...]} or just [V, ...] (closed),
//    where V is {"x": X, "y": Y, "in": [X, Y], "out": [X, Y]}; "in" and "out"
//    are absolute points and default to the vertex itself.
#pragma once

#include <string>
#include <vector>

namespace qfhost {

struct MaskVertex {
  double x = 0, y = 0;
  double in_x = 0, in_y = 0;    // incoming tangent point
  double out_x = 0, out_y = 0;  // outgoing tangent point
};

struct MaskPath {
  std::vector<MaskVertex> vertices;  // at least one
  bool closed = true;
};

// Each throws HostError with a one-line reason.
MaskPath ParseSvgPathData(const std::string& data);
MaskPath ParseSvgFile(const std::string& text);  // the first <path> element's d (svg_file.cpp)
MaskPath ParseMaskJson(const std::string& text);

// Reads a mask file: JSON when it starts with '[' or '{', an SVG document when
// it starts with '<', SVG path data otherwise.
MaskPath LoadMask(const std::string& path);

}  // namespace qfhost
