#!/usr/bin/env bash
# Builds the fuzz targets (build-fuzz/, clang with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs them, each on one core:
#
#   scripts/fuzz.sh TARGET [SECONDS]   render, mask, png or deliverable; 60 s by default
#   scripts/fuzz.sh all [SECONDS]      the four at once, each logging to build-fuzz/logs/TARGET.log
#   scripts/fuzz.sh --build            builds them only
#
# A run starts from the committed seeds (tests/fuzz/corpus/TARGET) and the
# inputs earlier runs kept (build-fuzz/corpus/TARGET, where new ones go). A
# crash, a sanitizer report, an input that takes longer than the target's
# time limit or more than its memory limits is a finding: the run stops, the
# input lands in build-fuzz/findings/TARGET/ and the script fails. A finding
# that is mended goes into the committed seeds, where every later run
# replays it first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build-fuzz
targets=(render mask png deliverable)

build() {
  CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} cmake -S "$root" -B "$dir" -DCMAKE_CXX_COMPILER=clang++ \
    -DQF_FUZZ=ON $(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache) \
    >/dev/null
  cmake --build "$dir" -j"$(nproc)" --target "${targets[@]/#/qf_fuzz_}"
}

# The most one input may cost: seconds, resident MB, MB in one allocation. A
# render grows at most the triangle budget, which on the smallest frames takes
# seconds and most of a gigabyte natively, and many times that time under the
# sanitizers on a busy machine; the readers take well under a second.
limits() {
  case $1 in
    render) echo "-timeout=300 -rss_limit_mb=3072 -malloc_limit_mb=2048 -max_len=1024" ;;
    *) echo "-timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=512 -max_len=65536" ;;
  esac
}

run() {
  local target=$1 seconds=$2 dict=$root/tests/fuzz/$1.dict
  mkdir -p "$dir/corpus/$target" "$dir/findings/$target"
  # The deliverables link the shared sanitizer runtime after the C++ library;
  # nothing in between intercepts what the sanitizers do, so the order is harmless.
  # shellcheck disable=SC2046
  ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$dir/qf_fuzz_$target" $(limits "$target") -max_total_time="$seconds" -print_final_stats=1 \
    $([ -f "$dict" ] && echo "-dict=$dict") \
    -artifact_prefix="$dir/findings/$target/" "$dir/corpus/$target" "$root/tests/fuzz/corpus/$target"
}

# Every target at once; after all have ended, each one's count of inputs and,
# for any that found something, the end of its log.
run_all() {
  local seconds=$1 failed=() t
  local -A pids
  mkdir -p "$dir/logs"
  for t in "${targets[@]}"; do
    run "$t" "$seconds" >"$dir/logs/$t.log" 2>&1 &
    pids[$t]=$!
  done
  for t in "${targets[@]}"; do
    wait "${pids[$t]}" || failed+=("$t")
    echo "fuzz $t: $(grep -h '^stat::number_of_executed_units' "$dir/logs/$t.log" || echo '?') inputs"
  done
  for t in "${failed[@]}"; do
    echo "fuzz target $t found a problem (input in build-fuzz/findings/$t/):"
    tail -40 "$dir/logs/$t.log"
  done
  [ ${#failed[@]} -eq 0 ]
}

target=${1:?usage: scripts/fuzz.sh TARGET|all [SECONDS], or --build}
seconds=${2:-60}
case " --build all ${targets[*]} " in
  *" $target "*) ;;
  *) echo "unknown fuzz target '$target' (render, mask, png, deliverable or all)" >&2; exit 2 ;;
esac
build >/dev/null
case $target in
  --build) ;;
  all) run_all "$seconds" ;;
  *) run "$target" "$seconds" ;;
esac
