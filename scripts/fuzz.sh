#!/usr/bin/env bash
# Builds the fuzz targets (build-fuzz/, clang with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs one of them on one core:
#
#   scripts/fuzz.sh TARGET [SECONDS]     render, mask, png or deliverable; 60 s by default
#   scripts/fuzz.sh --build              builds them only
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
# several seconds and half a gigabyte natively, and some times that under the
# sanitizers; the readers take well under a second.
limits() {
  case $1 in
    render) echo "-timeout=120 -rss_limit_mb=3072 -malloc_limit_mb=2048 -max_len=1024" ;;
    *) echo "-timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=512 -max_len=65536" ;;
  esac
}

if [ "${1:-}" = --build ]; then
  build
  exit 0
fi
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS] (render, mask, png, deliverable) or --build}
seconds=${2:-60}
case " ${targets[*]} " in
  *" $target "*) ;;
  *) echo "unknown fuzz target '$target' (render, mask, png or deliverable)" >&2; exit 2 ;;
esac
build >/dev/null
mkdir -p "$dir/corpus/$target" "$dir/findings/$target"
# The deliverables link the shared sanitizer runtime after the C++ library;
# nothing in between intercepts what the sanitizers do, so the order is harmless.
export ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
dict=$root/tests/fuzz/$target.dict
# shellcheck disable=SC2046
"$dir/qf_fuzz_$target" $(limits "$target") -max_total_time="$seconds" -print_final_stats=1 \
  $([ -f "$dict" ] && echo "-dict=$dict") \
  -artifact_prefix="$dir/findings/$target/" "$dir/corpus/$target" "$root/tests/fuzz/corpus/$target"
