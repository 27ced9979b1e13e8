// qf-rc: the resource compiler. Reads a build's resource script and writes a
// C++ source that defines the module's resource table, qf_module_resources,
// which the module start-up registers with the Windows stand-in; or, with
// --windres, a script for windres, the Windows build's resource compiler, with
// each resource's data in a file of its own (OUTPUT.<n>.bin) that it names.
//
//   qf-rc -o table.cpp [-d table.d] script.rc
//   qf-rc --windres -o module.rc [-d module.d] script.rc
//
// Script format. '#' starts a comment that runs to the end of the line. Each
// resource is
//
//   <id> <type> [LANG <language>] <body>
//
// with an integer id (0 to 65535) and one of these types:
//
//   PIPL    a plug-in property list, of the resource type named "PIPL". The body is
//           { ... } with one property a line, in the order they are stored:
//             kind  <code>             4-character code, e.g. eFKT
//             name  "<text>" [<size>]  one length byte, the characters, zeros up to size
//             catg  "<text>" [<size>]  likewise
//             eMNA  "<text>" [<size>]  likewise
//             8664  "<text>" [<size>]  the characters, a zero, zeros up to size
//             ePVR  <major> <minor>    two 16-bit values
//             eSVR  <major> <minor>    two 16-bit values
//             eVER  <value>            32-bit value
//             eGLO  <value>            32-bit value
//             aeFL  <value>            32-bit value
//             eINF  <value>            16-bit value
//           A text's size defaults to the smallest multiple of 4 that holds it.
//           The list is a 16-bit version (1), a 32-bit reserved zero and a 32-bit
//           count, then each property: vendor "8BIM", key, id 0, data length, the
//           data and zeros up to a multiple of 4. Integers are little-endian and a
//           4-character code is stored as the 32-bit value of its characters read
//           first-character-highest, so it appears reversed.
//   BITMAP  "<file>": a 24-bit uncompressed BMP file, relative to the script's
//           folder, of type RT_BITMAP. It is stored as a packed device-independent
//           bitmap, the file less its 14-byte file header, as Windows keeps bitmaps.
//   DIALOG  a dialog template, of type RT_DIALOG, stored as Windows loads it (the
//           template header, then each control on a 4-byte boundary). The body is
//           { ... } with one entry a line:
//             caption "<text>"
//             size    <width> <height>         in dialog units
//             font    <points> "<face>"        (the style should then hold 0x40)
//             style   <value>
//             control <class> <id> <x> <y> <width> <height> <style> <content>
//           A class is BUTTON, EDIT, STATIC, LISTBOX, SCROLLBAR or COMBOBOX (stored
//           as the system's class number) or a quoted class name; an id is a
//           number or "none" (0xFFFF); the content is a quoted text or the number
//           of a resource (a picture's bitmap). Texts are stored as UTF-16 and
//           take plain ASCII only.
//
// Numbers are decimal or 0x-prefixed hexadecimal. The language defaults to 0
// (neutral). With -d, a make-style dependency file naming the script and the
// bitmap files is written as well.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

struct CompileError : std::runtime_error {
  CompileError(int line, const std::string& what) : std::runtime_error(what), line(line) {}
  int line;
};

struct Token {
  enum Kind { kWord, kText, kOpen, kClose } kind;
  std::string text;
  int line;
};

std::vector<Token> Tokenize(const std::string& src) {
  std::vector<Token> out;
  int line = 1;
  size_t i = 0;
  while (i < src.size()) {
    const char c = src[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      while (i < src.size() && src[i] != '\n') ++i;
    } else if (c == '{' || c == '}') {
      out.push_back({c == '{' ? Token::kOpen : Token::kClose, std::string(1, c), line});
      ++i;
    } else if (c == '"') {
      std::string text;
      for (++i;; ++i) {
        if (i >= src.size() || src[i] == '\n') throw CompileError(line, "unterminated text");
        if (src[i] == '"') break;
        if (src[i] == '\\' && i + 1 < src.size() && (src[i + 1] == '"' || src[i + 1] == '\\')) ++i;
        text += src[i];
      }
      ++i;
      out.push_back({Token::kText, text, line});
    } else {
      std::string word;
      while (i < src.size() && !std::strchr(" \t\r\n{}\"#", src[i])) word += src[i++];
      out.push_back({Token::kWord, word, line});
    }
  }
  return out;
}

