// The plug-in property list ("PIPL" resource 16000): how the host learns what a
// module is and where its code starts before calling any of it.
//
// Layout, all integers little-endian: 16-bit version (1), 32-bit reserved,
// 32-bit property count, then per property: vendor code, key code (both
// four-character codes stored byte-reversed as a 32-bit value), 32-bit id,
// 32-bit data length, the data, and zeros up to a multiple of 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qfhost {

constexpr int kPiplResourceId = 16000;
constexpr const char* kPiplResourceType = "PIPL";

struct PiplProperty {
  std::string vendor;  // "8BIM" for every property the host reads
  std::string key;
  uint32_t id = 0;
  std::vector<uint8_t> data;  // without the padding
};

struct PiplVersionPair {
  uint16_t major = 0;
  uint16_t minor = 0;
};

struct PiplInfo {
  uint16_t version = 0;
  uint32_t reserved = 0;
  std::vector<PiplProperty> properties;  // in file order

  // Decoded from the properties the host knows; empty when absent.
  std::string kind;                             // "kind": "eFKT" for an effect
  std::string name;                             // "name"
  std::string category;                         // "catg"
  std::string entry_point;                      // "8664": the entry point of 64-bit x86 code
  std::string match_name;                       // "eMNA"
  std::optional<PiplVersionPair> pipl_version;  // "ePVR"
  std::optional<PiplVersionPair> spec_version;  // "eSVR"
  std::optional<uint32_t> effect_version;       // "eVER"
  std::optional<uint16_t> info_flags;           // "eINF"
  std::optional<uint32_t> global_flags;         // "eGLO"
  std::optional<uint32_t> ae_flags;             // "aeFL"
};

// Reads the list; throws HostError when it is malformed (truncated, wrong
// version, a foreign vendor, a known property of the wrong size or with
// unterminated text).
PiplInfo ParsePipl(const uint8_t* data, size_t size);

// Throws HostError unless the list describes an effect the host can start:
// kind "eFKT" and an entry point name.
void RequireEffect(const PiplInfo& pipl);

}  // namespace qfhost
