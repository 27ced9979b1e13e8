// The message of the host error that a call raises, for tests of refused input.
#pragma once

#include <functional>
#include <string>

#include "qf_host/host_error.h"

namespace qfhost_test {

inline std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const qfhost::HostError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace qfhost_test
