#include "qf_host/json.h"

#include <cstdio>

#include "qf_host/host_error.h"
#include "text_numbers.h"

namespace qfhost {
namespace {

void Quote(std::string& out, const std::string& s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
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

// Recursive descent over the text, with a bound on nesting so that no input
// can exhaust the stack.
class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}

  Json ReadDocument() {
    Json value = ReadValue(0);
    SkipSpace();
    if (at_ != text_.size()) Fail("unexpected text after the value");
    return value;
  }

 private:
  static constexpr int kMaxDepth = 64;

  [[noreturn]] void Fail(const std::string& what) const {
    size_t line = 1, column = 1;
    for (size_t i = 0; i < at_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    throw HostError("JSON line " + std::to_string(line) + " column " + std::to_string(column) +
                    ": " + what);
  }

  void SkipSpace() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  bool Take(char c) {
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  bool TakeWord(const char* word) {
    const std::string w(word);
    if (text_.compare(at_, w.size(), w) != 0) return false;
    at_ += w.size();
    return true;
  }

  Json ReadValue(int depth) {
    if (depth > kMaxDepth) Fail("nested too deeply");
    SkipSpace();
    if (at_ >= text_.size()) Fail("a value is missing");
    const char c = text_[at_];
    if (c == '{') return ReadObject(depth);
    if (c == '[') return ReadArray(depth);
    if (c == '"') return Json(ReadString());
    if (c == '-' || (c >= '0' && c <= '9')) return ReadNumber();
    if (TakeWord("true")) return Json(true);
    if (TakeWord("false")) return Json(false);
    if (TakeWord("null")) return Json();
    Fail("not a JSON value");
  }

  Json ReadObject(int depth) {
    ++at_;  // {
    Json object = Json::Object();
    SkipSpace();
    if (Take('}')) return object;
    while (true) {
      SkipSpace();
      if (at_ >= text_.size() || text_[at_] != '"') Fail("a member name in quotes is expected");
      std::string key = ReadString();
      SkipSpace();
      if (!Take(':')) Fail("':' is expected after a member name");
      object.Set(key, ReadValue(depth + 1));
      SkipSpace();
      if (Take('}')) return object;
      if (!Take(',')) Fail("',' or '}' is expected");
    }
  }

  Json ReadArray(int depth) {
    ++at_;  // [
    Json array = Json::Array();
    SkipSpace();
    if (Take(']')) return array;
    while (true) {
      array.Push(ReadValue(depth + 1));
      SkipSpace();
      if (Take(']')) return array;
      if (!Take(',')) Fail("',' or ']' is expected");
    }
  }

  Json ReadNumber() {
    const size_t start = at_;
    Take('-');
    auto digits = [this] {
      const size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ - from;
    };
    const size_t whole_start = at_;
    const size_t whole = digits();
    if (whole == 0 || (whole > 1 && text_[whole_start] == '0')) Fail("malformed number");
    if (Take('.') && digits() == 0) Fail("malformed number");
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (digits() == 0) Fail("malformed number");
    }
    return Json::Number(text_.substr(start, at_ - start));
  }

  unsigned ReadHex4() {
    if (at_ + 4 > text_.size()) Fail("short \\u escape");
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      v <<= 4;
      if (c >= '0' && c <= '9') {
        v |= static_cast<unsigned>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        v |= static_cast<unsigned>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        v |= static_cast<unsigned>(c - 'A' + 10);
      } else {
        Fail("bad \\u escape");
      }
    }
    return v;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  std::string ReadString() {
    ++at_;  // opening quote
    std::string out;
    while (true) {
      if (at_ >= text_.size()) Fail("unterminated string");
      const unsigned char c = static_cast<unsigned char>(text_[at_++]);
      if (c == '"') return out;
      if (c < 0x20) Fail("control character in a string");
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (at_ >= text_.size()) Fail("unterminated string");
      const char e = text_[at_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned code = ReadHex4();
          if (code >= 0xD800 && code < 0xDC00) {
            if (!TakeWord("\\u")) Fail("lone surrogate in \\u escape");
            const unsigned low = ReadHex4();
            if (low < 0xDC00 || low >= 0xE000) Fail("lone surrogate in \\u escape");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code < 0xE000) {
            Fail("lone surrogate in \\u escape");
          }
          AppendUtf8(out, code);
          break;
        }
        default:
          Fail("bad escape in a string");
      }
    }
  }

  const std::string& text_;
  size_t at_ = 0;
};

Json Json::Parse(const std::string& text) { return JsonReader(text).ReadDocument(); }

double Json::AsNumber() const {
  double v = 0;
  if (kind_ == Kind::kNumber) ScanDecimal(text_, &v);
  return v;
}

const Json* Json::Find(const std::string& key) const {
  if (kind_ != Kind::kObject) return nullptr;
  for (const auto& item : items_)
    if (item.first == key) return &item.second;
  return nullptr;
}

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
    case Kind::kNull:
      out += "null";
      return;
    case Kind::kBool:
    case Kind::kNumber:
      out += text_;
      return;
    case Kind::kString:
      Quote(out, text_);
      return;
    case Kind::kArray:
    case Kind::kObject:
      break;
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
