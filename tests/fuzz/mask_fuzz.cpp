// The three mask readers on the same text: SVG path data, an SVG document and
// JSON. Each either gives a path of at least one vertex or throws HostError.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "qf_host/host_error.h"
#include "qf_host/mask.h"

namespace {

template <class Reader>
void Read(Reader reader, const std::string& text) {
  try {
    if (reader(text).vertices.empty()) {
      std::fprintf(stderr, "mask fuzz: a mask without vertices was accepted\n");
      std::abort();
    }
  } catch (const qfhost::HostError&) {
    // A one-line refusal is the answer to a bad mask.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Read(qfhost::ParseSvgPathData, text);
  Read(qfhost::ParseSvgFile, text);
  Read(qfhost::ParseMaskJson, text);
  return 0;
}
