// Names of scratch files for tests. Test processes run in parallel, and other
// builds may run the same tests at the same time: names carry the process id
// and the test's name. The files go when the test process ends.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

namespace qfhost_test {

struct ScratchFiles {
  std::set<std::string> names;
  ~ScratchFiles() {
    for (const std::string& name : names) std::remove(name.c_str());
  }
};
inline ScratchFiles g_scratch_files;

inline std::string TempFile(const std::string& name) {
  // A parameterised test's name carries a '/' before its parameter's.
  std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::replace(test.begin(), test.end(), '/', '_');
  const std::string path =
      ::testing::TempDir() + "qf_host_" + std::to_string(getpid()) + "_" + test + "_" + name;
  g_scratch_files.names.insert(path);
  return path;
}

}  // namespace qfhost_test
