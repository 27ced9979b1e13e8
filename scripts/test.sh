#!/usr/bin/env bash
# Sets up, builds and runs every test; then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer; then the Windows build
# (build-win/) and its tests under Wine, with a virtual display; then each fuzz
# target for a minute, all at once. Each stage's time is printed at its end.
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
windows() {
  "$root/scripts/build.sh" build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
  (cd "$root/build-win" && xvfb-run -a ctest --output-on-failure -j"$jobs")
}
# Every fuzz target replays its corpus and searches on for a minute, each on a
# core of its own; any finding fails the stage, after every log is shown.
fuzzing() {
  "$root/scripts/fuzz.sh" --build
  local logs=$root/build-fuzz/logs failed=()
  mkdir -p "$logs"
  local -A runs
  for t in render mask png deliverable; do
    "$root/scripts/fuzz.sh" "$t" 60 >"$logs/$t.log" 2>&1 &
    runs[$t]=$!
  done
  for t in "${!runs[@]}"; do
    wait "${runs[$t]}" || failed+=("$t")
  done
  for t in "${!runs[@]}"; do
    echo "-- fuzz $t: $(grep -E '^(stat::number_of_executed_units|Done)' "$logs/$t.log" | tail -1)"
  done
  for t in "${failed[@]}"; do
    echo "fuzz target $t found a problem (log: $logs/$t.log, input in build-fuzz/findings/$t/):"
    tail -40 "$logs/$t.log"
  done
  [ ${#failed[@]} -eq 0 ]
}
stage setup "$root/scripts/setup.sh"
stage native native
stage sanitizer sanitized
stage windows windows
stage fuzzing fuzzing
