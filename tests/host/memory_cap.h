// A cap on a qf-host run's address space, for the tests that show what it does
// when memory runs short; none under AddressSanitizer, whose shadow memory
// needs far more.
#pragma once

#include <string>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QF_TEST_UNDER_ASAN 1
#endif
#endif

namespace qfhost_test {

#if defined(__SANITIZE_ADDRESS__) || defined(QF_TEST_UNDER_ASAN)
constexpr bool kMemoryCapped = false;
inline std::string MemoryCap(int) { return ""; }
#else
constexpr bool kMemoryCapped = true;
// The shell words that cap what follows at `megabytes`.
inline std::string MemoryCap(int megabytes) {
  return "ulimit -v " + std::to_string(megabytes * 1000) + "; ";
}
#endif

}  // namespace qfhost_test
