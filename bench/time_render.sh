# Sourced by the benchmarks that time qf-host renders, with their default
# number of runs and their own arguments ([QF_HOST_BINARY] [RUNS]):
#   source "$(dirname "$0")/time_render.sh" DEFAULT_RUNS "$@"
# It sets root (the source tree), host (the qf-host binary, build/qf-host by
# default), runs and work (a scratch folder, removed on exit).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
host=${2:-$root/build/qf-host}
runs=${3:-$1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints the machine's load and threads, which the times depend on.
print_load() {
  echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) threads, QF_THREADS=${QF_THREADS:-}"
}

#   time_render RUNS ARGS...   runs 'qf-host render ARGS...' RUNS times and
# prints the best of the render command's own milliseconds (from --stats), the
# CPU seconds of that run (user + system, which a loaded machine inflates less
# than the wall time) and the largest peak memory in MB.
time_render() {
  local runs=$1 best="" cpu="" peak=0 ms kb user sys i
  shift
  for ((i = 0; i < runs; ++i)); do
    /usr/bin/time -f '%M %U %S' -o "$work/rss" "$host" render "$@" -o "$work/f.png" \
      --stats "$work/stats.txt" >/dev/null
    ms=$(awk '{ printf "%d", $NF }' "$work/stats.txt")
    read -r kb user sys < <(tail -1 "$work/rss")
    if [[ -z $best || $ms -lt $best ]]; then
      best=$ms
      cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
    fi
    if ((kb > peak)); then peak=$kb; fi
  done
  echo "$best $cpu $((peak / 1024))"
}
