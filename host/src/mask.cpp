#include "qf_host/mask.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "qf_host/host_error.h"
#include "qf_host/json.h"
#include "text_numbers.h"

namespace qfhost {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

MaskVertex Corner(double x, double y) { return MaskVertex{x, y, x, y, x, y}; }

// SVG path data: commands and their numbers, with the current point.
class SvgPathReader {
 public:
  explicit SvgPathReader(const std::string& data) : data_(data) {}

  MaskPath Read() {
    char command = 0;
    while (true) {
      SkipSeparators();
      if (at_ >= data_.size()) break;
      const char c = data_[at_];
      if (std::isalpha(static_cast<unsigned char>(c))) {
        command = c;
        ++at_;
        if (command == 'Z' || command == 'z') {
          Close();
          continue;
        }
      } else if (command == 0) {
        Fail("path data must start with M");
      } else if (command == 'Z' || command == 'z') {
        Fail("numbers after Z");
      }
      if (closed_) Fail("more than one subpath (a mask is one path)");
      if (path_.vertices.empty() && command != 'M' && command != 'm')
        Fail("path data must start with M");
      Segment(command);
      // Numbers that follow a move are lines; those after L or C repeat them.
      if (command == 'M') command = 'L';
      if (command == 'm') command = 'l';
    }
    if (path_.vertices.empty()) throw HostError("SVG path data has no vertices");
    path_.closed = closed_;
    return path_;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw HostError("SVG path data, character " + std::to_string(at_ + 1) + ": " + what);
  }

  void SkipSeparators() {
    while (at_ < data_.size() && (IsSpace(data_[at_]) || data_[at_] == ',')) ++at_;
  }

  double Number() {
    SkipSeparators();
    double v = 0;
    const size_t length = ScanDecimal(std::string_view(data_).substr(at_), &v);
    if (length == 0)
      Fail(at_ < data_.size() ? std::string("a number is expected, not '") + data_[at_] + "'"
                              : std::string("a number is missing at the end"));
    if (!std::isfinite(v)) Fail("number out of range");
    at_ += length;
    return v;
  }

  void Point(bool relative, double* x, double* y) {
    *x = Number();
    *y = Number();
    if (relative) {
      *x += cx_;
      *y += cy_;
    }
  }

  void Segment(char command) {
    const bool relative = std::islower(static_cast<unsigned char>(command)) != 0;
    double x, y;
    switch (command) {
      case 'M':
      case 'm':
        if (!path_.vertices.empty()) Fail("more than one subpath (a mask is one path)");
        Point(relative, &x, &y);
        path_.vertices.push_back(Corner(x, y));
        break;
      case 'L':
      case 'l':
        Point(relative, &x, &y);
        path_.vertices.push_back(Corner(x, y));
        break;
      case 'C':
      case 'c': {
        double x1, y1, x2, y2;
        Point(relative, &x1, &y1);
        Point(relative, &x2, &y2);
        Point(relative, &x, &y);
        MaskVertex& last = path_.vertices.back();
        last.out_x = x1;
        last.out_y = y1;
        MaskVertex v = Corner(x, y);
        v.in_x = x2;
        v.in_y = y2;
        path_.vertices.push_back(v);
        break;
      }
      default:
        --at_;
        Fail(std::string("unsupported command '") + command + "' (M, L, C and Z are read)");
    }
    cx_ = x;
    cy_ = y;
  }

  void Close() {
    if (path_.vertices.empty()) Fail("Z before any vertex");
    if (closed_) return;
    closed_ = true;
    // A last vertex drawn back onto the first is the first: it keeps the incoming tangent.
    std::vector<MaskVertex>& v = path_.vertices;
    if (v.size() > 1 && v.back().x == v.front().x && v.back().y == v.front().y) {
      v.front().in_x = v.back().in_x;
      v.front().in_y = v.back().in_y;
      v.pop_back();
    }
    cx_ = v.front().x;
    cy_ = v.front().y;
  }

