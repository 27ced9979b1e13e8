#include "qf_host/pipl.h"

#include "qf_host/host_error.h"

namespace qfhost {
namespace {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t left() const { return size_ - pos_; }
  void Need(size_t n, const std::string& what) const {
    if (left() < n) throw HostError("property list truncated in " + what);
  }
  uint16_t U16(const std::string& what) {
    Need(2, what);
    uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  uint32_t U32(const std::string& what) {
    Need(4, what);
    uint32_t v = static_cast<uint32_t>(data_[pos_]) |
                 (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                 (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
                 (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
  }
  const uint8_t* Bytes(size_t n, const std::string& what) {
    Need(n, what);
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// A four-character code is stored as the 32-bit value of its characters read
// big-end first, written little-endian.
std::string CodeText(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
  return s;
}

uint32_t LE32(const std::vector<uint8_t>& d) {
  return static_cast<uint32_t>(d[0]) | (static_cast<uint32_t>(d[1]) << 8) |
         (static_cast<uint32_t>(d[2]) << 16) | (static_cast<uint32_t>(d[3]) << 24);
}
uint16_t LE16(const std::vector<uint8_t>& d, size_t at) {
  return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

void RequireSize(const PiplProperty& p, size_t size) {
  if (p.data.size() != size)
    throw HostError("property list entry '" + p.key + "' has " + std::to_string(p.data.size()) +
                    " bytes, expected " + std::to_string(size));
}

std::string LengthPrefixedText(const PiplProperty& p) {
  if (p.data.empty() || p.data[0] + 1u > p.data.size())
    throw HostError("property list entry '" + p.key + "' has a bad text length");
  return std::string(reinterpret_cast<const char*>(p.data.data()) + 1, p.data[0]);
}

std::string ZeroTerminatedText(const PiplProperty& p) {
  for (size_t i = 0; i < p.data.size(); ++i)
    if (p.data[i] == 0) return std::string(reinterpret_cast<const char*>(p.data.data()), i);
  throw HostError("property list entry '" + p.key + "' is not zero-terminated");
}

PiplVersionPair VersionPair(const PiplProperty& p) {
  RequireSize(p, 4);
  return PiplVersionPair{LE16(p.data, 0), LE16(p.data, 2)};
}

void Decode(const PiplProperty& p, PiplInfo& info) {
  if (p.key == "kind") {
    RequireSize(p, 4);
    info.kind = CodeText(LE32(p.data));
  } else if (p.key == "name") {
    info.name = LengthPrefixedText(p);
  } else if (p.key == "catg") {
    info.category = LengthPrefixedText(p);
  } else if (p.key == "eMNA") {
    info.match_name = LengthPrefixedText(p);
  } else if (p.key == "8664") {
    info.entry_point = ZeroTerminatedText(p);
  } else if (p.key == "ePVR") {
    info.pipl_version = VersionPair(p);
  } else if (p.key == "eSVR") {
    info.spec_version = VersionPair(p);
  } else if (p.key == "eVER") {
    RequireSize(p, 4);
    info.effect_version = LE32(p.data);
  } else if (p.key == "eINF") {
    RequireSize(p, 2);
    info.info_flags = LE16(p.data, 0);
  } else if (p.key == "eGLO") {
    RequireSize(p, 4);
    info.global_flags = LE32(p.data);
  } else if (p.key == "aeFL") {
    RequireSize(p, 4);
    info.ae_flags = LE32(p.data);
  }
}

}  // namespace

PiplInfo ParsePipl(const uint8_t* data, size_t size) {
  Reader r(data, size);
  PiplInfo info;
  info.version = r.U16("the header");
  if (info.version != 1)
    throw HostError("property list version " + std::to_string(info.version) + " is not 1");
  info.reserved = r.U32("the header");
  const uint32_t count = r.U32("the header");
  // Every property takes at least 16 bytes, which bounds a corrupt count.
  if (count > r.left() / 16)
    throw HostError("property list truncated: " + std::to_string(count) + " entries announced");
  for (uint32_t i = 0; i < count; ++i) {
    const std::string where = "entry " + std::to_string(i + 1);
    PiplProperty p;
    p.vendor = CodeText(r.U32(where));
    p.key = CodeText(r.U32(where));
    p.id = r.U32(where);
    const uint32_t length = r.U32(where);
    const uint8_t* bytes = r.Bytes(length, where + " ('" + p.key + "')");
    p.data.assign(bytes, bytes + length);
    const size_t pad = (4 - length % 4) % 4;
    r.Bytes(pad, where + " padding");
    if (p.vendor != "8BIM")
      throw HostError("property list entry '" + p.key + "' has vendor '" + p.vendor +
                      "', expected '8BIM'");
    Decode(p, info);
    info.properties.push_back(std::move(p));
  }
  return info;
}

void RequireEffect(const PiplInfo& pipl) {
  if (pipl.kind != "eFKT")
    throw HostError(pipl.kind.empty()
                        ? std::string("property list names no kind")
                        : "property list kind '" + pipl.kind + "' is not an effect ('eFKT')");
  if (pipl.entry_point.empty())
    throw HostError("property list names no 64-bit entry point ('8664')");
}

}  // namespace qfhost
