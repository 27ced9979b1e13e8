#!/usr/bin/env bash
# Times the whole `qf-host render floral` process on the default 1080p frame at
# 8 and 16 bits: wall time of the process (best of RUNS) next to the render
# command's own milliseconds from --stats, so the host's share shows.
#   bench/host_render.sh [QF_HOST_BINARY] [RUNS]
# shellcheck source=bench/time_render.sh
source "$(dirname "$0")/time_render.sh" 3 "$@"

print_load
printf '%-7s %10s %10s %10s %12s\n' depth "wall ms" "render ms" "host ms" "PNG bytes"
for depth in 8 16; do
  best_wall=""
  best_render=""
  for ((i = 0; i < runs; ++i)); do
    start=$(date +%s%N)
    "$host" render floral --depth "$depth" -o "$work/f.png" --stats "$work/stats.txt" >/dev/null
    wall=$((($(date +%s%N) - start) / 1000000))
    render=$(awk '{ printf "%d", $NF }' "$work/stats.txt")
    if [[ -z $best_wall || $wall -lt $best_wall ]]; then
      best_wall=$wall
      best_render=$render
    fi
  done
  printf '%-7s %10d %10d %10d %12d\n' "$depth" "$best_wall" "$best_render" $((best_wall - best_render)) \
    "$(stat -c %s "$work/f.png")"
done
