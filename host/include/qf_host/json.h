// A small JSON value: the host's reports are written with it and its input
// files read into it. Objects keep their keys in the order they were set.
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

  // Reads one JSON value (surrounding white space allowed); throws HostError
  // naming the line and column of the first fault.
  static Json Parse(const std::string& text);

  bool IsNull() const { return kind_ == Kind::kNull; }
  bool IsBool() const { return kind_ == Kind::kBool; }
  bool IsNumber() const { return kind_ == Kind::kNumber; }
  bool IsString() const { return kind_ == Kind::kString; }
  bool IsArray() const { return kind_ == Kind::kArray; }
  bool IsObject() const { return kind_ == Kind::kObject; }
  bool AsBool() const { return text_ == "true"; }
  double AsNumber() const;
  const std::string& AsString() const { return text_; }
  // Elements of an array, members of an object.
  size_t size() const { return items_.size(); }
  const Json& operator[](size_t i) const { return items_[i].second; }
  // The member called key, or null when an object has none.
  const Json* Find(const std::string& key) const;
  const std::vector<std::pair<std::string, Json>>& items() const { return items_; }

  Json& Set(const std::string& key, Json value);  // on an object
  Json& Push(Json value);                         // on an array

  // Pretty-printed with two-space indents; arrays of plain values and
  // objects of up to four plain values stay on one line.
  std::string Dump() const;

 private:
  friend class JsonReader;
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  void DumpTo(std::string& out, int depth) const;

  Kind kind_ = Kind::kNull;
  std::string text_;
  std::vector<std::pair<std::string, Json>> items_;  // keys empty in arrays
};

}  // namespace qfhost
