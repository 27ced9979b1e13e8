// Runs a program as a person runs it from a shell, for tests of whole
// commands: its exit status, and what it wrote to standard output and error.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "temp_files.h"

namespace qfhost_test {

struct CommandResult {
  int status = -1;  // -1 when the program did not exit by itself
  std::string out, err;
};

inline std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// `command` and `args` as the shell reads them: quote each word that needs it.
inline CommandResult RunCommand(const std::string& command, const std::string& args) {
  const std::string out = TempFile("stdout");
  const std::string err = TempFile("stderr");
  const int raw = std::system((command + " " + args + " >'" + out + "' 2>'" + err + "'").c_str());
  CommandResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = Slurp(out);
  r.err = Slurp(err);
  return r;
}

}  // namespace qfhost_test
