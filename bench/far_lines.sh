#!/usr/bin/env bash
# Times frames whose triangles reach far outside the picture (a huge "Length",
# "Scale" and "Dispersion") in the Line and Wire modes next to Phong, at
# 640 x 360 and 1920 x 1080: the render command's own milliseconds from
# --stats (best of RUNS), the process's CPU seconds (user + system, which a
# loaded machine inflates less than the wall time) and its peak memory.
#   bench/far_lines.sh [QF_HOST_BINARY] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
host=${1:-$root/build/qf-host}
runs=${2:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sets=("Length=1000 Scale=-1000 Dispersion=527"
  "Length=1000 Dispersion=527"
  "Length=1000 Scale=-1000 Dispersion=50"
  "Length=1000 Scale=1000")

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) threads"
printf '%-40s %-10s %-6s %10s %8s %8s\n' parameters size mode "render ms" "CPU s" "peak MB"
for size in 640x360 1920x1080; do
  for set in "${sets[@]}"; do
    args=()
    for s in $set; do args+=(--set "$s"); done
    for mode in Phong Line Wire; do
      best=""
      cpu=""
      peak=0
      for ((i = 0; i < runs; ++i)); do
        /usr/bin/time -f '%M %U %S' -o "$work/rss" "$host" render floral --size "$size" "${args[@]}" \
          --set "Render mode=$mode" -o "$work/f.png" --stats "$work/stats.txt" >/dev/null
        ms=$(awk '{ printf "%d", $NF }' "$work/stats.txt")
        read -r kb user sys < <(tail -1 "$work/rss")
        if [[ -z $best || $ms -lt $best ]]; then
          best=$ms
          cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
        fi
        if ((kb > peak)); then peak=$kb; fi
      done
      printf '%-40s %-10s %-6s %10d %8s %8d\n' "$set" "$size" "$mode" "$best" "$cpu" $((peak / 1024))
    done
  done
done
