// The message of the host error that a call raises, for tests of refused input.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

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

// An input that a reader refuses, and words its message must hold.
struct Refusal {
  const char* input;
  const char* reason;
};

// Each input, given to `read`, raises a host error that holds its reason.
inline void ExpectRefusals(const std::function<void(const char*)>& read,
                           const std::vector<Refusal>& refusals) {
  for (const Refusal& r : refusals) {
    const std::string message = ErrorOf([&] { read(r.input); });
    EXPECT_NE(message.find(r.reason), std::string::npos) << r.input << ": " << message;
  }
}

}  // namespace qfhost_test
