// Builds property-list resources byte by byte, for tests and test modules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qfhost_test {

class PiplBuilder {
 public:
  PiplBuilder& Raw(const std::string& vendor, const std::string& key, std::vector<uint8_t> data) {
    props_.push_back({vendor, key, std::move(data)});
    return *this;
  }
  PiplBuilder& Code(const std::string& key, const std::string& code) {
    std::vector<uint8_t> d;
    PutCode(d, code);
    return Raw("8BIM", key, d);
  }
  // One length byte, the characters, zeros up to `size`.
  PiplBuilder& LengthPrefixed(const std::string& key, const std::string& text, size_t size) {
    std::vector<uint8_t> d(size, 0);
    d[0] = static_cast<uint8_t>(text.size());
    for (size_t i = 0; i < text.size() && i + 1 < size; ++i)
      d[i + 1] = static_cast<uint8_t>(text[i]);
    return Raw("8BIM", key, d);
  }
  PiplBuilder& ZeroTerminated(const std::string& key, const std::string& text, size_t size) {
    std::vector<uint8_t> d(size, 0);
    for (size_t i = 0; i < text.size() && i < size; ++i) d[i] = static_cast<uint8_t>(text[i]);
    return Raw("8BIM", key, d);
  }
  PiplBuilder& U32(const std::string& key, uint32_t v) {
    std::vector<uint8_t> d;
    Put32(d, v);
    return Raw("8BIM", key, d);
  }
  PiplBuilder& U16Pair(const std::string& key, uint16_t a, uint16_t b) {
    return Raw("8BIM", key,
               {static_cast<uint8_t>(a), static_cast<uint8_t>(a >> 8), static_cast<uint8_t>(b),
                static_cast<uint8_t>(b >> 8)});
  }
  // The effect list a well-formed deliverable carries.
  PiplBuilder& Effect(const std::string& name, const std::string& entry) {
    return Code("kind", "eFKT")
        .LengthPrefixed("name", name, 20)
        .LengthPrefixed("catg", "Tests", 16)
        .ZeroTerminated("8664", entry, 16)
        .U16Pair("ePVR", 2, 0)
        .U16Pair("eSVR", 13, 2)
        .U32("eVER", 0x00100001)
        .Raw("8BIM", "eINF", {0, 0})
        .U32("eGLO", 0x06008454)
        .LengthPrefixed("eMNA", name, 20)
        .U32("aeFL", 0);
  }

  std::vector<uint8_t> Build(uint16_t version = 1) const {
    std::vector<uint8_t> out = {static_cast<uint8_t>(version), static_cast<uint8_t>(version >> 8)};
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(props_.size()));
    for (const Prop& p : props_) {
      PutCode(out, p.vendor);
      PutCode(out, p.key);
      Put32(out, 0);
      Put32(out, static_cast<uint32_t>(p.data.size()));
      out.insert(out.end(), p.data.begin(), p.data.end());
      out.insert(out.end(), (4 - p.data.size() % 4) % 4, uint8_t{0});
    }
    return out;
  }

 private:
  struct Prop {
    std::string vendor, key;
    std::vector<uint8_t> data;
  };
  static void Put32(std::vector<uint8_t>& d, uint32_t v) {
    for (int i = 0; i < 4; ++i) d.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  // Stored byte-reversed: the characters read big-end first as a 32-bit value, written
  // little-endian.
  static void PutCode(std::vector<uint8_t>& d, const std::string& code) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<uint8_t>(code[i]);
    Put32(d, v);
  }
  std::vector<Prop> props_;
};

}  // namespace qfhost_test
