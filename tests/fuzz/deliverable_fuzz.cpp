// A deliverable's file as the host checks it before it calls any of the
// module's code: the headers the system's loader would map it by, and the
// property list it carries. No code from the bytes is ever run.
#include <cstdint>

#include "qf_host/host_error.h"
#include "qf_host/module_image.h"
#include "qf_host/pipl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qfhost::ModuleImageProblem(data, size);
  try {
    qfhost::RequireEffect(qfhost::ParsePipl(data, size));
  } catch (const qfhost::HostError&) {
    // A one-line refusal is the answer to a bad property list.
  }
  return 0;
}
