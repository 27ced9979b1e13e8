// The property list a deliverable carries, as the loader reads and checks it
// before it calls any of the module's code.
#include <cstdint>

#include "qf_host/host_error.h"
#include "qf_host/pipl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    qfhost::RequireEffect(qfhost::ParsePipl(data, size));
  } catch (const qfhost::HostError&) {
    // A one-line refusal is the answer to a bad property list.
  }
  return 0;
}
