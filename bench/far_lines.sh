#!/usr/bin/env bash
# Times frames whose triangles reach far outside the picture (a huge "Length",
# "Scale" and "Dispersion") in the Line and Wire modes next to Phong, at
# 640 x 360 and 1920 x 1080: the render command's own milliseconds from
# --stats (best of RUNS), the process's CPU seconds (user + system, which a
# loaded machine inflates less than the wall time) and its peak memory.
#   bench/far_lines.sh [QF_HOST_BINARY] [RUNS]
# shellcheck source=bench/time_render.sh
source "$(dirname "$0")/time_render.sh" 1 "$@"

sets=("Length=1000 Scale=-1000 Dispersion=527"
  "Length=1000 Dispersion=527"
  "Length=1000 Scale=-1000 Dispersion=50"
  "Length=1000 Scale=1000")

print_load
printf '%-40s %-10s %-6s %10s %8s %8s\n' parameters size mode "render ms" "CPU s" "peak MB"
for size in 640x360 1920x1080; do
  for set in "${sets[@]}"; do
    args=()
    for s in $set; do args+=(--set "$s"); done
    for mode in Phong Line Wire; do
      read -r best cpu peak < <(time_render "$runs" floral --size "$size" "${args[@]}" \
        --set "Render mode=$mode")
      printf '%-40s %-10s %-6s %10d %8s %8d\n' "$set" "$size" "$mode" "$best" "$cpu" "$peak"
    done
  done
done
