#!/usr/bin/env bash
# Sets up, builds and runs every test; then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer; the threaded tests under
# ThreadSanitizer; then the Windows build (build-win/) and its tests under
# Wine, with a virtual display; then each fuzz target for a minute, all at
# once. Each stage's time is printed at its end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
stage() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}
native() {
  "$root/scripts/build.sh" build
  (cd "$root/build" && ctest --output-on-failure -j"$jobs")
}
sanitized() {
  "$root/scripts/build.sh" build-asan -DQF_SANITIZE=ON
  (cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j"$jobs")
}
# The tests whose frames are drawn on several threads, under ThreadSanitizer:
# only their targets are built, and the frames of the modes drawn on one
# thread are left out.
threaded() {
  cmake -S "$root" -B "$root/build-tsan" -DQF_SANITIZE_THREAD=ON >/dev/null
  cmake --build "$root/build-tsan" -j"$jobs" --target qf_engine_tests qf_frames_tests
  (cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 \
    ctest --output-on-failure -j"$jobs" -R 'ReferenceRender|ReferenceFrame|Bands|SplitWork|WorkerCrew|CallerShaderHook|FarLines' \
    -E 'KeepsEveryPixel/(Rough|Subdivided|Curved)')
}
windows() {
  "$root/scripts/build.sh" build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
  (cd "$root/build-win" && xvfb-run -a ctest --output-on-failure -j"$jobs")
}
stage setup "$root/scripts/setup.sh"
stage native native
stage sanitizer sanitized
stage threads threaded
stage windows windows
# Every fuzz target replays its corpus and searches on for a minute, each on a
# core of its own; any finding fails the stage.
stage fuzzing "$root/scripts/fuzz.sh" all 60
