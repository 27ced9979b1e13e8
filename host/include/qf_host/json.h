// A small JSON value for the host's reports: objects keep their keys in the
// order they were set.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qfhost {

class Json {
 public:
  Json() = default;  // null
  Json(bool b) : kind_(Kind::kBool), text_(b ? "true" : "false") {}
  Json(int v) : Json(static_cast<long long>(v)) {}
  Json(unsigned v) : Json(static_cast<unsigned long long>(v)) {}
  Json(long v) : Json(static_cast<long long>(v)) {}
  Json(unsigned long v) : Json(static_cast<unsigned long long>(v)) {}
  Json(long long v) : kind_(Kind::kNumber), text_(std::to_string(v)) {}
  Json(unsigned long long v) : kind_(Kind::kNumber), text_(std::to_string(v)) {}
  Json(const char* s) : kind_(Kind::kString), text_(s) {}
  Json(std::string s) : kind_(Kind::kString), text_(std::move(s)) {}

  // A number already written as JSON text, e.g. "0.35".
  static Json Number(std::string text);
  static Json Object();
  static Json Array();

  Json& Set(const std::string& key, Json value);  // on an object
  Json& Push(Json value);                         // on an array

  // Pretty-printed with two-space indents; arrays of plain values and
  // objects of up to four plain values stay on one line.
  std::string Dump() const;

 private:
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  void DumpTo(std::string& out, int depth) const;

  Kind kind_ = Kind::kNull;
  std::string text_;
  std::vector<std::pair<std::string, Json>> items_;  // keys empty in arrays
};

}  // namespace qfhost
