#!/usr/bin/env bash
# Times, in every draw mode, the frames whose drawing the drawing budget
# bounds next to ordinary ones, at 640 x 360 and below: millions of
# frame-sized triangles (a huge "Length" and "Scale"), a high "Dispersion",
# and thin frames that grow to the triangle budget. For each: the render
# command's own milliseconds from --stats (best of RUNS), the process's CPU
# seconds (user + system) and its peak memory, as bench/time_render.sh takes
# them. "Rough" draws next to nothing, so its row of a scene is about the
# scene's growth alone.
#   bench/draw_budget.sh [QF_HOST_BINARY] [RUNS]
# shellcheck source=bench/time_render.sh
source "$(dirname "$0")/time_render.sh" 1 "$@"

# deliverable|size|depth|mode parameter|settings (';'-separated)
cases=(
  "floral|640x360|8|Render mode|"
  "floral|640x360|8|Render mode|Length=1000;Scale=-1000;Dispersion=527"
  "floral|640x360|8|Render mode|Dispersion=1000"
  "geometry|640x360|8|Rendering mode|Length=1000;Scale=-1000;Dispersion=527"
  "geometry|2x64|16|Rendering mode|"
  "geometry|1x10|8|Rendering mode|Mask kind=Perimeter"
  "geometry|1x10|8|Rendering mode|Mask kind=U-like"
  "geometry|1x10|8|Rendering mode|Mask kind=Window"
)
# Popup numbers: 1 Rough, 2 Line, 3 Wire, 4 Flat, 5 Phong, 6 subdivided
# curved and 7 curved (numbers a host may deliver beyond the choices).
modes=(1 2 3 4 5 6 7)

print_load
printf '%-9s %-8s %-3s %-40s %-4s %10s %8s %8s\n' build size bit settings mode "render ms" "CPU s" "peak MB"
for c in "${cases[@]}"; do
  IFS='|' read -r deliverable size depth modeName settings <<<"$c"
  args=()
  IFS=';' read -ra sets <<<"$settings"
  for s in "${sets[@]}"; do args+=(--set "$s"); done
  for mode in "${modes[@]}"; do
    read -r best cpu peak < <(time_render "$runs" "$deliverable" --size "$size" --depth "$depth" \
      "${args[@]}" --allow-undeclared-choices --set "$modeName=$mode")
    printf '%-9s %-8s %-3s %-40s %-4s %10d %8s %8d\n' "$deliverable" "$size" "$depth" \
      "${settings:-defaults}" "$mode" "$best" "$cpu" "$peak"
  done
done
