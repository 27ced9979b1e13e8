// qf-rc: compiles a resource script into a C++ table of resources that the
// Windows stand-in serves from the module it is linked into.
//
// Script lines (# starts a comment):
//   BITMAP <id> "<file.bmp>"          a bitmap file, stored without its file header
//   PIPL <id> LANG <language>         a plug-in property list, then its properties:
//     <key> "<text>" <length>         length-prefixed text in <length> bytes (name, catg, eMNA)
//     <key> cstring "<text>" <length> zero-terminated text in <length> bytes (8664)
//     <key> code <four characters>    a four-character code (kind)
//     <key> u16 <a> <b>               two 16-bit values (ePVR, eSVR)
//     <key> u16 <a>                   one 16-bit value (eINF)
//     <key> u32 <value>               a 32-bit value (eVER, eGLO, aeFL)
//   END
// Every four-character code is stored byte-reversed as a little-endian
// 32-bit value, and each property's data is padded with zeros to 4 bytes.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Resource {
  std::string type;  // "BITMAP" or "PIPL"
  unsigned long id = 0;
  unsigned language = 1033;
  std::vector<unsigned char> data;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  std::cerr << "qf-rc: " << where << ": " << what << "\n";
  std::exit(1);
}

void Put16(std::vector<unsigned char>& out, unsigned long v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<unsigned char>& out, unsigned long v) {
  Put16(out, v & 0xFFFF);
  Put16(out, (v >> 16) & 0xFFFF);
}
// A four-character code as the value whose big-endian bytes spell it, stored little-endian.
void PutCode(std::vector<unsigned char>& out, const std::string& code, const std::string& where) {
  if (code.size() != 4) Fail(where, "a four-character code is needed, not '" + code + "'");
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<unsigned char>(code[i]));
}

// Splits a line into words, keeping "quoted text" as one word without its quotes.
std::vector<std::string> Words(const std::string& line, const std::string& where) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
    } else if (line[i] == '#') {
      break;
    } else if (line[i] == '"') {
      size_t end = line.find('"', i + 1);
      if (end == std::string::npos) Fail(where, "unterminated text");
      words.push_back(line.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      size_t end = line.find_first_of(" \t\r#", i);
      if (end == std::string::npos) end = line.size();
      words.push_back(line.substr(i, end - i));
      i = end;
    }
  }
  return words;
}

unsigned long Number(const std::string& word, const std::string& where) {
  char* end = nullptr;
  unsigned long v = std::strtoul(word.c_str(), &end, 0);
  if (word.empty() || *end) Fail(where, "not a number: '" + word + "'");
  return v;
}

std::vector<unsigned char> PropertyData(const std::vector<std::string>& w, const std::string& where) {
  std::vector<unsigned char> data;
  if (w.size() == 3 && w[1] != "code" && w[1] != "u16" && w[1] != "u32") {
    const std::string& text = w[1];
    const unsigned long length = Number(w[2], where);
    if (text.size() + 1 > length || text.size() > 255) Fail(where, "text longer than its length");
    data.push_back(static_cast<unsigned char>(text.size()));
    data.insert(data.end(), text.begin(), text.end());
    data.resize(length, 0);
  } else if (w.size() == 4 && w[1] == "cstring") {
    const unsigned long length = Number(w[3], where);
    if (w[2].size() + 1 > length) Fail(where, "text longer than its length");
    data.assign(w[2].begin(), w[2].end());
    data.resize(length, 0);
  } else if (w.size() == 3 && w[1] == "code") {
    PutCode(data, w[2], where);
  } else if ((w.size() == 3 || w.size() == 4) && w[1] == "u16") {
    for (size_t i = 2; i < w.size(); ++i) Put16(data, Number(w[i], where));
  } else if (w.size() == 3 && w[1] == "u32") {
    Put32(data, Number(w[2], where));
  } else {
    Fail(where, "unknown property form");
  }
  return data;
}

