// The one exception type of the host library: a problem that ends a host
// command, with a message fit for a single line of output.
#pragma once

#include <stdexcept>
#include <string>

namespace qfhost {

class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace qfhost