  const std::string& data_;
  size_t at_ = 0;
  double cx_ = 0, cy_ = 0;  // the current point
  bool closed_ = false;
  MaskPath path_;
};

void ReadPoint(const Json& value, const std::string& where, double* x, double* y) {
  if (!value.IsArray() || value.size() != 2 || !value[0].IsNumber() || !value[1].IsNumber())
    throw HostError(where + " must be [x, y]");
  *x = value[0].AsNumber();
  *y = value[1].AsNumber();
}

double ReadCoordinate(const Json& vertex, const char* key, const std::string& where) {
  const Json* v = vertex.Find(key);
  if (!v || !v->IsNumber()) throw HostError(where + " needs a number \"" + key + "\"");
  return v->AsNumber();
}

MaskVertex ReadJsonVertex(const Json& vertex, size_t index) {
  const std::string where = "mask vertex " + std::to_string(index);
  if (!vertex.IsObject()) throw HostError(where + " is not an object");
  for (const auto& item : vertex.items())
    if (item.first != "x" && item.first != "y" && item.first != "in" && item.first != "out")
      throw HostError(where + ": unknown key \"" + item.first + "\" (x, y, in, out)");
  MaskVertex v = Corner(ReadCoordinate(vertex, "x", where), ReadCoordinate(vertex, "y", where));
  if (const Json* in = vertex.Find("in")) ReadPoint(*in, where + " \"in\"", &v.in_x, &v.in_y);
  if (const Json* out = vertex.Find("out")) ReadPoint(*out, where + " \"out\"", &v.out_x, &v.out_y);
  for (double c : {v.x, v.y, v.in_x, v.in_y, v.out_x, v.out_y})
    if (!std::isfinite(c)) throw HostError(where + ": coordinate out of range");
  return v;
}

MaskPath MaskFromJson(const Json& root) {
  if (!root.IsObject() && !root.IsArray())
    throw HostError(std::string("mask: JSON ") +
                    (root.IsNull()     ? "null"
                     : root.IsBool()   ? "true or false"
                     : root.IsNumber() ? "number"
                                       : "string") +
                    " is no mask (an object with \"vertices\", or an array of vertices)");
  MaskPath path;
  const Json* vertices = &root;
  if (root.IsObject()) {
    for (const auto& item : root.items())
      if (item.first != "closed" && item.first != "vertices")
        throw HostError("mask: unknown key \"" + item.first + "\" (closed, vertices)");
    if (const Json* closed = root.Find("closed")) {
      if (!closed->IsBool()) throw HostError("mask: \"closed\" must be true or false");
      path.closed = closed->AsBool();
    }
    vertices = root.Find("vertices");
    if (!vertices) throw HostError("mask: \"vertices\" is missing");
  }
  if (!vertices->IsArray()) throw HostError("mask: the vertices must be a JSON array");
  for (size_t i = 0; i < vertices->size(); ++i)
    path.vertices.push_back(ReadJsonVertex((*vertices)[i], i));
  if (path.vertices.empty()) throw HostError("mask has no vertices");
  return path;
}

}  // namespace

MaskPath ParseSvgPathData(const std::string& data) { return SvgPathReader(data).Read(); }

MaskPath ParseMaskJson(const std::string& text) { return MaskFromJson(Json::Parse(text)); }

MaskPath LoadMask(const std::string& path) {
  // A folder opens as a stream that reads nothing.
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw HostError(path + ": " + std::strerror(EISDIR));
  std::ifstream file(path, std::ios::binary);
  if (!file) throw HostError(path + ": " + std::strerror(errno));
  std::stringstream buffer;
  buffer << file.rdbuf();
  if (file.bad()) throw HostError(path + ": cannot be read");
  const std::string text = buffer.str();
  size_t first = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) first = 3;  // a UTF-8 byte-order mark
  while (first < text.size() && IsSpace(text[first])) ++first;
  try {
    if (first < text.size() && (text[first] == '[' || text[first] == '{'))
      return ParseMaskJson(text);
    if (first < text.size() && text[first] == '<') return ParseSvgFile(text);
    // Path data starts with M; anything else that reads as JSON (null, 42,
    // "text") is a JSON value of the wrong kind.
    if (first < text.size() && text[first] != 'M' && text[first] != 'm') {
      std::optional<Json> json;
      try {
        json = Json::Parse(text.substr(first));
      } catch (const HostError&) {
        // Not JSON: read as path data, whose error names the fault.
      }
      if (json) return MaskFromJson(*json);
    }
    return ParseSvgPathData(text.substr(first));
  } catch (const HostError& e) {
    throw HostError(path + ": " + e.what());
  }
}

}  // namespace qfhost
