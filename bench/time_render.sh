# Sourced by the benchmarks that time qf-host renders; they set $host (the
# qf-host binary) and $work (a scratch folder).
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
