#!/usr/bin/env bash
# Sets up, builds and runs every test, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build
(cd "$root/build" && ctest --output-on-failure -j"$(nproc)")
"$root/scripts/build.sh" build-asan -DQF_SANITIZE=ON
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$(nproc)")
