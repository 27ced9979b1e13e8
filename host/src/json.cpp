#include "qf_host/json.h"

#include <cstdio>

namespace qfhost {
namespace {

void Quote(std::string& out, const std::string& s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

}  // namespace

Json Json::Number(std::string text) {
  Json j;
  j.kind_ = Kind::kNumber;
  j.text_ = std::move(text);
  return j;
}

Json Json::Object() {
  Json j;
  j.kind_ = Kind::kObject;
  return j;
}

Json Json::Array() {
  Json j;
  j.kind_ = Kind::kArray;
  return j;
}

Json& Json::Set(const std::string& key, Json value) {
  for (auto& item : items_)
    if (item.first == key) {
      item.second = std::move(value);
      return *this;
    }
  items_.emplace_back(key, std::move(value));
  return *this;
}

Json& Json::Push(Json value) {
  items_.emplace_back(std::string(), std::move(value));
  return *this;
}

std::string Json::Dump() const {
  std::string out;
  DumpTo(out, 0);
  out += '\n';
  return out;
}

void Json::DumpTo(std::string& out, int depth) const {
  switch (kind_) {
    case Kind::kNull: out += "null"; return;
    case Kind::kBool:
    case Kind::kNumber: out += text_; return;
    case Kind::kString: Quote(out, text_); return;
    case Kind::kArray:
    case Kind::kObject: break;
  }
  const bool object = kind_ == Kind::kObject;
  if (items_.empty()) {
    out += object ? "{}" : "[]";
    return;
  }
  // Arrays of plain values, and small objects of them, stay on one line.
  bool flat = !object || items_.size() <= 4;
  for (const auto& item : items_)
    flat = flat && item.second.kind_ != Kind::kArray && item.second.kind_ != Kind::kObject;
  out += object ? '{' : '[';
  const std::string indent(2 * (depth + 1), ' ');
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i) out += flat ? ", " : ",";
    if (!flat) out += "\n" + indent;
    if (object) {
      Quote(out, items_[i].first);
      out += ": ";
    }
    items_[i].second.DumpTo(out, depth + 1);
  }
  if (!flat) out += "\n" + std::string(2 * depth, ' ');
  out += object ? '}' : ']';
}

}  // namespace qfhost