std::vector<unsigned char> ReadBitmap(const std::string& path, const std::string& where) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(where, "cannot read " + path);
  std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') Fail(where, path + " is not a BMP file");
  return std::vector<unsigned char>(file.begin() + 14, file.end());
}

std::vector<Resource> Parse(const std::string& script_path) {
  std::ifstream in(script_path);
  if (!in) Fail(script_path, "cannot read the script");
  const std::string folder = script_path.substr(0, script_path.find_last_of('/') + 1);
  std::vector<Resource> resources;
  std::string line;
  int number = 0;
  Resource* pipl = nullptr;
  std::vector<std::vector<unsigned char>> properties;
  while (std::getline(in, line)) {
    const std::string where = script_path + ":" + std::to_string(++number);
    std::vector<std::string> w = Words(line, where);
    if (w.empty()) continue;
    if (pipl) {
      if (w[0] == "END") {
        if (properties.empty()) Fail(where, "empty property list");
        Put16(pipl->data, 1);
        Put32(pipl->data, 0);
        Put32(pipl->data, properties.size());
        for (const auto& property : properties)
          pipl->data.insert(pipl->data.end(), property.begin(), property.end());
        pipl = nullptr;
        continue;
      }
      std::vector<unsigned char> data = PropertyData(w, where);
      std::vector<unsigned char> property;
      PutCode(property, "8BIM", where);
      PutCode(property, w[0], where);
      Put32(property, 0);
      Put32(property, data.size());
      property.insert(property.end(), data.begin(), data.end());
      property.resize((property.size() + 3) & ~size_t(3), 0);
      properties.push_back(property);
    } else if (w[0] == "BITMAP" && w.size() == 3) {
      Resource r;
      r.type = "BITMAP";
      r.id = Number(w[1], where);
      r.data = ReadBitmap(w[2][0] == '/' ? w[2] : folder + w[2], where);
      resources.push_back(r);
    } else if (w[0] == "PIPL" && w.size() == 4 && w[2] == "LANG") {
      Resource r;
      r.type = "PIPL";
      r.id = Number(w[1], where);
      r.language = Number(w[3], where);
      resources.push_back(r);
      pipl = &resources.back();
      properties.clear();
    } else {
      Fail(where, "unknown line");
    }
  }
  if (pipl) Fail(script_path, "property list without END");
  return resources;
}

void Emit(const std::vector<Resource>& resources, const std::string& out_path) {
  std::ostringstream out;
  out << "// Generated by qf-rc. Do not edit.\n#include <windows.h>\n\nnamespace {\n";
  for (size_t i = 0; i < resources.size(); ++i) {
    out << "const unsigned char kData" << i << "[] = {";
    for (size_t b = 0; b < resources[i].data.size(); ++b) {
      out << (b % 16 ? " " : "\n   ") << static_cast<unsigned>(resources[i].data[b]) << ",";
    }
    out << "\n};\n";
  }
  out << "const QFResourceEntry kEntries[] = {\n";
  for (size_t i = 0; i < resources.size(); ++i) {
    const Resource& r = resources[i];
    if (r.type == "BITMAP") out << "    {2, nullptr, ";
    else out << "    {0, \"" << r.type << "\", ";
    out << r.id << ", " << r.language << ", kData" << i << ", sizeof(kData" << i << ")},\n";
  }
  out << "};\n}  // namespace\n\n"
      << "extern \"C\" __attribute__((visibility(\"hidden\"))) const QFResourceTable "
         "qf_module_resources = {kEntries, "
      << resources.size() << "};\n";
  std::ofstream file(out_path);
  file << out.str();
  if (!file) Fail(out_path, "cannot write the table");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: qf-rc SCRIPT.rc OUTPUT.cpp\n";
    return 2;
  }
  std::vector<Resource> resources = Parse(argv[1]);
  if (resources.empty()) Fail(argv[1], "no resources");
  Emit(resources, argv[2]);
  return 0;
}