uint32_t Number(const Token& t, uint32_t max, const char* what) {
  if (t.kind != Token::kWord || t.text.empty() || t.text[0] == '-' || t.text[0] == '+')
    throw CompileError(t.line, std::string("expected ") + what + ", found '" + t.text + "'");
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(t.text.c_str(), &end, 0);
  if (*end != '\0' || errno == ERANGE)
    throw CompileError(t.line, std::string("expected ") + what + ", found '" + t.text + "'");
  if (v > max) throw CompileError(t.line, std::string(what) + " " + t.text + " is out of range");
  return static_cast<uint32_t>(v);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutCode(std::vector<uint8_t>& out, const std::string& code) {
  Put32(out, static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24 |
                 static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16 |
                 static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8 |
                 static_cast<uint8_t>(code[3]));
}

// How a property's values become its data.
enum class Encoding { kCode, kLengthPrefixed, kZeroTerminated, kU16Pair, kU32, kU16 };

struct PropertyKind {
  const char* key;
  Encoding encoding;
};
constexpr PropertyKind kProperties[] = {
    {"kind", Encoding::kCode},
    {"name", Encoding::kLengthPrefixed},
    {"catg", Encoding::kLengthPrefixed},
    {"eMNA", Encoding::kLengthPrefixed},
    {"8664", Encoding::kZeroTerminated},
    {"ePVR", Encoding::kU16Pair},
    {"eSVR", Encoding::kU16Pair},
    {"eVER", Encoding::kU32},
    {"eGLO", Encoding::kU32},
    {"aeFL", Encoding::kU32},
    {"eINF", Encoding::kU16},
};

void Expect(const std::vector<Token>& values, size_t min, size_t max, const Token& key) {
  if (values.size() < min || values.size() > max)
    throw CompileError(key.line, "property '" + key.text + "' takes " + std::to_string(min) +
                                     (max > min ? " or " + std::to_string(max) : std::string()) +
                                     " value(s)");
}

std::vector<uint8_t> TextData(const Token& key, const std::vector<Token>& values,
                              bool length_prefixed) {
  Expect(values, 1, 2, key);
  if (values[0].kind != Token::kText)
    throw CompileError(key.line, "property '" + key.text + "' takes a quoted text");
  const std::string& text = values[0].text;
  if (length_prefixed && text.size() > 255)
    throw CompileError(key.line, "text of '" + key.text + "' is longer than 255 characters");
  const size_t needed = text.size() + 1;
  const size_t size =
      values.size() == 2 ? Number(values[1], 0xFFFF, "a size") : (needed + 3) / 4 * 4;
  if (size < needed)
    throw CompileError(key.line, "text of '" + key.text + "' needs " + std::to_string(needed) +
                                     " bytes, size is " + std::to_string(size));
  std::vector<uint8_t> data(size, 0);
  const size_t at = length_prefixed ? 1 : 0;
  if (length_prefixed) data[0] = static_cast<uint8_t>(text.size());
  std::memcpy(data.data() + at, text.data(), text.size());
  return data;
}

std::vector<uint8_t> PropertyData(const Token& key, Encoding encoding,
                                  const std::vector<Token>& values) {
  std::vector<uint8_t> data;
  switch (encoding) {
    case Encoding::kCode:
      Expect(values, 1, 1, key);
      if (values[0].text.size() != 4)
        throw CompileError(key.line, "'" + values[0].text + "' is not a 4-character code");
      PutCode(data, values[0].text);
      break;
    case Encoding::kLengthPrefixed:
      return TextData(key, values, true);
    case Encoding::kZeroTerminated:
      return TextData(key, values, false);
    case Encoding::kU16Pair:
      Expect(values, 2, 2, key);
      Put16(data, Number(values[0], 0xFFFF, "a 16-bit value"));
      Put16(data, Number(values[1], 0xFFFF, "a 16-bit value"));
      break;
    case Encoding::kU32:
      Expect(values, 1, 1, key);
      Put32(data, Number(values[0], 0xFFFFFFFFu, "a 32-bit value"));
      break;
    case Encoding::kU16:
      Expect(values, 1, 1, key);
      Put16(data, Number(values[0], 0xFFFF, "a 16-bit value"));
      break;
  }
  return data;
}

struct Resource {
  uint32_t type;          // integer type, or 0 with type_name
  std::string type_name;  // empty for integer types
  uint32_t id;
  uint32_t language;
  std::vector<uint8_t> data;
  int line;
};

class Parser {
 public:
  Parser(std::vector<Token> tokens, std::string folder)
      : t_(std::move(tokens)), folder_(std::move(folder)) {}

  std::vector<Resource> Script() {
    std::vector<Resource> out;
    std::set<std::pair<std::string, uint32_t>> seen;
    while (pos_ < t_.size()) {
      Resource r = Statement();
      const std::string type_key = r.type_name.empty() ? std::to_string(r.type) : r.type_name;
      if (!seen.insert({type_key, r.id}).second)
        throw CompileError(r.line,
                           "resource " + std::to_string(r.id) + " of this type is defined twice");
      out.push_back(std::move(r));
    }
    return out;
  }

  const std::vector<std::string>& Inputs() const { return inputs_; }

 private:
  const Token& Next(const char* what) {
    if (pos_ >= t_.size())
      throw CompileError(t_.empty() ? 1 : t_.back().line,
                         std::string("script ends where ") + what + " should be");
    return t_[pos_++];
  }

  Resource Statement() {
    Resource r{};
    const Token& id = Next("a resource id");
    r.line = id.line;
    r.id = Number(id, 0xFFFF, "a resource id");
    const Token& type = Next("a resource type");
    if (pos_ < t_.size() && t_[pos_].kind == Token::kWord && t_[pos_].text == "LANG") {
      ++pos_;
      r.language = Number(Next("a language"), 0xFFFF, "a language");
    }
    if (type.kind == Token::kWord && type.text == "PIPL") {
      r.type_name = "PIPL";
      r.data = PropertyList();
    } else if (type.kind == Token::kWord && type.text == "BITMAP") {
      r.type = 2;
      const Token& file = Next("a bitmap file");
      if (file.kind != Token::kText)
        throw CompileError(file.line, "BITMAP takes a quoted file name");
      r.data = Bitmap(file);
    } else if (type.kind == Token::kWord && type.text == "DIALOG") {
      r.type = 5;
      r.data = DialogTemplate();
    } else {
      throw CompileError(type.line, "unknown resource type '" + type.text + "'");
    }
    return r;
  }

  std::vector<uint8_t> PropertyList() {
    const Token& open = Next("'{'");
    if (open.kind != Token::kOpen) throw CompileError(open.line, "expected '{' after PIPL");
    std::vector<uint8_t> body;
    uint32_t count = 0;
    for (;;) {
      const Token& key = Next("'}'");
      if (key.kind == Token::kClose) break;
      const PropertyKind* kind = nullptr;
      for (const PropertyKind& k : kProperties)
        if (key.kind == Token::kWord && key.text == k.key) kind = &k;
      if (!kind) throw CompileError(key.line, "unknown property '" + key.text + "'");
      const std::vector<uint8_t> data = PropertyData(key, kind->encoding, LineValues(key));
      PutCode(body, "8BIM");
      PutCode(body, key.text);
      Put32(body, 0);
      Put32(body, static_cast<uint32_t>(data.size()));
      body.insert(body.end(), data.begin(), data.end());
      body.resize((body.size() + 3) / 4 * 4, 0);
      ++count;
    }
    std::vector<uint8_t> out;
    Put16(out, 1);
    Put32(out, 0);
    Put32(out, count);
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }

  // The values that follow a key on its line.
  std::vector<Token> LineValues(const Token& key) {
    std::vector<Token> values;
    while (pos_ < t_.size() && t_[pos_].line == key.line && t_[pos_].kind != Token::kClose &&
           t_[pos_].kind != Token::kOpen)
      values.push_back(t_[pos_++]);
    return values;
  }

  static void PutText(std::vector<uint8_t>& out, const Token& text) {
    if (text.kind != Token::kText) throw CompileError(text.line, "expected a quoted text");
    for (char c : text.text) {
      if (static_cast<unsigned char>(c) >= 0x80)
        throw CompileError(text.line, "dialog texts take plain ASCII only");
      Put16(out, static_cast<uint8_t>(c));
    }
    Put16(out, 0);
  }

  static uint32_t Signed16(const Token& t, const char* what) { return Number(t, 0x7FFF, what); }

  std::vector<uint8_t> DialogTemplate() {
    const Token& open = Next("'{'");
    if (open.kind != Token::kOpen) throw CompileError(open.line, "expected '{' after DIALOG");
    Token caption{Token::kText, "", open.line}, face{Token::kText, "", open.line};
    uint32_t style = 0, width = 0, height = 0, points = 0;
    bool has_font = false;
    std::vector<std::vector<uint8_t>> controls;
    for (;;) {
      const Token& key = Next("'}'");
      if (key.kind == Token::kClose) break;
      const std::vector<Token> values = LineValues(key);
      auto expect = [&](size_t count) {
        if (values.size() != count)
          throw CompileError(key.line,
                             "'" + key.text + "' takes " + std::to_string(count) + " value(s)");
      };
      if (key.text == "caption") {
        expect(1);
        caption = values[0];
      } else if (key.text == "size") {
        expect(2);
        width = Signed16(values[0], "a width");
        height = Signed16(values[1], "a height");
      } else if (key.text == "font") {
        expect(2);
        points = Number(values[0], 0xFFFF, "a point size");
        face = values[1];
        has_font = true;
      } else if (key.text == "style") {
        expect(1);
        style = Number(values[0], 0xFFFFFFFFu, "a style");
      } else if (key.text == "control") {
        expect(8);
        controls.push_back(DialogControl(values));
      } else {
        throw CompileError(key.line, "unknown dialog entry '" + key.text + "'");
      }
    }
    constexpr uint32_t kSetFont = 0x40;
    if (has_font != ((style & kSetFont) != 0))
      throw CompileError(open.line, "a dialog's font and its style's 0x40 go together");
    std::vector<uint8_t> out;
    Put32(out, style);
    Put32(out, 0);  // extended style
    Put16(out, static_cast<uint32_t>(controls.size()));
    for (uint32_t v : {0u, 0u, width, height}) Put16(out, v);
    Put16(out, 0);  // no menu
    Put16(out, 0);  // the system's dialog class
    PutText(out, caption);
    if (has_font) {
      Put16(out, points);
      PutText(out, face);
    }
    for (const std::vector<uint8_t>& control : controls) {
      out.resize((out.size() + 3) / 4 * 4, 0);
      out.insert(out.end(), control.begin(), control.end());
    }
    return out;
  }

  // class id x y width height style content
  static std::vector<uint8_t> DialogControl(const std::vector<Token>& v) {
    static const char* const kSystemClasses[] = {"BUTTON",  "EDIT",      "STATIC",
                                                 "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    std::vector<uint8_t> out;
    Put32(out, Number(v[6], 0xFFFFFFFFu, "a style"));
    Put32(out, 0);  // extended style
    Put16(out, Signed16(v[2], "an x"));
    Put16(out, Signed16(v[3], "a y"));
    Put16(out, Signed16(v[4], "a width"));
    Put16(out, Signed16(v[5], "a height"));
    Put16(out, v[1].kind == Token::kWord && v[1].text == "none"
                   ? 0xFFFF
                   : Number(v[1], 0xFFFE, "a control id"));
    if (v[0].kind == Token::kText) {
      PutText(out, v[0]);
    } else {
      uint32_t atom = 0;
      for (uint32_t i = 0; i < 6; ++i)
        if (v[0].text == kSystemClasses[i]) atom = 0x80 + i;
      if (!atom) throw CompileError(v[0].line, "unknown control class '" + v[0].text + "'");
      Put16(out, 0xFFFF);
      Put16(out, atom);
    }
    if (v[7].kind == Token::kText) {
      PutText(out, v[7]);
    } else {
      Put16(out, 0xFFFF);
      Put16(out, Number(v[7], 0xFFFF, "a resource id"));
    }
    Put16(out, 0);  // no creation data
    return out;
  }

  std::vector<uint8_t> Bitmap(const Token& file) {
    const std::string path =
        file.text.size() && file.text[0] == '/' ? file.text : folder_ + file.text;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CompileError(file.line, "cannot read bitmap '" + path + "'");
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    inputs_.push_back(path);
    auto u16 = [&](size_t at) { return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    auto fail = [&](const std::string& why) {
      return CompileError(file.line, "bitmap '" + path + "': " + why);
    };
    constexpr size_t kFileHeader = 14;
    if (bytes.size() < kFileHeader + 40 || bytes[0] != 'B' || bytes[1] != 'M')
      throw fail("not a BMP file");
    const uint32_t info_size = u32(14);
    const int32_t width = static_cast<int32_t>(u32(18));
    const int32_t height = static_cast<int32_t>(u32(22));
    if (info_size < 40 || kFileHeader + info_size > bytes.size()) throw fail("bad info header");
    if (u16(26) != 1 || u16(28) != 24 || u32(30) != 0)
      throw fail("not a 24-bit uncompressed bitmap");
    if (width <= 0 || height == 0 || height == INT32_MIN || width > (1 << 15) ||
        height > (1 << 15) || height < -(1 << 15))
      throw fail("bad size");
    if (u32(46) != 0) throw fail("a 24-bit bitmap carries no colour table here");
    if (u32(10) != kFileHeader + info_size) throw fail("pixels do not follow the header");
    const size_t rows = static_cast<size_t>(height < 0 ? -height : height);
    const size_t stride = (static_cast<size_t>(width) * 24 + 31) / 32 * 4;
    if (bytes.size() - kFileHeader - info_size < stride * rows) throw fail("truncated pixel data");
    return std::vector<uint8_t>(bytes.begin() + kFileHeader,
                                bytes.begin() + kFileHeader + info_size + stride * rows);
  }

  std::vector<Token> t_;
  std::string folder_;
  size_t pos_ = 0;
  std::vector<std::string> inputs_;
};

std::string Generate(const std::vector<Resource>& resources, const std::string& script) {
  std::ostringstream o;
  o << "// Generated by qf-rc from " << script
    << ". Do not edit.\n#include <windows.h>\n\nnamespace {\n";
  for (size_t i = 0; i < resources.size(); ++i) {
    const std::vector<uint8_t>& d = resources[i].data;
    o << "\nalignas(4) const unsigned char resource" << i << "[" << d.size() << "] = {";
    for (size_t b = 0; b < d.size(); ++b) {
      if (b % 16 == 0) o << "\n   ";
      char hex[8];
      std::snprintf(hex, sizeof hex, " 0x%02x,", d[b]);
      o << hex;
    }
    o << "\n};\n";
  }
  if (!resources.empty()) {
    o << "\nconst QFResourceEntry entries[] = {\n";
    for (size_t i = 0; i < resources.size(); ++i) {
      const Resource& r = resources[i];
      o << "    {" << r.type << ", "
        << (r.type_name.empty() ? "nullptr" : "\"" + r.type_name + "\"") << ", " << r.id << ", "
        << r.language << ", resource" << i << ", " << r.data.size() << "},\n";
    }
    o << "};\n";
  }
  o << "\n}  // namespace\n\nextern \"C\" __attribute__((visibility(\"hidden\"))) const "
       "QFResourceTable "
       "qf_module_resources;\nconst QFResourceTable qf_module_resources = {"
    << (resources.empty() ? "nullptr, 0" : "entries, " + std::to_string(resources.size()))
    << "};\n";
  return o.str();
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

// Writes each resource's data next to the script, byte for byte what the table
// would hold, and a windres script that names them. Resource types stay what
// they are: PIPL by name, a bitmap as type 2 (raw packed bitmap data), a
// dialog as type 5 (the template as built here).
bool GenerateWindres(const std::vector<Resource>& resources, const std::string& script,
                     const std::string& output, std::string& text) {
  std::ostringstream o;
  o << "// Generated by qf-rc from " << script << ". Do not edit.\n";
  for (size_t i = 0; i < resources.size(); ++i) {
    const Resource& r = resources[i];
    const std::string data_path = output + "." + std::to_string(i) + ".bin";
    if (!WriteFile(data_path, std::string(r.data.begin(), r.data.end()))) {
      std::fprintf(stderr, "%s: cannot be written\n", data_path.c_str());
      return false;
    }
    std::string quoted;
    for (char c : data_path) {
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
    // A language id is the primary language in its low 10 bits, the sublanguage above.
    o << "\nLANGUAGE " << (r.language & 0x3FF) << ", " << (r.language >> 10) << "\n"
      << r.id << " " << (r.type_name.empty() ? std::to_string(r.type) : r.type_name) << " \""
      << quoted << "\"\n";
  }
  text = o.str();
  return true;
}

std::string MakeEscape(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == ' ' || c == '#' || c == '\\') out += '\\';
    if (c == '$') out += '$';
    out += c;
  }
  return out;
}

int Usage() {
  std::fprintf(stderr, "usage: qf-rc [--windres] -o OUTPUT [-d DEPFILE] SCRIPT.rc\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output, depfile, script;
  bool windres = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--windres")
      windres = true;
    else if ((a == "-o" || a == "-d") && i + 1 < argc)
      (a == "-o" ? output : depfile) = argv[++i];
    else if (!a.empty() && a[0] != '-' && script.empty())
      script = a;
    else
      return Usage();
  }
  if (output.empty() || script.empty()) return Usage();

  std::ifstream in(script, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot be read\n", script.c_str());
    return 1;
  }
  const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t slash = script.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : script.substr(0, slash + 1);
  try {
    Parser parser(Tokenize(source), folder);
    const std::vector<Resource> resources = parser.Script();
    std::string text;
    if (!windres)
      text = Generate(resources, script);
    else if (!GenerateWindres(resources, script, output, text))
      return 1;
    if (!WriteFile(output, text)) {
      std::fprintf(stderr, "%s: cannot be written\n", output.c_str());
      return 1;
    }
    if (!depfile.empty()) {
      std::string deps = MakeEscape(output) + ": " + MakeEscape(script);
      for (const std::string& input : parser.Inputs()) deps += " " + MakeEscape(input);
      if (!WriteFile(depfile, deps + "\n")) {
        std::fprintf(stderr, "%s: cannot be written\n", depfile.c_str());
        return 1;
      }
    }
  } catch (const CompileError& e) {
    std::fprintf(stderr, "%s:%d: %s\n", script.c_str(), e.line, e.what());
    std::remove(output.c_str());
    return 1;
  }
  return 0;
}
